#pragma once

#include "core/sync/ArchiveSync.h"
#include "gui/app/BackgroundJob.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>

class QAction;
class QLabel;
class QStatusBar;
class QToolBar;
class QWidget;

namespace kestrel::gui {

class GuiDialogs;
class HistoryController;

inline constexpr const char* kSyncActionText = "Синхронизировать с сервером";
inline constexpr const char* kServerSettingsActionText = "Сервер команды…";

// "Синхронизировать с сервером": brings the laptop's archive and the team server together
// off the GUI thread, over connections of its own (the window keeps storing what it loads
// meanwhile). The server is set once in "Сервер команды…" and kept per user, as is how
// the last sync ended, which the status bar panel lblSync says.
class SyncController : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget* window = nullptr;         // parent of the messages and the settings dialog
        QToolBar* toolBar = nullptr;       // gets tbSync (before "Справка")
        QStatusBar* statusBar = nullptr;   // gets lblSync
        GuiDialogs* dialogs = nullptr;
        HistoryController* history = nullptr; // its archive file; shown again after a sync
    };

    explicit SyncController(const Parts& parts);
    // A sync still running is asked to stop after its current batch and waited for.
    ~SyncController() override;

    QAction* syncAction() const { return syncAction_; }
    QAction* settingsAction() const { return settingsAction_; }
    bool running() const { return job_.running(); }

    // Starts a sync (the settings dialog first when no server is set); nothing when one runs.
    void synchronise();
    // The settings dialog; true when a server was confirmed.
    bool editServer();

signals:
    // A sync ended; lblSync and the history show its outcome.
    void finished(bool succeeded);

private:
    struct Outcome {
        bool succeeded = false;
        SyncReport report;
        std::string reason; // why it did not end, in words
        SyncProgress progress; // the last progress seen
    };
    struct LastSync {
        QDateTime at;
        bool succeeded = false;
        qint64 sent = 0;
        qint64 fetched = 0;
        QString reason;
        QString details; // the report in words, for the tool tip
    };

    void placeToolButton();
    void showProgress(const SyncProgress& progress);
    void syncEnded(const Outcome& outcome);
    void showLast(const LastSync& last);
    static std::optional<LastSync> loadLast();
    static void saveLast(const LastSync& last);

    Parts parts_;
    QAction* syncAction_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QLabel* panel_ = nullptr;
    BackgroundJob job_;
};

// lblSync's words for a sync that ended.
QString lastSyncText(const QDateTime& at, bool succeeded, qint64 sent, qint64 fetched, const QString& reason);

} // namespace kestrel::gui
