#include "gui/app/FleetController.h"

#include "gui/app/ArchivedReadingOpen.h"
#include "gui/app/HelpTopics.h"

#include "core/fleet/FleetOverview.h"
#include "gui/app/GuiDialogs.h"
#include "gui/pages/FleetPage.h"

#include <QApplication>
#include <QCursor>
#include <QTabWidget>

namespace kestrel::gui {

FleetController::FleetController(const Parts& parts, Source source, const DisplayLocale& locale)
    : QObject(parts.window), parts_(parts), source_(std::move(source)), locale_(locale),
      today_([] { return QDate::currentDate(); })
{
    connect(parts_.page, &FleetPage::refreshRequested, this, &FleetController::refresh);
    if (parts_.tab != nullptr)
        parts_.tab->setProperty(kHelpContextProperty, kHelpFleet);
    connect(parts_.page, &FleetPage::readingChosen, this, &FleetController::choose);
    if (parts_.tabs != nullptr)
        connect(parts_.tabs, &QTabWidget::currentChanged, this, [this] {
            if (pageShown() && stale_)
                refresh();
        });
}

void FleetController::setSource(Source source)
{
    source_ = std::move(source);
    archiveChanged();
}

bool FleetController::pageShown() const
{
    return parts_.tabs == nullptr || parts_.tabs->currentWidget() == parts_.tab;
}

void FleetController::archiveChanged()
{
    stale_ = true;
    if (pageShown())
        refresh();
}

void FleetController::refresh()
{
    stale_ = false;
    ReadingArchive* archive = source_.archive ? source_.archive() : nullptr;
    if (archive == nullptr) {
        parts_.page->showFailure(source_.name + QStringLiteral(": ")
            + (source_.unavailableReason ? source_.unavailableReason() : QStringLiteral("недоступен")));
        return;
    }
    const QDate day = today_();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const FleetOverview overview
            = fleetOverview(*archive, encodeDateTime(day.year(), day.month(), day.day(), 0, 0), locale_);
        parts_.page->showOverview(overview, source_.name);
    } catch (const std::exception& error) { // ArchiveError, or memory running out
        parts_.page->showFailure(source_.name + QStringLiteral(": ") + QString::fromStdString(error.what()));
    }
    QApplication::restoreOverrideCursor();
}

void FleetController::choose(qint64 id)
{
    ReadingArchive* archive = source_.archive ? source_.archive() : nullptr;
    if (archive == nullptr || id <= 0)
        return;
    if (const auto image = archivedReadingOrSay(*archive, id, *parts_.dialogs, parts_.window))
        emit openRequested(*image, id);
}

} // namespace kestrel::gui
