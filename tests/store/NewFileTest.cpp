#include "Files.h"
#include "Ledger.h"
#include "store/Connection.h"
#include "store/NewFile.h"
#include "store/Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QDir>

#include <cerrno>

namespace {

enum class There { Nothing, File, Link, DanglingLink };

void put(There what, const QString& path, const QString& aim)
{
    QFile file(aim);
    if (what == There::File || what == There::Link) {
        file.open(QIODevice::WriteOnly);
        file.write("dokunma");
        file.close();
    }
    if (what == There::File) QFile::rename(aim, path);
    if (what == There::Link || what == There::DanglingLink) QFile::link(aim, path);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Whatever stands at a name is never written through nor replaced.
TEST(NewFile, IsMadeAndNamedOnlyWhereNothingStands)
{
    struct Case {
        const char* name;
        There there;
        int created;  // what creating a new file there says
        bool placed;  // whether a finished file is given that name
    };
    const Case cases[] = {
        {"nothing", There::Nothing, 0, true},
        {"a file", There::File, EEXIST, false},
        {"a link to a file", There::Link, EEXIST, false},
        {"a link to nowhere", There::DanglingLink, EEXIST, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("ad.mdb"));
        const QString aim = dir.filePath(QStringLiteral("hedef"));
        put(c.there, name, aim);
        EXPECT_EQ(createNewFile(name), c.created);
        if (c.created == 0)
            EXPECT_FALSE(QFileInfo(name).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther));
        if (c.created == 0) QFile::remove(name);
        put(c.there, name, aim);

        const QString fresh = dir.filePath(QStringLiteral("ad.mdb.yeni"));
        ASSERT_EQ(createNewFile(fresh), 0);
        EXPECT_EQ(placeUnderName(fresh, name).isEmpty(), c.placed);
        EXPECT_EQ(QFileInfo::exists(fresh), !c.placed);
        if (c.there == There::File) EXPECT_EQ(contents(name), "dokunma");
        if (c.there == There::Link) EXPECT_EQ(contents(aim), "dokunma");
    }
}

// A file written in place of another is whole or not there at all: what
// stood at its name (a file, a link, a folder) is left as it was when the
// write fails, and a link is replaced, never written through.
TEST(NewFile, AFileWrittenInPlaceIsWholeOrLeavesWhatWasThere)
{
    struct Case {
        const char* name;
        There there;
        bool folder;     // a folder stands at the name
        qint64 bytes;    // what the writer writes
        bool writerOk;   // what the writer says
        QByteArray end;  // the end asked for
        const char* why; // what the failure says; empty when written
    };
    const Case cases[] = {
        {"nothing there", There::Nothing, false, 5, true, {}, ""},
        {"a file of ours", There::File, false, 5, true, {}, ""},
        {"a link to another's file", There::Link, false, 5, true, {}, ""},
        {"a link to nowhere", There::DanglingLink, false, 5, true, {}, ""},
        {"a folder", There::Nothing, true, 5, true, {}, "bu adda bir klasör var"},
        {"the writer gives up", There::File, false, 5, false, {}, "dosya yazılamadı"},
        {"no end where one is due", There::File, false, 5, true, QByteArrayLiteral("%%EOF"), "yazılan dosya eksik kaldı"},
        {"more than the disk takes", There::File, false, 1 << 20, true, {}, "dosya bu disk için fazla büyük"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("liste.csv"));
        const QString aim = dir.filePath(QStringLiteral("hedef"));
        put(c.there, name, aim);
        if (c.folder) QDir().mkpath(name + QStringLiteral("/icinde"));
        if (c.there == There::File) QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QByteArray text(c.bytes, 'y');
        QString why;
        {
            const FileSizeLimit disk(4096);
            why = replaceWhole(name, [&](QIODevice& file) { return file.write(text) == text.size() && c.writerOk; }, c.end);
        }

        EXPECT_EQ(why, QString::fromUtf8(c.why));
        const bool written = why.isEmpty();
        if (written) EXPECT_EQ(contents(name), text);
        if (written) EXPECT_FALSE(QFileInfo(name).isSymLink());
        if (!written && c.there == There::File) EXPECT_EQ(contents(name), "dokunma");
        if (c.there == There::Link) EXPECT_EQ(contents(aim), "dokunma");
        if (c.folder) EXPECT_TRUE(QFileInfo::exists(name + QStringLiteral("/icinde")));
        if (c.there == There::File)
            EXPECT_EQ(QFileInfo(name).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup) << "its mode kept";
        else if (written)
            EXPECT_EQ(QFileInfo(name).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner) << "a new file is the user's alone";
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        EXPECT_FALSE(left.join(QLatin1Char(' ')).contains(QStringLiteral(".yeni"))) << left.join(' ').toStdString();
    }
}

TEST(Transaction, StepsLeftWithoutCommitAreRolledBack)
{
    QTemporaryDir dir;
    Connection connection;
    connection.createNew(dir.filePath(QStringLiteral("AnaData/Kovanta.mdb")));
    for (const bool commit : {false, true}) {
        {
            Transaction transaction(connection);
            addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
            addAccount(connection, QStringLiteral("K2"), QStringLiteral("Veli Can"), 1.4);
            if (commit) transaction.commit();
        }
        EXPECT_EQ(readRows(connection, QStringLiteral("SELECT count(*) AS n FROM Cariler")).value(0).value(QStringLiteral("n")).toInt(),
                  commit ? 2 : 0);
    }
}

}  // namespace
