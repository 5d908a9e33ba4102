#include "Days.h"
#include "Files.h"
#include "Ledger.h"
#include "store/Backup.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/LedgerIdentity.h"
#include "store/Statement.h"
#include "store/Statement.h"
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

    // Enough for a copy of many steps.
    void addManyRows()
    {
        Transaction many(connection);
        for (int i = 0; i < 20000; ++i)
            addIntakeRow(connection, QDate(2020, 1, 1).addDays(i % 2000), QStringLiteral("K1"), QStringLiteral("Ali Can"), i, 1, 1.4);
        many.commit();
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
    addManyRows();
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
    const QString identity = ledgerIdentity(connection).value;
    const DailyBackup day = makeDailyBackup(connection, kToday);
    QTemporaryDir stick;
    const CopyShelf shelf = CopyShelf::second(stick.path(), path, identity);
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

namespace {

// A correction is one transaction of several statements; the copy reads
// through the same connection from its own thread. Whatever moment the copy
// meets, it holds each correction whole or not at all, and never one that
// was rolled back.
TEST_F(DailyBackupTest, ACorrectionMadeWhileTheCopyRunsReachesItWholeOrNotAtAll)
{
    addManyRows();
    std::atomic<bool> done = false;
    DailyBackup copy;
    std::thread copier([&] {
        copy = makeDailyBackup(connection, kToday);
        done = true;
    });
    // Each correction writes its two halves under one slip number; every
    // third is given up before its commit.
    int corrections = 0;
    while (!done) {
        Transaction correction(connection);
        for (const char* half : {"a", "b"}) {
            Statement add(connection, QStringLiteral("INSERT INTO SutGirisi (Tarih, Kodu, Fis_No, Aciklama) VALUES ('2026-12-09', 'K1', ?, ?)"));
            add.bind(1, corrections);
            add.bind(2, corrections % 3 == 2 ? QStringLiteral("geri") : QString::fromLatin1(half));
            add.run();
            std::this_thread::yield();
        }
        if (corrections % 3 != 2) correction.commit();
        ++corrections;
    }
    copier.join();
    ASSERT_GT(corrections, 3) << "the copy ran alongside several corrections";
    ASSERT_EQ(copy.outcome, DailyBackup::Outcome::Made);
    Connection made;
    made.open(copy.file);
    const QList<QVariantMap> halves = readRows(
        made, QStringLiteral("SELECT count(*) AS n, sum(Aciklama = 'geri') AS given_up FROM SutGirisi WHERE Fis_No IS NOT NULL "
                             "GROUP BY Fis_No HAVING count(*) <> 2 OR given_up > 0"));
    EXPECT_TRUE(halves.isEmpty()) << halves.size() << " slips half there or given up";
}

// Two ledgers send their copies to one stick for three weeks: each has a
// folder of its own there, named for people and found by its identity even
// when renamed; a copy of the other ledger under a day's name is never taken
// as one's own, and one's keeping rule never drops the other's copies.
// A folder copied to another village's takes an identity of its own the
// first time it is asked, an identity made before places were kept stays.
TEST(SecondShelf, ACopiedFolderTakesAnIdentityOfItsOwn)
{
    QTemporaryDir dir;
    const QString made = dir.filePath(QStringLiteral("Koy1/AnaData/Kovanta.mdb"));
    const QString copied = dir.filePath(QStringLiteral("Koy2/AnaData/Kovanta.mdb"));
    const QString older = dir.filePath(QStringLiteral("Koy3/AnaData/Kovanta.mdb"));
    QString first;
    {
        Connection connection;
        connection.createNew(made);
        first = ledgerIdentity(connection).value;
    }
    ASSERT_TRUE(QDir().mkpath(QFileInfo(copied).absolutePath()) && QFile::copy(made, copied));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(older).absolutePath()) && QFile::copy(made, older));
    {
        Connection connection;
        connection.open(older);
        Statement(connection, QStringLiteral("DROP TABLE Defter_Kimligi")).run();
        Statement(connection, QStringLiteral("CREATE TABLE Defter_Kimligi (Kimlik VARCHAR(32) NOT NULL)")).run();
        Statement(connection, QStringLiteral("INSERT INTO Defter_Kimligi VALUES ('eski')")).run();
    }
    const struct {
        QString path;
        bool own;
        QString copiedFrom;
    } asked[] = {
        {copied, true, QFileInfo(made).absoluteFilePath()},
        {copied, true, {}},
        {made, false, {}},
        {older, false, {}},
        {older, false, {}},
    };
    QString copiedIdentity;
    for (const auto& ask : asked) {
        Connection connection;
        connection.open(ask.path);
        const LedgerIdentity identity = ledgerIdentity(connection);
        EXPECT_EQ(identity.copiedFrom, ask.copiedFrom) << ask.path.toStdString();
        if (ask.path == older) EXPECT_EQ(identity.value, QStringLiteral("eski"));
        else if (!ask.own) EXPECT_EQ(identity.value, first);
        else {
            EXPECT_NE(identity.value, first);
            if (copiedIdentity.isEmpty()) copiedIdentity = identity.value;
            EXPECT_EQ(identity.value, copiedIdentity) << "made once";
        }
    }
}

TEST(SecondShelf, TwoLedgersSharingOnePlaceNeverMixTheirCopies)
{
    QTemporaryDir dir, stick;
    struct Ledger {
        QString path;
        Connection connection;
        QString identity;
    };
    Ledger ledgers[2];
    for (int i = 0; i < 2; ++i) {
        ledgers[i].path = dir.filePath(QStringLiteral("Koy%1/AnaData/Kovanta.mdb").arg(i + 1));
        ledgers[i].connection.createNew(ledgers[i].path);
        addAccount(ledgers[i].connection, QStringLiteral("K%1").arg(i + 1), QStringLiteral("Köy %1").arg(i + 1));
        ledgers[i].identity = ledgerIdentity(ledgers[i].connection).value;
        EXPECT_EQ(ledgerIdentity(ledgers[i].connection).value, ledgers[i].identity) << "made once";
    }
    ASSERT_NE(ledgers[0].identity, ledgers[1].identity);
    const QList<QDate> days = everyDay(kToday.addDays(-20), kToday);
    for (const QDate& day : days)
        for (Ledger& ledger : ledgers) {
            const DailyBackup beside = makeDailyBackup(ledger.connection, day);
            const CopyShelf shelf = CopyShelf::second(stick.path(), ledger.path, ledger.identity);
            ASSERT_EQ(copyToShelf(beside.file, shelf, day).outcome, DailyBackup::Outcome::Made);
        }
    for (const Ledger& ledger : ledgers) {
        const CopyShelf shelf = CopyShelf::second(stick.path(), ledger.path, ledger.identity);
        EXPECT_TRUE(QFileInfo(shelf.folder).fileName().startsWith(QFileInfo(QFileInfo(ledger.path).absolutePath()).dir().dirName()));
        EXPECT_EQ(backupDays(shelf), keptBackupDays(days));
        for (const QDate& day : backupDays(shelf)) EXPECT_EQ(fileIdentity(shelf.file(day)), ledger.identity);
    }

    // The first ledger's folder renamed by hand; the second's copies put
    // into it under a day to come and under an old day the rule drops.
    const CopyShelf first = CopyShelf::second(stick.path(), ledgers[0].path, ledgers[0].identity);
    const CopyShelf other = CopyShelf::second(stick.path(), ledgers[1].path, ledgers[1].identity);
    const QString renamed = stick.filePath(QStringLiteral("eski-") + ledgers[0].identity);
    ASSERT_TRUE(QDir().rename(first.folder, renamed));
    const CopyShelf moved = CopyShelf::second(stick.path(), ledgers[0].path, ledgers[0].identity);
    EXPECT_EQ(moved.folder, renamed);
    const QDate next = kToday.addDays(1), old = QDate(2025, 1, 15);
    ASSERT_TRUE(QFile::copy(other.file(kToday), moved.file(next)));
    ASSERT_TRUE(QFile::copy(other.file(kToday), moved.file(old)));
    const DailyBackup beside = makeDailyBackup(ledgers[0].connection, next);
    const std::string refused = errorText([&] { copyToShelf(beside.file, moved, next); });
    EXPECT_NE(refused.find("başka bir defterin yedeği"), std::string::npos) << refused;
    EXPECT_EQ(fileIdentity(moved.file(next)), ledgers[1].identity) << "left as it was";
    QFile::remove(moved.file(next));
    ASSERT_EQ(copyToShelf(beside.file, moved, next).outcome, DailyBackup::Outcome::Made);
    EXPECT_EQ(fileIdentity(moved.file(old)), ledgers[1].identity) << "not the first ledger's to drop";
}

// A copy cut off by a crash, of any day, is gone by the next copy; a copy
// stopped half-way leaves nothing.
TEST_F(DailyBackupTest, CutAndStoppedCopiesLeaveNothingBehind)
{
    QDir().mkpath(backupFolder(path));
    const QString cut = backupFile(path, kToday.addDays(-6)) + QStringLiteral(".yeni");
    for (const QString& name : {cut, cut + QStringLiteral("-journal")}) ASSERT_TRUE(plantFile(name, "yarim"));
    ASSERT_EQ(makeDailyBackup(connection, kToday).outcome, DailyBackup::Outcome::Made);
    EXPECT_FALSE(QFileInfo::exists(cut) || QFileInfo::exists(cut + QStringLiteral("-journal")));

    // Stopped at once, and stopped while it runs.
    addManyRows();
    for (const int afterMs : {0, 5}) {
        SCOPED_TRACE(afterMs);
        std::atomic<bool> stop = afterMs == 0;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
            stop = true;
        });
        const QDate day = kToday.addDays(1 + afterMs);
        int code = 0;
        try {
            makeDailyBackup(connection, day, &stop);
        } catch (const DatabaseError& error) {
            code = error.code();
        }
        stopper.join();
        EXPECT_EQ(code, SQLITE_INTERRUPT);
        EXPECT_FALSE(QFileInfo::exists(backupFile(path, day)));
        EXPECT_EQ(QDir(backupFolder(path)).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("Kovanta-2026-12-09.mdb"), QStringLiteral("Kovanta-sira.txt")}));
    }
}

}  // namespace
