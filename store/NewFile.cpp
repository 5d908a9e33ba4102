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

int createNewFile(const QString& path, int* openFile)
{
    const int made = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made < 0) return errno;
    if (openFile)
        *openFile = made;
    else
        ::close(made);
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
        if (::rename(from.constData(), to.constData()) != 0) return errnoText(errno);
    }
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}
