#include "Ledger.h"
#include "store/Backup.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

const QDate kToday(2026, 12, 9);

QList<QDate> everyDay(const QDate& from, const QDate& to)
{
    QList<QDate> days;
    for (QDate d = from; d <= to; d = d.addDays(1)) days << d;
    return days;
}

QList<QDate> newestFirst(QList<QDate> days)
{
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

TEST(Backup, TheNewest14DaysAndTheNewestCopyOf12MonthsAreKept)
{
    struct Case {
        const char* name;
        QList<QDate> days;
        QList<QDate> kept;
    };
    QList<QDate> twoYears = everyDay(QDate(2024, 12, 1), kToday);
    QList<QDate> twoYearsKept = everyDay(kToday.addDays(-13), kToday);
    // December's and November's newest copies are daily ones; then the last day of each month back to January.
    for (int back = 2; back <= 11; ++back) {
        const QDate month = QDate(2026, 12, 1).addMonths(-back);
        twoYearsKept << QDate(month.year(), month.month(), month.daysInMonth());
    }
    const Case cases[] = {
        {"fewer than 14", {QDate(2026, 12, 1), QDate(2026, 11, 3)}, {QDate(2026, 12, 1), QDate(2026, 11, 3)}},
        {"forty days in a row",
         everyDay(kToday.addDays(-39), kToday),
         everyDay(kToday.addDays(-13), kToday) << QDate(2026, 10, 31)},
        {"two years of days", twoYears, twoYearsKept},
        {"a gap of a year keeps the months that have copies",
         {QDate(2023, 5, 2), QDate(2023, 5, 20), QDate(2024, 1, 7), QDate(2025, 2, 1), QDate(2025, 2, 3)},
         {QDate(2023, 5, 2), QDate(2023, 5, 20), QDate(2024, 1, 7), QDate(2025, 2, 1), QDate(2025, 2, 3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keptBackupDays(c.days), newestFirst(c.kept));
    }
    // Sixteen months with one copy each beyond the daily ones: the oldest four go.
    QList<QDate> monthly;
    for (int m = 0; m < 16; ++m) monthly << QDate(2025, 1, 15).addMonths(m);
    const QList<QDate> kept = keptBackupDays(monthly);
    EXPECT_EQ(kept.size(), 14);
    EXPECT_EQ(kept.last(), QDate(2025, 3, 15));
}

class DailyBackupTest : public ::testing::Test {
protected:
    DailyBackupTest()
    {
        connection.createNew(path);
        addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
        for (int i = 0; i < 300; ++i)
            addIntakeRow(connection, QDate(2026, 1, 1).addDays(i), QStringLiteral("K1"), QStringLiteral("Ali Can"), i, 1, 1.4);
        // Stored once in the table and once in each of two indexes.
        addIntakeRow(connection, QDate(2026, 5, 5), QStringLiteral("K2"), QStringLiteral("Zeynep Ozkan"), 1, 1, 1.4);
    }

    int rowsIn(const QString& file)
    {
        Connection copy;
        copy.open(file);
        return readRows(copy, QStringLiteral("SELECT count(*) AS n FROM SutGirisi")).value(0).value(QStringLiteral("n")).toInt();
    }

    QStringList copies() const { return QDir(backupFolder(path)).entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
    Connection connection;
};

TEST_F(DailyBackupTest, TheFirstStartOfADayCopiesChecksAndPrunes)
{
    EXPECT_EQ(backupFolder(path), dir.filePath(QStringLiteral("AnaData/Yedek")));
    EXPECT_TRUE(newestBackup(path).isEmpty());
    // Copies of earlier days, as earlier starts left them.
    QDir().mkpath(backupFolder(path));
    for (const QDate& day : everyDay(kToday.addDays(-20), kToday.addDays(-1)))
        QFile::copy(path, backupFile(path, day));
    QFile::copy(path, backupFile(path, QDate(2025, 3, 4)));
    addIntakeRow(connection, kToday, QStringLiteral("K1"), QStringLiteral("Ali Can"), 7, 7, 1.4);

    const DailyBackup first = makeDailyBackup(connection, kToday);
    EXPECT_EQ(first.outcome, DailyBackup::Outcome::Made);
    EXPECT_EQ(first.file, dir.filePath(QStringLiteral("AnaData/Yedek/Kovanta-2026-12-09.mdb")));
    EXPECT_EQ(rowsIn(first.file), 302) << "the copy holds the last save";
    EXPECT_EQ(newestBackup(path), first.file);
    QStringList expected;
    for (const QDate& day : keptBackupDays(everyDay(kToday.addDays(-20), kToday) << QDate(2025, 3, 4)))
        expected << QFileInfo(backupFile(path, day)).fileName();
    expected.sort();
    EXPECT_EQ(copies(), expected);
    EXPECT_EQ(copies().size(), 15) << "14 days (November's newest among them) and March 2025";

    // Later starts of the day leave the copy as it is.
    const QByteArray made = [&] {
        QFile f(first.file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    addIntakeRow(connection, kToday, QStringLiteral("K1"), QStringLiteral("Ali Can"), 8, 8, 1.4);
    const DailyBackup again = makeDailyBackup(connection, kToday);
    EXPECT_EQ(again.outcome, DailyBackup::Outcome::AlreadyMade);
    EXPECT_EQ(rowsIn(first.file), 302);
    QFile f(first.file);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), made);
}

// A damaged table page, and a value changed in the table but not in its
// index: neither stops the start, the copy's check finds both.
TEST_F(DailyBackupTest, ADamagedFileGivesNoCopyAndSaysWhatTheCheckFound)
{
    connection.close();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray sound = file.readAll();
    file.close();

    struct Case {
        const char* name;
        std::function<QByteArray(QByteArray)> damage;
    };
    const Case cases[] = {
        {"a page overwritten",
         [](QByteArray bytes) {
             const qint64 page = 4096, at = (bytes.size() / page - 3) * page;
             for (qint64 i = at + 8; i < at + page; ++i) bytes[i] = '\x5A';
             return bytes;
         }},
        {"a name changed in the table only",
         [](QByteArray bytes) {
             const qsizetype at = bytes.indexOf("Zeynep Ozkan");
             if (at >= 0) bytes.replace(at, 12, "Zeynep Ozcan");
             return bytes;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(backupFolder(path)).removeRecursively();
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.damage(sound));
        out.close();

        Connection opened;
        ASSERT_NO_THROW(opened.open(path)) << "the start itself does not see it";
        const DailyBackup backup = makeDailyBackup(opened, kToday);
        EXPECT_EQ(backup.outcome, DailyBackup::Outcome::Damaged);
        EXPECT_TRUE(backup.file.isEmpty());
        EXPECT_FALSE(backup.problem.isEmpty());
        EXPECT_NE(backup.problem, QStringLiteral("ok"));
        std::printf("%s: %s\n", c.name, qPrintable(backup.problem.section(QLatin1Char('\n'), 0, 0)));
        EXPECT_EQ(copies(), QStringList()) << "nothing kept, nothing half-written left";
    }
}

}  // namespace

namespace {

// The copy runs on its own thread a few pages at a time: saves through the
// same connection meanwhile never fail, and the copy is a sound state that
// holds at least what was there when it began.
TEST_F(DailyBackupTest, SavesGoOnWhileTheCopyRunsAndTheCopyStaysSound)
{
    {
        Transaction many(connection);
        for (int i = 0; i < 20000; ++i)
            addIntakeRow(connection, QDate(2020, 1, 1).addDays(i % 2000), QStringLiteral("K1"), QStringLiteral("Ali Can"), i, 1, 1.4);
        many.commit();
    }
    const int before = rowsIn(path);
    std::atomic<bool> done = false;
    DailyBackup copy;
    std::thread copier([&] {
        copy = makeDailyBackup(connection, kToday);
        done = true;
    });
    int saved = 0;
    while (!done) {
        addIntakeRow(connection, kToday, QStringLiteral("K1"), QStringLiteral("Ali Can"), saved, 1, 1.4);
        ++saved;
    }
    copier.join();
    EXPECT_GT(saved, 0);
    ASSERT_EQ(copy.outcome, DailyBackup::Outcome::Made);
    EXPECT_GE(rowsIn(copy.file), before);
    EXPECT_LE(rowsIn(copy.file), before + saved);
    EXPECT_EQ(rowsIn(path), before + saved);
}

// A second shelf takes the checked copy the same way: a link at the day's
// name there is refused and its target left alone.
TEST_F(DailyBackupTest, TheTwinOnASecondShelfIsWrittenOnlyAsANewFile)
{
    const DailyBackup day = makeDailyBackup(connection, kToday);
    QTemporaryDir stick;
    const CopyShelf shelf = CopyShelf::in(stick.path(), path);
    const DailyBackup twin = copyToShelf(day.file, shelf, kToday);
    EXPECT_EQ(twin.outcome, DailyBackup::Outcome::Made);
    EXPECT_EQ(rowsIn(twin.file), rowsIn(day.file));

    const QString aim = stick.filePath(QStringLiteral("baska.txt"));
    QFile target(aim);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("dokunma");
    target.close();
    ASSERT_TRUE(QFile::link(aim, shelf.file(kToday.addDays(1))));
    EXPECT_THROW(copyToShelf(day.file, shelf, kToday.addDays(1)), DatabaseError);
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), QByteArray("dokunma"));
}

}  // namespace
