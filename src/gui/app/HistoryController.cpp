#include "gui/app/HistoryController.h"

#include "core/archive/PreviousReading.h"
#include "core/archive/ReadingSummary.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/DesignDuty.h"
#include "core/life/HistoryView.h"
#include "core/life/LifeHistory.h"
#include "gui/app/GuiDialogs.h"
#include "gui/pages/HistoryPage.h"

#include <QDir>
#include <QLabel>

#include <algorithm>

namespace kestrel::gui {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kNothingLoadedNote
    = "Считайте данные регистратора или откройте файл данных: здесь появятся все его считывания из архива.";
constexpr const char* kDesignFormatMessage
    = "Расчетная группа крана указывается как A1…A8, классы крана — как «U5 Q3», группы лебедок — как M1…M8.";

std::optional<int> passportGroup(const MemoryImage& image)
{
    return craneGroupNumber(fixedText(image, layout::kCraneGroup, 2));
}

} // namespace

HistoryController::HistoryController(const Parts& parts, const std::string& archivePath, const DisplayLocale& locale)
    : QObject(parts.window), parts_(parts), link_(archivePath), locale_(locale)
{
    connect(parts_.page, &HistoryPage::readingChosen, this, &HistoryController::chooseReading);
    connect(parts_.page, &HistoryPage::designSaveRequested, this, &HistoryController::saveDesign);
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
    DesignClasses design;
    std::string note;
    if (ReadingArchive* archive = link_.archive()) {
        try {
            for (const StoredReading& stored : archive->readings(current.recorder))
                if (const auto image = archive->image(stored.id))
                    readings.push_back({stored.id, *image});
            design = archive->design(craneOf(*shown_));
        } catch (const ArchiveError& error) {
            readings.clear();
            note = std::string(error.what()) + " Показано только текущее считывание.";
        }
    } else {
        note = link_.reason() + " Показано только текущее считывание.";
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

    const auto group = passportGroup(*shown_);
    if (group)
        design.craneGroup = "A" + std::to_string(*group);
    HistoryView view;
    try {
        const LifeHistory history = buildLifeHistory(readings, design, locale_);
        view = historyView(history, locale_);
        assessment_ = upToShown.size() == readings.size() ? history.assessment : assessLife(upToShown, design, locale_);
        setLife(view, *assessment_, locale_);
    } catch (const std::exception& error) {
        assessment_.reset();
        view.note = std::string("История не построена: ") + error.what();
    }
    if (!note.empty())
        view.note = view.note.empty() ? note : note + "\n" + view.note;
    parts_.page->showContent(view);
    parts_.page->showDesign(design, group.has_value());
}

void HistoryController::chooseReading(qint64 id)
{
    ReadingArchive* archive = archiveOrSay();
    if (archive == nullptr || id <= 0)
        return;
    try {
        if (const auto image = archive->image(id))
            emit openRequested(*image, id);
        else
            parts_.dialogs->message(parts_.window, QStringLiteral("Считывания № %1 в архиве нет.").arg(id));
    } catch (const ArchiveError& error) {
        parts_.dialogs->message(parts_.window, qt(error.what()));
    }
}

void HistoryController::saveDesign()
{
    if (!shown_)
        return;
    DesignClasses design = parts_.page->design();
    const bool valid = (design.craneGroup.empty() || craneGroupNumber(design.craneGroup))
        && (design.craneDesign.empty() || parseDesignClasses(design.craneDesign))
        && (design.winch1Group.empty() || winchGroupNumber(design.winch1Group))
        && (design.winch2Group.empty() || winchGroupNumber(design.winch2Group));
    if (!valid) {
        parts_.dialogs->message(parts_.window, qt(kDesignFormatMessage));
        return;
    }
    ReadingArchive* archive = archiveOrSay();
    if (archive == nullptr)
        return;
    try {
        archive->setDesign(craneOf(*shown_), design);
    } catch (const ArchiveError& error) {
        parts_.dialogs->message(parts_.window, qt(error.what()));
        return;
    }
    refresh();
}

std::optional<HistoryController::Earlier> HistoryController::earlierReading(const MemoryImage& current)
{
    ReadingArchive* archive = link_.archive();
    if (archive == nullptr)
        return std::nullopt;
    try {
        const auto previous = previousStoredReading(archive->readings(summariseReading(current).recorder), current);
        if (!previous)
            return std::nullopt;
        if (const auto image = archive->image(previous->id))
            return Earlier{*image, previous->readingText};
    } catch (const ArchiveError& error) {
        parts_.dialogs->message(parts_.window, qt(error.what()));
    }
    return std::nullopt;
}

} // namespace kestrel::gui
