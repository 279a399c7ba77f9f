#pragma once

#include "core/archive/ReadingArchive.h"
#include "core/text/DisplayLocale.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>

class QTabWidget;
class QWidget;

namespace kestrel::gui {

class FleetPage;
class GuiDialogs;

// Fills "Парк кранов" from an archive: when the page is shown, on "Обновить", and after
// each stored reading while the page is open (otherwise the next showing does it). A
// double-click asks the window to open the crane's newest reading.
class FleetController : public QObject {
    Q_OBJECT
public:
    struct Parts {
        FleetPage* page = nullptr;
        QTabWidget* tabs = nullptr; // the page's tab is watched for being shown
        QWidget* tab = nullptr;
        GuiDialogs* dialogs = nullptr;
        QWidget* window = nullptr;
    };

    // The archive the page shows, or nullptr with why not; asked at each refresh.
    struct Source {
        std::function<ReadingArchive*()> archive;
        std::function<QString()> unavailableReason;
        QString name; // "Архив на этом компьютере"
    };

    FleetController(const Parts& parts, Source source, const DisplayLocale& locale);

    // Another source (the team server): the page shows it from the next refresh on.
    void setSource(Source source);
    // The archive changed (a reading stored, a sync): refreshed now if the page is shown.
    void archiveChanged();
    void refresh();

    // The day "days since" counts to; today unless a test fixes it.
    void setToday(std::function<QDate()> today) { today_ = std::move(today); }

signals:
    void openRequested(const MemoryImage& image, qint64 id);

private:
    void choose(qint64 id);
    bool pageShown() const;

    Parts parts_;
    Source source_;
    DisplayLocale locale_;
    std::function<QDate()> today_;
    bool stale_ = true;
};

} // namespace kestrel::gui
