#include "app/InstanceGuard.h"

#include "store/NewFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The ledger's real name: the same file reached through a linked folder
// names the same lock.
QString realDatabasePath(const QString& databasePath)
{
    const QFileInfo database(databasePath);
    if (!database.canonicalFilePath().isEmpty()) return database.canonicalFilePath();
    const QString folder = QFileInfo(database.absolutePath()).canonicalFilePath();
    return QDir(folder.isEmpty() ? database.absolutePath() : folder).filePath(database.fileName());
}

bool isPrivateFolder(const QString& folder)
{
    struct stat seen {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &seen) == 0 && S_ISDIR(seen.st_mode) &&
           seen.st_uid == ::geteuid() && (seen.st_mode & 077) == 0;
}

}  // namespace

QString privateRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime)) return runtime;
    const QString own = QDir::temp().filePath(QStringLiteral("orvalin-kovanta-%1").arg(::geteuid()));
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
}

InstanceGuard::InstanceGuard(const QString& databasePath)
{
    const QString real = realDatabasePath(databasePath);
    const QFileInfo database(real);
    const QString lockPath = database.dir().filePath(QLatin1Char('.') + database.fileName() + QStringLiteral(".kilit"));
    // The data folder is made here on a first start, before the creation
    // is offered: the lock must be held before anything is written.
    QDir().mkpath(database.absolutePath());
    const int file = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    struct stat seen {};
    int why = file < 0 ? errno : ::fstat(file, &seen) != 0 ? errno : 0;
    if (why == 0 && (!S_ISREG(seen.st_mode) || seen.st_uid != ::geteuid())) why = EPERM;
    if (why == 0 && ::flock(file, LOCK_EX | LOCK_NB) != 0) why = errno;
    if (why == 0) {
        lock_ = file;
    } else {
        if (file >= 0) ::close(file);
        if (why != EWOULDBLOCK)
            failure_ = QStringLiteral("Kilit dosyası %1 alınamadı (%2). Program açılmadı; klasörün size ait olduğunu ve "
                                      "yazılabildiğini denetleyin.")
                           .arg(lockPath, why == EPERM ? QStringLiteral("dosya size ait değil ya da düzenli bir dosya değil")
                                                       : systemErrorText(why));
    }
    const QString runtime = privateRuntimeFolder();
    if (runtime.isEmpty()) return;
    socket_ = QDir(runtime).filePath(QStringLiteral("orvalin-kovanta-") +
                                     QString::fromLatin1(QCryptographicHash::hash(QFile::encodeName(real), QCryptographicHash::Sha1)
                                                             .toHex()
                                                             .left(16)));
    if (!holdsFolder()) return;
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socket_);  // left by a program that crashed
    server_->listen(socket_);
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

InstanceGuard::~InstanceGuard()
{
    if (lock_ >= 0) ::close(lock_);
}

bool InstanceGuard::askRunningToShow()
{
    if (socket_.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(socket_);
    if (!socket.waitForConnected(1000)) return false;
    return socket.waitForReadyRead(2000) && socket.readAll() == "ok";
}
