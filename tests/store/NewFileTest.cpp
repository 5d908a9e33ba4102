#include "Ledger.h"
#include "store/Connection.h"
#include "store/NewFile.h"
#include "store/Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
