#pragma once

#include "core/archive/ReadingArchive.h"

#include <QDialog>

#include <memory>
#include <string>

namespace kestrel::gui {

class BackgroundJob;

// The team server's archive, or ArchiveError in words: a build without the PostgreSQL
// client library says that it cannot reach a server.
std::unique_ptr<ReadingArchive> openTeamServer(const std::string& connection);

// Why a connection text cannot be kept, in words; empty when it can. Kestrel stores no
// password: a text that carries one ("password=…", or a URI's "user:secret@") is refused.
QString connectionRefusal(const QString& connection);

// "Сервер команды": the PostgreSQL connection (eConnection) in any of libpq's forms, what
// it takes (lExplanation), "Проверить соединение" (bbCheck: opens the server archive in
// the background, lCheckResult says how that went), bbOk and bbCancel.
class ServerSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ServerSettingsDialog(const QString& connection, QWidget* parent = nullptr);
    ~ServerSettingsDialog() override;

    // The text as it is kept: blanks around it cut; empty: no server.
    QString connection() const;
    // A check is running.
    bool checking() const;

    void accept() override;

signals:
    // A check ended; its words are in lCheckResult.
    void checkFinished(bool connected);

private:
    void check();
    void showResult(const QString& text, bool good);

    struct Ui;
    std::unique_ptr<Ui> ui_;
    std::unique_ptr<BackgroundJob> job_;
    int checkNumber_ = 0; // a result for an earlier text is not shown under a new one
};

} // namespace kestrel::gui
