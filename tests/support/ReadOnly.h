#pragma once

#include <QFile>
#include <QString>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Read-only for everyone, the owner included: the immutable mark where the
// test runs with every right, the mode bits otherwise.
inline bool makeReadOnly(const QString& path, bool readOnly)
{
    if (::geteuid() == 0)
        return std::system(("chattr " + std::string(readOnly ? "+i " : "-i ") + QFile::encodeName(path).toStdString() +
                            " 2>/dev/null")
                               .c_str()) == 0;
    return ::chmod(QFile::encodeName(path).constData(), readOnly ? 0555 : 0755) == 0;
}
