#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace kestrel::gui {

// One running program per user: the first start listens on a local socket named for
// the user; a later start connects, asks the first to come to the front (and to open the
// data file it was started on: a double click on a file while Kestrel runs), and ends.
// A socket left behind by a program that died answers no one and is replaced.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The per-user name: the same for every start by one user (and one home folder).
    static QString defaultName();

    // True when a running program answered and was asked to come to the front, and to
    // open `file` when one is given (an absolute path).
    bool activateRunning(const QString& file = {}, int timeoutMs = 2000);
    // Starts listening; false when the name could not be taken.
    bool listen();

    const QString& name() const { return name_; }

signals:
    // A later start asked this program to come to the front; `file` is the data file it
    // was started on, empty when none.
    void activationRequested(const QString& file);

private:
    void acceptConnections();

    QString name_;
    QLocalServer* server_ = nullptr;
};

inline constexpr const char* kActivateRequest = "activate\n";
// "open " and the file's name as Base64 of UTF-8 (any character a name can hold), then "\n".
inline constexpr const char* kOpenRequestPrefix = "open ";
inline constexpr const char* kActivateAnswer = "ok\n";

} // namespace kestrel::gui
