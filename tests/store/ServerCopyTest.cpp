#include "store/ServerCopy.h"

#include "Days.h"
#include "Files.h"
#include "Ledger.h"
#include "PgCluster.h"
#include "store/DatabaseError.h"
#include "store/PgConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <atomic>
#include <bit>
#include <chrono>
#include <thread>
#include <cstdio>
#include <memory>

namespace {

const QDate kToday(2026, 12, 9);

class ServerCopyTest : public PgClusterTest {
protected:
    void SetUp() override
    {
        PgClusterTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        db.exec(QStringLiteral("CREATE TABLE Cariler (Kodu text PRIMARY KEY, Adi text, Fiyat double precision, Acilis date)"));
        db.exec(QStringLiteral("CREATE TABLE SutGirisi (No bigint PRIMARY KEY, Tarih date, Kodu text, Litre double precision, "
                               "Kayit timestamp, Aciklama text)"));
        const double third = 0.1 + 0.2;
        db.exec(QStringLiteral("INSERT INTO Cariler VALUES (?1, ?2, ?3, ?4)"),
                {QStringLiteral("K1"), QStringLiteral("Şükrü Öztürk"), third, QDate(2024, 2, 29)});
        db.exec(QStringLiteral("INSERT INTO Cariler VALUES (?1, ?2, ?3, ?4)"), {QStringLiteral("K2"), QString(""), 1.4, QVariant()});
        for (int i = 1; i <= 40; ++i)
            db.exec(QStringLiteral("INSERT INTO SutGirisi VALUES (?1, ?2, 'K1', ?3, ?4, ?5)"),
                    {i, QDate(2026, 11, 1).addDays(i % 30), i * 0.1 + 1e-13, QDateTime(QDate(2026, 11, 2), QTime(5, i, 7)),
                     i % 2 ? QVariant(QStringLiteral("İğdır ığ")) : QVariant()});
    }

    QString database(const QString& name) const
    {
        return cluster->conninfo().replace(QStringLiteral("dbname=kovanta"), QStringLiteral("dbname=") + name);
    }

    QStringList files() const { return QDir(shelf.folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir dir;
    CopyShelf shelf = CopyShelf::beside(dir.filePath(QStringLiteral("AnaData/Kovanta.mdb")));
};

QList<PgConnection::Row> rowsOf(const QString& conninfo, const QString& table)
{
    PgConnection connection;
    connection.open(conninfo);
    return connection.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
}

// Each field as its type and value, a double by its bits: equal as numbers
// is not enough.
QStringList exactly(const QList<PgConnection::Row>& rows)
{
    QStringList fields;
    for (const PgConnection::Row& row : rows)
        for (const QVariant& v : row)
            fields << QStringLiteral("%1 %2").arg(QString::fromLatin1(v.typeName()),
                                                  v.isNull() ? QStringLiteral("NULL")
                                                  : v.typeId() == QMetaType::Double
                                                      ? QString::number(std::bit_cast<quint64>(v.toDouble()), 16)
                                                      : v.toString());
    return fields;
}

TEST_F(ServerCopyTest, TheDaysCopyRestoresIntoAnEmptyDatabaseBitForBit)
{
    const DailyBackup made = makeServerDailyCopy(cluster->conninfo(), shelf, kToday);
    ASSERT_EQ(made.outcome, DailyBackup::Outcome::Made) << made.problem.toStdString();
    EXPECT_EQ(made.file, dir.filePath(QStringLiteral("AnaData/Yedek/Kovanta-2026-12-09.dump")));
    const QByteArray bytes = fileBytes(made.file);
    db.exec(QStringLiteral("UPDATE Cariler SET Adi = 'sonra' WHERE Kodu = 'K1'"));
    const DailyBackup again = makeServerDailyCopy(cluster->conninfo(), shelf, kToday);
    EXPECT_EQ(again.outcome, DailyBackup::Outcome::AlreadyMade);
    EXPECT_EQ(again.file, made.file);
    EXPECT_EQ(fileBytes(made.file), bytes) << "the day's copy is left as it was";
    db.exec(QStringLiteral("UPDATE Cariler SET Adi = 'Şükrü Öztürk' WHERE Kodu = 'K1'"));

    db.exec(QStringLiteral("CREATE DATABASE kopya"));
    restoreServerCopy(database(QStringLiteral("kopya")), made.file);
    for (const QString& table : {QStringLiteral("Cariler"), QStringLiteral("SutGirisi")}) {
        SCOPED_TRACE(table.toStdString());
        const QStringList original = exactly(rowsOf(cluster->conninfo(), table));
        EXPECT_FALSE(original.isEmpty());
        EXPECT_EQ(exactly(rowsOf(database(QStringLiteral("kopya")), table)), original);
    }

    // Now it has tables: a second restore would mix two ledgers.
    const std::string refused = errorText([&] { restoreServerCopy(database(QStringLiteral("kopya")), made.file); });
    EXPECT_NE(refused.find("Veritabanı boş değil: cariler, sutgirisi"), std::string::npos) << refused;
}

// The copy refused whole, with pg_restore's own words, and the database
// left without a table.
TEST_F(ServerCopyTest, ADamagedCopyIsNotRestored)
{
    const DailyBackup made = makeServerDailyCopy(cluster->conninfo(), shelf, kToday);
    ASSERT_EQ(made.outcome, DailyBackup::Outcome::Made) << made.problem.toStdString();
    const QByteArray sound = fileBytes(made.file);
    db.exec(QStringLiteral("CREATE DATABASE kopya"));
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        // Its table of contents whole: the check passes, the restore breaks off.
        {"its last bytes cut", sound.left(sound.size() - 16)},
        {"not a copy at all", QByteArray("PGDMP bu bir yedek değil")},
        {"empty", QByteArray()},
    };
    const QString damaged = dir.filePath(QStringLiteral("bozuk.dump"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(damaged);
        ASSERT_TRUE(plantFile(damaged, c.bytes));
        const std::string refused = errorText([&] { restoreServerCopy(database(QStringLiteral("kopya")), damaged); });
        EXPECT_NE(refused.find("pg_restore: error:"), std::string::npos) << refused;
        std::printf("%s: %s\n", c.name, refused.substr(refused.rfind("pg_restore: error:")).c_str());
        PgConnection kopya;
        kopya.open(database(QStringLiteral("kopya")));
        EXPECT_EQ(kopya.exec(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")).value(0).value(0).toLongLong(), 0)
            << "tables left by a restore that broke off";
    }
}

// A dump the check does not take, one pg_dump cannot make and one made by
// no program at all: none leaves a file behind.
TEST_F(ServerCopyTest, ACopyThatCannotBeMadeOrCheckedLeavesNothing)
{
    db.exec(QStringLiteral("CREATE DATABASE bos"));
    const DailyBackup empty = makeServerDailyCopy(database(QStringLiteral("bos")), shelf, kToday);
    EXPECT_EQ(empty.outcome, DailyBackup::Outcome::Damaged);
    EXPECT_NE(empty.problem.indexOf(QStringLiteral("Cariler")), -1) << empty.problem.toStdString();
    EXPECT_EQ(files(), QStringList());

    const std::string missing = errorText([&] { makeServerDailyCopy(database(QStringLiteral("yok")), shelf, kToday); });
    EXPECT_NE(missing.find("\"yok\" does not exist"), std::string::npos) << missing;
    EXPECT_EQ(files(), QStringList());

    const QByteArray before = qgetenv("KOVANTA_PG_BINDIR");
    qputenv("KOVANTA_PG_BINDIR", dir.filePath(QStringLiteral("hicbiryer")).toUtf8());
    const std::string noProgram = errorText([&] { makeServerDailyCopy(cluster->conninfo(), shelf, kToday); });
    before.isNull() ? qunsetenv("KOVANTA_PG_BINDIR") : qputenv("KOVANTA_PG_BINDIR", before);
    EXPECT_NE(noProgram.find("pg_dump çalıştırılamadı"), std::string::npos) << noProgram;
    EXPECT_EQ(files(), QStringList());
}

// The server's copies keep by the file copies' rule, among them but apart:
// neither kind's days drop the other's copies.
TEST_F(ServerCopyTest, TheKeepingRuleWorksOnTheServersCopiesAlone)
{
    const CopyShelf dumps = serverCopies(shelf);
    QList<QDate> days = everyDay(kToday.addDays(-20), kToday.addDays(-1)) << QDate(2025, 3, 4);
    ASSERT_TRUE(QDir().mkpath(shelf.folder));
    for (const QDate& day : days) {
        ASSERT_TRUE(plantFile(dumps.file(day)));
        ASSERT_TRUE(plantFile(shelf.file(day)));
    }
    const QString cut = dumps.file(kToday.addDays(-3)) + QStringLiteral(".yeni");
    ASSERT_TRUE(plantFile(cut, "yarim"));

    ASSERT_EQ(makeServerDailyCopy(cluster->conninfo(), shelf, kToday).outcome, DailyBackup::Outcome::Made);
    EXPECT_EQ(backupDays(dumps), keptBackupDays(QList<QDate>(days) << kToday));
    EXPECT_EQ(backupDays(shelf).size(), days.size()) << "the file copies are the file's rule's to drop";
    EXPECT_FALSE(QFileInfo::exists(cut));
    EXPECT_FALSE(QFileInfo::exists(QDir(shelf.folder).filePath(QStringLiteral("Kovanta-sira.txt"))))
        << "the order the file's copies were made in is theirs alone";
}

}  // namespace

// Closing the program while the day's copy waits on the server ends the copy
// at once and leaves no part of it.
TEST_F(ServerCopyTest, ClosingDuringTheDaysCopyStopsItsDumpAtOnce)
{
    PgConnection holder;
    holder.open(cluster->conninfo());
    holder.script(QStringLiteral("BEGIN; LOCK TABLE Cariler IN ACCESS EXCLUSIVE MODE"));
    std::atomic<bool> stop{false};
    std::thread closing([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(makeServerDailyCopy(cluster->conninfo(), shelf, kToday, &stop), DatabaseError);
    closing.join();
    EXPECT_LT(clock.elapsed(), 3000);
    holder.script(QStringLiteral("ROLLBACK"));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("AnaData/Yedek"))).entryList(QDir::Files).isEmpty());
}
