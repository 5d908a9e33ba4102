#include "store/NewFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An open file that keeps the system's error number of a failed write, so
// the collector reads "diskte yer kalmadı" and not the toolkit's English.
class DescriptorDevice : public QIODevice {
public:
    explicit DescriptorDevice(int descriptor) : descriptor_(descriptor) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    int failure() const { return failure_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        failure_ = writeAll(descriptor_, data, size);
        return failure_ == 0 ? size : -1;
    }

private:
    int descriptor_;
    int failure_ = 0;
};

void syncFolderOf(const QString& path)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

bool endsWith(int descriptor, const QByteArray& end)
{
    struct stat written {};
    if (::fstat(descriptor, &written) != 0) return false;
    // Writers may close the last line with a line break.
    QByteArray tail(static_cast<qsizetype>(std::min<off_t>(written.st_size, end.size() + 2)), '\0');
    const off_t from = written.st_size - tail.size();
    return ::pread(descriptor, tail.data(), static_cast<size_t>(tail.size()), from) == tail.size() && tail.trimmed().endsWith(end);
}

}  // namespace

int createNewFile(const QString& path, int* openFile)
{
    const int made = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made < 0) return errno;
    if (openFile)
        *openFile = made;
    else
        ::close(made);
    return 0;
}

int writeAll(int descriptor, const char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(descriptor, data + done, static_cast<size_t>(size - done));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return errno;
        if (wrote == 0) return ENOSPC;
        done += wrote;
    }
    return 0;
}

QString placeUnderName(const QString& fresh, const QString& target)
{
    const QByteArray from = QFile::encodeName(fresh), to = QFile::encodeName(target);
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
    } else {
        const int why = errno;
        const QFileInfo there(target);
        if (why == EEXIST || there.exists() || there.isSymLink()) return QStringLiteral("bu adda bir dosya ya da bağlantı duruyor");
        if (::rename(from.constData(), to.constData()) != 0) return systemErrorText(errno);
    }
    syncFolderOf(target);
    return {};
}

QString systemErrorText(int number)
{
    switch (number) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("diskte yer kalmadı");
    case EFBIG:
        return QStringLiteral("dosya bu disk için fazla büyük");
    case EACCES:
    case EPERM:
        return QStringLiteral("yazma izni yok");
    case EROFS:
        return QStringLiteral("disk salt okunur");
    case ENOENT:
        return QStringLiteral("klasör bulunamadı");
    case ENOTDIR:
        return QStringLiteral("yolda klasör olmayan bir ad var");
    case EISDIR:
        return QStringLiteral("bu adda bir klasör var");
    case ELOOP:
        return QStringLiteral("bu adda bir bağlantı var");
    case EIO:
        return QStringLiteral("disk hatası");
    default:
        return QString::fromLocal8Bit(std::strerror(number));
    }
}

QString replaceWhole(const QString& target, const std::function<bool(QIODevice& file)>& write, const QByteArray& end)
{
    const QString path = QFileInfo(target).absoluteFilePath();
    QString fresh;
    int descriptor = -1;
    int why = EEXIST;
    // A passing name of its own: one left by a cut write is never reused.
    for (int attempt = 0; attempt < 8 && why == EEXIST; ++attempt) {
        fresh = QStringLiteral("%1.%2.yeni").arg(path).arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
        why = createNewFile(fresh, &descriptor);
    }
    if (why != 0) return systemErrorText(why);

    const QByteArray name = QFile::encodeName(path);
    struct stat old {};
    if (::lstat(name.constData(), &old) == 0 && S_ISREG(old.st_mode) && old.st_uid == ::geteuid())
        ::fchmod(descriptor, old.st_mode & 07777);
    QString failure;
    {
        DescriptorDevice file(descriptor);
        const bool written = write(file);
        if (file.failure() != 0)
            failure = systemErrorText(file.failure());
        else if (!written)
            failure = QStringLiteral("dosya yazılamadı");
    }
    if (failure.isEmpty() && ::fsync(descriptor) != 0) failure = systemErrorText(errno);
    if (failure.isEmpty() && !end.isEmpty() && !endsWith(descriptor, end)) failure = QStringLiteral("yazılan dosya eksik kaldı");
    ::close(descriptor);
    if (failure.isEmpty() && ::rename(QFile::encodeName(fresh).constData(), name.constData()) != 0) failure = systemErrorText(errno);
    if (!failure.isEmpty()) {
        ::unlink(QFile::encodeName(fresh).constData());
        return failure;
    }
    syncFolderOf(path);
    return {};
}
