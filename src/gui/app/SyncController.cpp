#include "gui/app/SyncController.h"

#include "gui/app/HelpTopics.h"

#include "core/archive/SqliteArchive.h"
#include "gui/app/GuiDialogs.h"
#include "gui/app/HistoryController.h"
#include "gui/windows/ServerSettingsDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace kestrel::gui {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kServerKey = "server/connection";
constexpr const char* kLastAtKey = "sync/finishedAt";
constexpr const char* kLastSucceededKey = "sync/succeeded";
constexpr const char* kLastSentKey = "sync/sent";
constexpr const char* kLastFetchedKey = "sync/fetched";
constexpr const char* kLastReasonKey = "sync/reason";
constexpr const char* kLastDetailsKey = "sync/details";

constexpr int kPanelMinimumWidth = 160;

// Thrown from the progress call when the window closes: the core stops after the batch
// it has committed, and the next sync goes on from there.
struct SyncStopped {};

// A status bar panel that takes the room left and cuts a long text at its end instead of
// widening the window; the whole text is in text() and the tool tip.
class ElidedPanel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {kPanelMinimumWidth, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {kPanelMinimumWidth, QLabel::sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect room = contentsRect().adjusted(margin() + 3, 0, -margin() - 3, 0);
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }
};

QString oneLine(QString text) { return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified(); }

} // namespace

QString lastSyncText(const QDateTime& at, bool succeeded, qint64 sent, qint64 fetched, const QString& reason)
{
    // Short enough for the panel's room on a 1366 pixels wide screen; the tool tip says more.
    const QString when = QStringLiteral("Синхронизация ") + at.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    if (!succeeded)
        return when + QStringLiteral(" не завершена: ") + oneLine(reason);
    return when + QStringLiteral(": отправлено %1, получено %2").arg(sent).arg(fetched);
}

SyncController::SyncController(const Parts& parts) : QObject(parts.window), parts_(parts), job_(this)
{
    setObjectName(QStringLiteral("SyncController"));
    QStyle* style = QApplication::style();
    syncAction_ = new QAction(style->standardIcon(QStyle::SP_BrowserReload), QString::fromUtf8(kSyncActionText), this);
    syncAction_->setObjectName(QStringLiteral("actSync"));
    syncAction_->setIconText(QStringLiteral("Синхронизация"));
    syncAction_->setToolTip(QStringLiteral("Отправить на сервер команды новые считывания и получить с него "
                                           "считывания других инженеров"));
    settingsAction_ = new QAction(QString::fromUtf8(kServerSettingsActionText), this);
    settingsAction_->setObjectName(QStringLiteral("actServerSettings"));
    settingsAction_->setToolTip(QStringLiteral("Адрес сервера команды"));
    connect(syncAction_, &QAction::triggered, this, &SyncController::synchronise);
    connect(settingsAction_, &QAction::triggered, this, &SyncController::editServer);
    if (parts_.toolBar != nullptr)
        placeToolButton();

    panel_ = new ElidedPanel(parts_.statusBar);
    panel_->setObjectName(QStringLiteral("lblSync"));
    panel_->setFrameShape(QFrame::StyledPanel);
    panel_->setFrameShadow(QFrame::Sunken);
    parts_.statusBar->addWidget(panel_, 1);
    if (const auto last = loadLast())
        showLast(*last);
    else
        panel_->hide(); // a laptop that never synchronised has nothing to say here
}

SyncController::~SyncController()
{
    if (job_.running()) {
        // Whatever the batch under way does, this sync did not end as the user asked.
        LastSync last;
        last.at = QDateTime::currentDateTimeUtc();
        last.reason = QStringLiteral("программа закрыта во время синхронизации");
        saveLast(last);
    }
}

void SyncController::placeToolButton()
{
    QToolBar* bar = parts_.toolBar;
    auto* button = new QToolButton(bar);
    button->setObjectName(QStringLiteral("tbSync"));
    button->setProperty(kHelpContextProperty, kHelpTeamServer);
    button->setDefaultAction(syncAction_);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("PopMenuSync"));
    menu->addAction(syncAction_);
    menu->addAction(settingsAction_);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    // Between the documents and "Справка", in a group of its own.
    QAction* before = nullptr;
    const QList<QAction*> actions = bar->actions();
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (QWidget* widget = bar->widgetForAction(actions[i]);
            widget != nullptr && widget->objectName() == QLatin1String("tbHelp")) {
            before = i > 0 && actions[i - 1]->isSeparator() ? actions[i - 1] : actions[i];
            break;
        }
    if (before != nullptr) {
        bar->insertSeparator(before);
        bar->insertWidget(before, button);
    } else {
        bar->addSeparator();
        bar->addWidget(button);
    }
}

bool SyncController::editServer()
{
    ServerSettingsDialog dialog(QSettings().value(QLatin1String(kServerKey)).toString(), parts_.window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QSettings().setValue(QLatin1String(kServerKey), dialog.connection());
    return !dialog.connection().isEmpty();
}

void SyncController::synchronise()
{
    if (job_.running())
        return;
    QString connection = QSettings().value(QLatin1String(kServerKey)).toString();
    if (connection.isEmpty()) {
        if (!editServer())
            return;
        connection = QSettings().value(QLatin1String(kServerKey)).toString();
    }
    if (const QString refusal = connectionRefusal(connection); !refusal.isEmpty()) {
        // Kept by hand in the settings file: still never sent.
        parts_.dialogs->message(parts_.window, refusal);
        return;
    }

    const std::string archivePath = parts_.history != nullptr ? parts_.history->link().path() : std::string();
    auto outcome = std::make_shared<Outcome>();
    syncAction_->setEnabled(false);
    panel_->show();
    panel_->setText(QStringLiteral("Синхронизация: соединение с сервером…"));
    panel_->setToolTip(connection);
    // The worker reads only what it was given; `this` goes into calls posted back to the
    // GUI thread, which run only while this controller lives.
    job_.start(
        [this, outcome, archivePath, server = connection.toStdString()](BackgroundJob::Context& context) {
            try {
                if (archivePath.empty())
                    throw ArchiveError("Архив недоступен: папка данных пользователя неизвестна.");
                // Connections of its own: the window's archive stays free for what it loads.
                const auto local = openSqliteArchive(archivePath);
                const auto remote = openTeamServer(server);
                SyncOptions options;
                // A laptop in the window is the team's archive offline: every crane's readings come
                // down, so the history and the fleet page show the colleagues' cranes too.
                options.allReadings = true;
                options.progress = [this, outcome, &context](const SyncProgress& progress) {
                    outcome->progress = progress;
                    if (context.cancelled())
                        throw SyncStopped{};
                    context.post([this, progress] { showProgress(progress); });
                };
                outcome->report = synchroniseArchives(*local, *remote, options);
                outcome->succeeded = true;
            } catch (const SyncStopped&) {
                outcome->reason = "программа закрыта во время синхронизации";
            } catch (const std::exception& error) {
                outcome->reason = error.what();
            }
        },
        [this, outcome] { syncEnded(*outcome); });
}

void SyncController::showProgress(const SyncProgress& progress)
{
    panel_->setText(QStringLiteral("Синхронизация: отправлено %1 из %2, получено %3 из %4…")
                        .arg(progress.sent)
                        .arg(progress.toSend)
                        .arg(progress.fetched)
                        .arg(progress.toFetch));
}

void SyncController::syncEnded(const Outcome& outcome)
{
    syncAction_->setEnabled(true);
    LastSync last;
    last.at = QDateTime::currentDateTimeUtc();
    last.succeeded = outcome.succeeded;
    if (outcome.succeeded) {
        last.sent = static_cast<qint64>(outcome.report.sent);
        last.fetched = static_cast<qint64>(outcome.report.fetched);
        last.details = qt(syncReportText(outcome.report));
    } else {
        // Nothing said is a failure too, never a success.
        last.reason = outcome.reason.empty() ? QStringLiteral("непредвиденная ошибка") : qt(outcome.reason);
        const SyncProgress& done = outcome.progress;
        if (done.toSend + done.toFetch > 0)
            last.details = QStringLiteral("До остановки отправлено %1 из %2, получено %3 из %4; следующая "
                                          "синхронизация продолжит с этого места.")
                               .arg(done.sent)
                               .arg(done.toSend)
                               .arg(done.fetched)
                               .arg(done.toFetch);
    }
    saveLast(last);
    showLast(last);
    if (parts_.history != nullptr)
        parts_.history->refreshShown(); // what came down belongs to the history shown
    if (!outcome.succeeded)
        parts_.dialogs->message(parts_.window, QStringLiteral("Синхронизация с сервером не завершена.\n") + last.reason);
    else if (!outcome.report.damaged.empty() || !outcome.report.sendRefused.empty())
        parts_.dialogs->message(parts_.window, last.details);
    emit finished(outcome.succeeded);
}

void SyncController::showLast(const LastSync& last)
{
    QString text = lastSyncText(last.at, last.succeeded, last.sent, last.fetched, last.reason);
    panel_->setText(text);
    panel_->setToolTip(last.details.isEmpty() ? text : text + QLatin1Char('\n') + last.details);
    panel_->show();
}

std::optional<SyncController::LastSync> SyncController::loadLast()
{
    const QSettings settings;
    const QDateTime at = settings.value(QLatin1String(kLastAtKey)).toDateTime();
    if (!at.isValid())
        return std::nullopt;
    LastSync last;
    last.at = at;
    last.succeeded = settings.value(QLatin1String(kLastSucceededKey)).toBool();
    last.sent = settings.value(QLatin1String(kLastSentKey)).toLongLong();
    last.fetched = settings.value(QLatin1String(kLastFetchedKey)).toLongLong();
    last.reason = settings.value(QLatin1String(kLastReasonKey)).toString();
    last.details = settings.value(QLatin1String(kLastDetailsKey)).toString();
    return last;
}

void SyncController::saveLast(const LastSync& last)
{
    QSettings settings;
    settings.setValue(QLatin1String(kLastAtKey), last.at);
    settings.setValue(QLatin1String(kLastSucceededKey), last.succeeded);
    settings.setValue(QLatin1String(kLastSentKey), last.sent);
    settings.setValue(QLatin1String(kLastFetchedKey), last.fetched);
    settings.setValue(QLatin1String(kLastReasonKey), last.reason);
    settings.setValue(QLatin1String(kLastDetailsKey), last.details);
}

} // namespace kestrel::gui
