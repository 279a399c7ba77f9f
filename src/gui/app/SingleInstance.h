#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace kestrel::gui {

// One running program per user: the first start listens on a local socket named for
// the user; a later start connects, asks the first to come to the front, and ends.
// A socket left behind by a program that died answers no one and is replaced.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The per-user name: the same for every start by one user (and one home folder).
    static QString defaultName();

    // True when a running program answered and was asked to come to the front.
    bool activateRunning(int timeoutMs = 2000);
    // Starts listening; false when the name could not be taken.
    bool listen();

    const QString& name() const { return name_; }

signals:
    // A later start asked this program to come to the front.
    void activationRequested();

private:
    void acceptConnections();

    QString name_;
    QLocalServer* server_ = nullptr;
};

inline constexpr const char* kActivateRequest = "activate\n";
inline constexpr const char* kActivateAnswer = "ok\n";

} // namespace kestrel::gui
