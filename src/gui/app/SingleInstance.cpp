#include "gui/app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace kestrel::gui {

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    const QByteArray key = QCryptographicHash::hash((user + u'\n' + home).toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("kestrel-") + QString::fromLatin1(key.toHex().left(16));
}

bool SingleInstance::activateRunning(const QString& file, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(file.isEmpty() ? QByteArray(kActivateRequest)
                                : QByteArray(kOpenRequestPrefix) + file.toUtf8().toBase64() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The answer proves a live program behind the socket, not one that is just closing.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == QByteArray(kActivateAnswer);
}

bool SingleInstance::listen()
{
    if (server_ == nullptr) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    }
    if (server_->listen(name_))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Nobody answered on it (activateRunning came first), so it is a stale socket.
    QLocalServer::removeServer(name_);
    return server_->listen(name_);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto answer = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray request = socket->readLine();
            QString file;
            const bool open = request.startsWith(kOpenRequestPrefix) && request.endsWith('\n');
            if (open)
                file = QString::fromUtf8(QByteArray::fromBase64(request.mid(int(qstrlen(kOpenRequestPrefix))).chopped(1)));
            if (request == QByteArray(kActivateRequest) || (open && !file.isEmpty())) {
                socket->write(kActivateAnswer);
                socket->flush();
                emit activationRequested(file);
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, answer);
        answer(); // the request may have arrived with the connection
    }
}

} // namespace kestrel::gui
