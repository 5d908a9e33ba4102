#include "store/NewFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString errnoText(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

}  // namespace

QString createNewFile(const QString& path, bool* diskFull, int* openFile)
{
    const int made = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (diskFull) *diskFull = made < 0 && errno == ENOSPC;
    if (made < 0) return errnoText(errno);
    if (openFile)
        *openFile = made;
    else
        ::close(made);
    return {};
}

QString placeUnderName(const QString& fresh, const QString& target)
{
    const QByteArray from = QFile::encodeName(fresh), to = QFile::encodeName(target);
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
    } else {
        const int why = errno;
        const QFileInfo there(target);
        if (why == EEXIST || there.exists() || there.isSymLink()) return errnoText(EEXIST);
        if (::rename(from.constData(), to.constData()) != 0) return errnoText(errno);
    }
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}
