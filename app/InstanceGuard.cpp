#include "app/InstanceGuard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

// Named after the folder, so two folders run side by side.
QString guardName(const QString& dataFolder)
{
    const QByteArray folder = QDir(dataFolder).absolutePath().toUtf8();
    return QStringLiteral("orvalin-kovanta-") +
           QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
}

}  // namespace

InstanceGuard::InstanceGuard(const QString& dataFolder)
    : name_(guardName(dataFolder)), lock_(QDir::temp().filePath(name_ + QStringLiteral(".lock")))
{
    // A lock whose program is gone is taken over at once.
    lock_.setStaleLockTime(0);
    holds_ = lock_.tryLock(0);
    if (!holds_) return;
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name_);  // left by a program that crashed
    server_->listen(name_);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = server_->nextPendingConnection()) {
            caller->write("ok");
            caller->flush();
            caller->disconnectFromServer();
            caller->deleteLater();
            if (show_) show_();
        }
    });
}

InstanceGuard::~InstanceGuard() = default;

bool InstanceGuard::askRunningToShow()
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(1000)) return false;
    return socket.waitForReadyRead(2000) && socket.readAll() == "ok";
}
