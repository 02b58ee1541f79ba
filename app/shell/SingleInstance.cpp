#include "app/shell/SingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace mirolanda::app {

SingleInstance::SingleInstance(const QString& lockPath, QObject* parent)
    : QObject(parent), lock_(std::make_unique<QLockFile>(lockPath)) {
    // One server name per lock file, so separate settings files (tests) do not meet.
    QByteArray key = QFileInfo(lockPath).absoluteFilePath().toUtf8();
    serverName_ = QStringLiteral("mirolanda-") +
                  QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Acquire() {
    // A lock left by a process that died is taken over at once.
    if (!lock_->tryLock(0)) return false;
    server_ = new QLocalServer(this);
    QLocalServer::removeServer(serverName_);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(serverName_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromServer();
            emit Activated();
        }
    });
    return true;
}

bool SingleInstance::NotifyRunning(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

}  // namespace mirolanda::app
