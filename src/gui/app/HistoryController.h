#pragma once

#include "core/archive/ReadingArchive.h"
#include "core/life/LifeAssessment.h"
#include "core/life/LifeHistory.h"
#include "core/text/DisplayLocale.h"
#include "gui/app/ArchiveLink.h"

#include <QObject>

#include <optional>

class QLabel;
class QWidget;

namespace kestrel::gui {

class GuiDialogs;
class HistoryPage;

inline constexpr const char* kStoredInArchiveText = "Сохранено в архив";
inline constexpr const char* kNotStoredInArchiveText = "Не сохранено в архив";

// Keeps every loaded reading in the archive and shows the recorder's history on its page.
class HistoryController : public QObject {
    Q_OBJECT
public:
    struct Parts {
        HistoryPage* page = nullptr;
        QLabel* statusPanel = nullptr; // "Сохранено в архив"
        GuiDialogs* dialogs = nullptr;
        QWidget* window = nullptr;     // parent of the messages
        QLabel* statusText = nullptr;  // the status bar's text: what a save did
    };

    HistoryController(const Parts& parts, const std::string& archivePath, const DisplayLocale& locale);
    ~HistoryController() override;

    // A reading the window loaded (from the device or a file, after its checksum question):
    // stored, then the history shown with it.
    void readingLoaded(const MemoryImage& image, const std::string& source);
    // A reading that is not whole (a short file): shown with its history, not stored.
    void partialReadingLoaded(const MemoryImage& image, const std::string& reason);
    // A reading opened from the archive: shown, not stored again.
    void archivedReadingOpened(const MemoryImage& image);

    // The newest earlier reading of the same recorder in the archive, for "Начало".
    struct Earlier {
        MemoryImage image{};
        std::string readingText;
    };
    std::optional<Earlier> earlierReading(const MemoryImage& current);

    // The design working period at the reading shown; nullptr before any load.
    const LifeAssessment* assessment() const { return assessment_ ? &*assessment_ : nullptr; }

    ArchiveLink& link() { return link_; }
    // The reading shown with its history read again (readings came in from elsewhere).
    void refreshShown() { refresh(); }

signals:
    // A reading was chosen on the history page; the window opens it as "Открыть" would.
    void openRequested(const MemoryImage& image, qint64 id);

private:
    void refresh();
    void chooseReading(qint64 id);
    void saveDesign();
    void saveExcel();
    ReadingArchive* archiveOrSay();
    CraneKey craneOf(const MemoryImage& image) const;

    Parts parts_;
    ArchiveLink link_;
    DisplayLocale locale_;
    std::optional<MemoryImage> shown_; // the reading as loaded, before any start of period
    std::optional<LifeAssessment> assessment_;
    std::optional<LifeHistory> history_; // what the page's lists show
    struct Unsaved {
        CraneKey crane;
        DesignClasses design;
    };
    std::optional<Unsaved> unsaved_; // a design the archive could not keep, for this crane

    bool failureShown_ = false;
};

} // namespace kestrel::gui
