#include "app/LedgerPlace.h"

#include "common/Platform.h"
#include "store/Connection.h"
#include "store/JetFile.h"
#include "store/NewFile.h"
#include "store/ServerCopy.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

const QString kServerKey = QStringLiteral("Defter/Sunucu");

QString folder()
{
    return QFileInfo(kDatabasePath).absolutePath();
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closed by the caller, whose close can fail.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

[[noreturn]] void refuse(const QString& why)
{
    throw std::runtime_error(QStringLiteral("%1 okunmadı: %2. Bu klasörün ayarından hiçbir sunucuya bağlanılmadı; dosyayı "
                                            "silip sunucuyu \"Veritabanı → Veritabanı Sunucusu…\" ile yeniden seçin.")
                                 .arg(serverSettingsPath(), why)
                                 .toStdString());
}

QString systemWords(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The settings' bytes, read only from a regular file of this user's that no
// one else may write: another's file in a shared folder could send this
// user's password (from ~/.pgpass) to a server of its choosing. Nothing when
// there is no file.
std::optional<QByteArray> settingsBytes()
{
    const QByteArray path = QFile::encodeName(serverSettingsPath());
    struct stat named {};
    if (::lstat(path.constData(), &named) != 0) {
        if (errno == ENOENT) return std::nullopt;
        refuse(systemWords(errno));
    }
    const QString link = QStringLiteral("dosya değil, bir bağlantı (symbolic link); ayar yalnızca gerçek bir dosyadan okunur");
    if (S_ISLNK(named.st_mode)) refuse(link);
    // Checked on what is open, so that nothing swapped in meanwhile is read.
    Descriptor file(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) refuse(errno == ELOOP ? link : systemWords(errno));
    struct stat opened {};
    if (::fstat(file.get(), &opened) != 0) refuse(systemWords(errno));
    if (!S_ISREG(opened.st_mode)) refuse(QStringLiteral("sıradan bir dosya değil"));
    if (opened.st_uid != ::geteuid())
        refuse(QStringLiteral("dosya bu kullanıcının değil (sahibi kullanıcı no %1); başkasının ayarı bu kullanıcının parolasını "
                              "kendi seçtiği bir sunucuya gönderebilir")
                   .arg(opened.st_uid));
    if (opened.st_mode & (S_IWGRP | S_IWOTH))
        refuse(QStringLiteral("dosyaya başka kullanıcılar da yazabiliyor (izinleri %1); yalnızca sahibi yazabilmeli (chmod 600)")
                   .arg(opened.st_mode & 07777, 4, 8, QLatin1Char('0')));
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) refuse(systemWords(errno));
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return bytes;
}

// QSettings reads and writes the ini text, on a scratch copy of this user's
// own: it opens files by name, which the checks above must not allow.
QString valueIn(const QByteArray& bytes)
{
    QTemporaryFile scratch;
    if (!scratch.open() || scratch.write(bytes) != bytes.size() || !scratch.flush())
        throw std::runtime_error(QStringLiteral("%1 okunamadı: %2").arg(serverSettingsPath(), scratch.errorString()).toStdString());
    return QSettings(scratch.fileName(), QSettings::IniFormat).value(kServerKey).toString();
}

std::optional<QByteArray> textWith(const QString& conninfo)
{
    // QSettings replaces its file on writing: read back by name.
    QTemporaryDir scratch;
    if (!scratch.isValid()) return std::nullopt;
    const QString path = scratch.filePath(QStringLiteral("Kovanta.ini"));
    {
        QSettings settings(path, QSettings::IniFormat);
        if (!conninfo.isEmpty()) settings.setValue(kServerKey, conninfo);
        settings.sync();
        if (settings.status() != QSettings::NoError) return std::nullopt;
    }
    QFile written(path);
    if (!written.exists()) return QByteArray();
    if (!written.open(QIODevice::ReadOnly)) return std::nullopt;
    return written.readAll();
}

bool writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += put;
    }
    return true;
}

// A new file of this user's alone, made beside the settings and renamed over
// them: whatever stood at the name, a link too, is replaced, never written
// through, and a cut-off write leaves the old settings whole.
bool replaceSettings(const QByteArray& bytes)
{
    if (!QDir().mkpath(folder())) return false;
    QByteArray fresh;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        fresh = QFile::encodeName(serverSettingsPath() + QStringLiteral(".%1.yeni").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    Descriptor file(fd);
    // 0600 whatever the umask said.
    const bool written = ::fchmod(file.get(), 0600) == 0 && writeAll(file.get(), bytes) && ::fsync(file.get()) == 0 &&
                         ::close(file.release()) == 0;
    if (!written || ::rename(fresh.constData(), QFile::encodeName(serverSettingsPath()).constData()) != 0) {
        ::unlink(fresh.constData());
        return false;
    }
    // The rename itself survives a power cut once the folder is on disk.
    Descriptor directory(::open(QFile::encodeName(folder()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) ::fsync(directory.get());
    return true;
}

}  // namespace

void nameUserSettings()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvalin"));
    QCoreApplication::setApplicationName(kProgramTitle);
}

QString serverSettingsPath()
{
    return folder() + QStringLiteral("/Kovanta.ini");
}

QString savedServer()
{
    const std::optional<QByteArray> bytes = settingsBytes();
    return bytes ? valueIn(*bytes) : QString();
}

bool holdsPassword(const QString& conninfo)
{
    return connectionHoldsPassword(conninfo);
}

bool saveServer(const QString& conninfo)
{
    if (holdsPassword(conninfo)) return false;
    const std::optional<QByteArray> text = textWith(conninfo.trimmed());
    if (!text || !replaceSettings(*text)) return false;
    if (!conninfo.trimmed().isEmpty()) rememberServerHere(conninfo.trimmed());
    return true;
}

namespace {

QString knownServerKey()
{
    const QByteArray place = QFileInfo(folder()).absoluteFilePath().toUtf8();
    return QStringLiteral("BilinenSunucular/") + QString::fromLatin1(QCryptographicHash::hash(place, QCryptographicHash::Sha1).toHex());
}

}  // namespace

bool serverKnownHere(const QString& conninfo)
{
    return QSettings().value(knownServerKey()).toString() == conninfo;
}

void rememberServerHere(const QString& conninfo)
{
    QSettings().setValue(knownServerKey(), conninfo);
}

QString firstConnectionQuestion(const QString& conninfo)
{
    QStringList where;
    const std::pair<const char*, QString> shown[] = {
        {"host", QStringLiteral("Sunucu")},       {"hostaddr", QStringLiteral("Sunucunun adresi")},
        {"port", QStringLiteral("Kapı (port)")},  {"service", QStringLiteral("Servis (~/.pg_service.conf içinden)")},
        {"dbname", QStringLiteral("Veritabanı")}, {"user", QStringLiteral("Kullanıcı")},
    };
    const QList<QPair<QString, QString>> keys = connectionKeys(conninfo);
    for (const auto& [keyword, title] : shown)
        for (const auto& [key, value] : keys)
            if (key == QLatin1String(keyword)) where << title + QStringLiteral(": ") + value;
    if (where.isEmpty()) where << conninfo;
    return QStringLiteral("Bu klasörün ayar dosyası (%1) defteri bir sunucuda gösteriyor:\n\n%2\n\nBu bilgisayardan bu klasörle o "
                          "sunucuya ilk kez bağlanılacak ve parolanız ona gönderilebilir. Sunucuyu tanımıyorsanız Hayır deyin.\n\n"
                          "Bu sunucuya bağlanılsın mı?")
        .arg(kDatabasePath.section(QLatin1Char('/'), 0, 0) + QStringLiteral("/Kovanta.ini"), where.join(QLatin1Char('\n')));
}

FolderMoved moveFolderLedger(const QString& conninfo)
{
    FolderMoved done{moveLedgerToServer(kDatabasePath, conninfo), {}};
    done.choice = saveServer(conninfo)
                      ? QStringLiteral("Bu klasör bundan sonra sunucudaki defteri açar; %1 dosyası yalnız okunur kaldı.").arg(kDatabasePath)
                      : QStringLiteral("Sunucu bu klasörün ayarlarına yazılamadı%1: Veritabanı → Veritabanı Sunucusu… ile seçin. O zamana "
                                       "dek klasör %2 dosyasını yalnız okunur açar.")
                            .arg(holdsPassword(conninfo) ? QStringLiteral(" (bağlantı metninde parola var; parolayı ~/.pgpass dosyasına yazın)")
                                                         : QString(),
                                 kDatabasePath);
    return done;
}

namespace {

QString freshBeside(const QString& ledgerPath)
{
    return ledgerPath + QStringLiteral(".aktarim");
}

void removeFile(const QString& path)
{
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path);
}

[[noreturn]] void failPlacing(const QString& what)
{
    throw std::runtime_error((QStringLiteral("Aktarılan defter yerine konamadı: ") + what).toStdString());
}

// The new ledger and the old file trade names in one step, so that the
// ledger's name never stands empty; where the disk cannot (a FAT stick),
// one rename after the other.
void exchange(const QString& fresh, const QString& ledgerPath, const QString& keptOld)
{
    const QByteArray from = QFile::encodeName(fresh), to = QFile::encodeName(ledgerPath), kept = QFile::encodeName(keptOld);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        if (::rename(from.constData(), kept.constData()) != 0) failPlacing(QString::fromLocal8Bit(std::strerror(errno)));
    } else if (::rename(to.constData(), kept.constData()) != 0 || ::rename(from.constData(), to.constData()) != 0) {
        failPlacing(QString::fromLocal8Bit(std::strerror(errno)));
    }
    Descriptor directory(::open(QFile::encodeName(QFileInfo(ledgerPath).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) ::fsync(directory.get());
}

}  // namespace

void settleTakeOverLeftovers(const QString& ledgerPath, const QDate& today)
{
    const QString fresh = freshBeside(ledgerPath);
    if (!QFileInfo::exists(fresh)) return;
    if (looksLikeJetFile(fresh)) QFile::rename(fresh, keptOldFilePath(ledgerPath, today));
    else removeFile(fresh);
}

FolderTakenOver takeOverIntoFolder(const QString& oldPath, const QString& ledgerPath, const QString& conninfo, const QDate& today,
                                   const TakeOverProgress& progress)
{
    const JetFile old(oldPath);
    FolderTakenOver done;
    const bool inPlace = conninfo.isEmpty() && QFileInfo(oldPath).absoluteFilePath() == QFileInfo(ledgerPath).absoluteFilePath();
    if (conninfo.isEmpty() && !inPlace && QFileInfo::exists(ledgerPath)) {
        Connection ledger;
        ledger.open(ledgerPath);
        done.taken = takeOver(old, ledger, progress);
    } else {
        // For a server, the file it is moved from lies in a folder of its own.
        QTemporaryDir scratch;
        const QString fresh = conninfo.isEmpty() ? freshBeside(ledgerPath) : scratch.filePath(QStringLiteral("Kovanta.mdb"));
        settleTakeOverLeftovers(ledgerPath, today);
        try {
            {
                Connection ledger;
                ledger.createNew(fresh);
                done.taken = takeOver(old, ledger, progress);
            }
            if (!conninfo.isEmpty()) {
                moveLedgerToServer(fresh, conninfo);
            } else if (inPlace) {
                done.keptOld = keptOldFilePath(ledgerPath, today);
                exchange(fresh, ledgerPath, done.keptOld);
            } else {
                const QString why = placeUnderName(fresh, ledgerPath);
                if (!why.isEmpty()) failPlacing(why);
            }
        } catch (...) {
            if (!looksLikeJetFile(fresh)) removeFile(fresh);
            throw;
        }
    }
    done.summaryPath = takeOverSummaryPath(QFileInfo(ledgerPath).absolutePath(), today);
    const QByteArray text = done.taken.summary(oldPath).toUtf8();
    if (!replaceWhole(done.summaryPath, [&](QIODevice& file) { return file.write(text) == text.size(); }).isEmpty()) done.summaryPath.clear();
    return done;
}

QString serverOf(QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--sunucu"));
    if (at < 0 || at + 1 >= arguments.size()) return savedServer();
    const QString server = arguments.at(at + 1);
    arguments.remove(at, 2);
    return server;
}
