#include "gui/app/HistoryController.h"

#include "gui/app/ArchivedReadingOpen.h"

#include "core/archive/PreviousReading.h"
#include "core/archive/ReadingSummary.h"
#include "core/config/ConfigurationMemory.h"
#include "core/export/HistoryWorkbook.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/DesignDuty.h"
#include "core/life/HistoryView.h"
#include "core/life/LifeHistory.h"
#include "core/text/SaveNameProposal.h"
#include "gui/app/FileFilter.h"
#include "gui/app/GuiDialogs.h"
#include "gui/app/HelpTopics.h"
#include "gui/app/NativePath.h"
#include "gui/pages/HistoryPage.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>

namespace kestrel::gui {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kNothingLoadedNote
    = "Считайте данные регистратора или откройте файл данных: здесь появятся все его считывания из архива.";
constexpr const char* kUnsavedDesignText
    = "Расчетные группы крана не сохранены в архив и учитываются только до закрытия программы.";

// The passport's group as it reads ("" when it does not read as a group).
std::string passportGroup(const MemoryImage& image)
{
    const std::string text = fixedTextTrimmed(image, layout::kCraneGroup, 2);
    return craneGroupNumber(text) ? text : std::string();
}

} // namespace

HistoryController::HistoryController(const Parts& parts, const std::string& archivePath, const DisplayLocale& locale)
    : QObject(parts.window), parts_(parts), link_(archivePath), locale_(locale)
{
    connect(parts_.page, &HistoryPage::readingChosen, this, &HistoryController::chooseReading);
    connect(parts_.page, &HistoryPage::designSaveRequested, this, &HistoryController::saveDesign);
    connect(parts_.page, &HistoryPage::excelSaveRequested, this, &HistoryController::saveExcel);
    // The page's tab answers F1 with the page's topic, as the other tabs do with theirs.
    for (QWidget* widget = parts_.page; widget != nullptr; widget = widget->parentWidget())
        if (widget->objectName() == QLatin1String("tsHistory"))
            widget->setProperty(kHelpContextProperty, kHelpHistory);
    HistoryView empty;
    empty.note = kNothingLoadedNote;
    parts_.page->showContent(empty);
}

HistoryController::~HistoryController() = default;

ReadingArchive* HistoryController::archiveOrSay()
{
    ReadingArchive* archive = link_.archive();
    if (archive == nullptr && !failureShown_) {
        // Said once; the status bar and the history page keep saying it.
        failureShown_ = true;
        parts_.dialogs->message(parts_.window, qt(link_.reason() + "\nСчитывания не сохраняются в архив."));
    }
    return archive;
}

void HistoryController::readingLoaded(const MemoryImage& image, const std::string& source)
{
    shown_ = image;
    QLabel* panel = parts_.statusPanel;
    if (ReadingArchive* archive = archiveOrSay()) {
        try {
            archive->store(image, source);
            panel->setText(qt(kStoredInArchiveText));
            panel->setToolTip(QDir::toNativeSeparators(qt(link_.path())));
        } catch (const ArchiveError& error) {
            panel->setText(qt(kNotStoredInArchiveText));
            panel->setToolTip(qt(error.what()));
            parts_.dialogs->message(parts_.window, qt(error.what()));
        }
    } else {
        panel->setText(qt(kNotStoredInArchiveText));
        panel->setToolTip(qt(link_.reason()));
    }
    refresh();
}

void HistoryController::partialReadingLoaded(const MemoryImage& image, const std::string& reason)
{
    shown_ = image;
    parts_.statusPanel->setText(qt(kNotStoredInArchiveText));
    parts_.statusPanel->setToolTip(qt(reason));
    refresh();
}

void HistoryController::archivedReadingOpened(const MemoryImage& image)
{
    shown_ = image;
    parts_.statusPanel->setText(QStringLiteral("Из архива"));
    parts_.statusPanel->setToolTip(QDir::toNativeSeparators(qt(link_.path())));
    refresh();
}

CraneKey HistoryController::craneOf(const MemoryImage& image) const
{
    const StoredReading summary = summariseReading(image);
    return {summary.craneType, summary.craneNumber};
}

void HistoryController::refresh()
{
    if (!shown_)
        return;
    const StoredReading current = summariseReading(*shown_);
    std::vector<HistoryInput> readings;
    std::vector<DamagedReading> damaged;
    DesignClasses design;
    std::string note;
    if (ReadingArchive* archive = link_.archive()) {
        try {
            // A configuration written for the recorder, kept by an earlier version, is no reading.
            for (const StoredReading& stored : archive->readings(current.recorder)) {
                try {
                    if (const auto image = archive->image(stored.id); image && !configurationMemoryOf(*image))
                        readings.push_back({stored.id, *image});
                } catch (const DamagedReadingError& error) {
                    // Listed so that the gap is explained; its bytes go into no figure.
                    damaged.push_back({stored.id, stored.reading, stored.readingText, error.what()});
                }
            }
            design = archive->design(craneOf(*shown_));
        } catch (const ArchiveError& error) {
            readings.clear();
            damaged.clear();
            note = std::string(error.what()) + " Показано только текущее считывание.";
        }
    } else {
        note = link_.reason() + " Показано только текущее считывание.";
    }
    if (unsaved_ && unsaved_->crane.craneType == craneOf(*shown_).craneType
        && unsaved_->crane.craneNumber == craneOf(*shown_).craneNumber) {
        design = unsaved_->design;
        note += (note.empty() ? "" : " ") + std::string(kUnsavedDesignText);
    }
    // The reading shown belongs to its history even when the archive could not keep it.
    const bool stored = std::ranges::any_of(readings, [&](const HistoryInput& r) { return r.image == *shown_; });
    if (!stored) {
        const auto later = std::ranges::find_if(
            readings, [&](const HistoryInput& r) { return summariseReading(r.image).reading > current.reading; });
        readings.insert(later, HistoryInput{0, *shown_});
    }
    // The assessment (and its document) is that of the reading shown, not of a later one.
    std::vector<HistoryInput> upToShown;
    for (const HistoryInput& reading : readings) {
        upToShown.push_back(reading);
        if (reading.image == *shown_)
            break;
    }

    HistoryView view;
    try {
        history_ = buildLifeHistory(readings, design, locale_);
        view = historyView(*history_, locale_, damaged);
        assessment_ = upToShown.size() == readings.size() ? history_->assessment : assessLife(upToShown, design, locale_);
        setLife(view, *assessment_, locale_);
    } catch (const std::exception& error) {
        history_.reset();
        assessment_.reset();
        view.note = std::string("История не построена: ") + error.what();
    }
    if (!note.empty())
        view.note = view.note.empty() ? note : note + "\n" + view.note;
    parts_.page->showContent(view);
    parts_.page->showDesign(design, passportGroup(*shown_));
}

void HistoryController::chooseReading(qint64 id)
{
    ReadingArchive* archive = archiveOrSay();
    if (archive == nullptr || id <= 0)
        return;
    if (const auto image = archivedReadingOrSay(*archive, id, *parts_.dialogs, parts_.window))
        emit openRequested(*image, id);
}

void HistoryController::saveDesign()
{
    if (!shown_)
        return;
    const DesignClasses design = parts_.page->design();
    if (const std::string problem = designProblem(design); !problem.empty()) {
        parts_.dialogs->message(parts_.window, qt(problem));
        return;
    }
    // What cannot be kept in the archive is still used until the program closes: a group
    // typed and then ignored would give a verdict the user did not ask for.
    const CraneKey crane = craneOf(*shown_);
    unsaved_.reset();
    if (ReadingArchive* archive = archiveOrSay()) {
        try {
            archive->setDesign(crane, design);
        } catch (const ArchiveError& error) {
            unsaved_ = Unsaved{crane, design};
            parts_.dialogs->message(parts_.window, qt(std::string(error.what()) + "\n" + kUnsavedDesignText));
        }
    } else {
        unsaved_ = Unsaved{crane, design};
    }
    refresh();
}

void HistoryController::saveExcel()
{
    if (!history_ || history_->readings.empty() || !shown_)
        return;
    if (!xlsxSupported()) {
        // Said before the dialog: a name chosen for nothing would mislead.
        parts_.dialogs->message(parts_.window,
            QStringLiteral("Эта сборка программы не умеет записывать файлы Excel: она собрана без библиотеки "
                           "libxlsxwriter."));
        return;
    }
    GuiDialogs::FileOptions options;
    options.title = QStringLiteral("Сохранение истории в Excel");
    options.filter = qtFileFilter(QStringLiteral("Книга Excel (*.xlsx)|*.xlsx"));
    options.defaultSuffix = QStringLiteral("xlsx");
    options.proposedName = qt(saveNameProposal("История РП №" + summariseReading(*shown_).recorder));
    options.confirmOverwrite = true;
    const QString fileName = parts_.dialogs->saveFileName(parts_.window, options);
    if (fileName.isEmpty())
        return;
    try {
        writeHistoryWorkbook(*history_, locale_, nativePath(fileName));
    } catch (const std::exception& error) { // XlsxError, or memory running out
        parts_.dialogs->message(parts_.window, qt(error.what()));
        return;
    }
    if (QLabel* panel = parts_.statusText) {
        // The panel is narrow: the middle of a long path gives way, as for data files.
        const QString prefix = QStringLiteral("История сохранена в файл ");
        const QString full = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
        const int room = panel->contentsRect().width() - 2 * panel->margin() - 4
            - panel->fontMetrics().horizontalAdvance(prefix);
        panel->setText(prefix + panel->fontMetrics().elidedText(full, Qt::ElideMiddle, std::max(room, 40)));
    }
}

std::optional<HistoryController::Earlier> HistoryController::earlierReading(const MemoryImage& current)
{
    ReadingArchive* archive = link_.archive();
    if (archive == nullptr)
        return std::nullopt;
    std::string skipped;
    std::optional<Earlier> found;
    try {
        auto stored = archive->readings(summariseReading(current).recorder);
        // A damaged reading is no start of a period: the one before it is offered, and the
        // user is told why it is not the newest.
        while (const auto previous = previousStoredReading(stored, current)) {
            try {
                if (const auto image = archive->image(previous->id); image && !configurationMemoryOf(*image))
                    found = Earlier{*image, previous->readingText};
                break;
            } catch (const DamagedReadingError& error) {
                skipped += (skipped.empty() ? "" : "\n") + std::string(error.what());
                std::erase_if(stored, [&](const StoredReading& r) { return r.id == previous->id; });
            }
        }
    } catch (const ArchiveError& error) {
        parts_.dialogs->message(parts_.window, qt(error.what()));
        return std::nullopt;
    }
    if (!skipped.empty())
        parts_.dialogs->message(parts_.window,
            qt(skipped + "\n"
                + (found ? "Началом отчетного периода предлагается более раннее считывание."
                         : "Других более ранних считываний этого регистратора в архиве нет.")));
    return found;
}

} // namespace kestrel::gui
