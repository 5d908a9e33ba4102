// The start's daily copy and what the collector is told when the file is
// damaged.

#include "app/Program.h"
#include "FakeDialogs.h"
#include "Ledger.h"
#include "store/Backup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 9);

class NoShell : public Shell {
public:
    void openAddress(const QString&) override {}
};

class ProgramBackupTest : public ::testing::Test {
protected:
    ProgramBackupTest()
    {
        Connection connection;
        connection.createNew(path);
        addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
        for (int i = 0; i < 300; ++i)
            addIntakeRow(connection, QDate(2026, 1, 1).addDays(i), QStringLiteral("K1"), QStringLiteral("Ali Can"), i, 1, 1.4);
    }

    // Starts the program on a day, lets the day's copy finish and closes
    // it; what it said, or the refusal.
    QString start(const QDate& day)
    {
        dialogs.messages.clear();
        NoShell shell;
        Program program(dialogs, shell);
        try {
            EXPECT_TRUE(program.start(path, day));
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what());
        }
        program.copyIfDue(day);
        program.finishCopy();
        return dialogs.messages.join(QStringLiteral("|"));
    }

    void damage(qint64 from, qint64 to)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        for (qint64 i = from < 0 ? bytes.size() + from : from; i < (to <= 0 ? bytes.size() + to : to); ++i)
            bytes[i] = '\x5A';
        file.seek(0);
        file.write(bytes);
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
    FakeDialogs dialogs;
};

TEST_F(ProgramBackupTest, TheFirstStartOfEachDayLeavesACheckedCopyAndSaysNothing)
{
    EXPECT_EQ(start(kToday), QString());
    EXPECT_EQ(start(kToday), QString());
    EXPECT_EQ(start(kToday.addDays(1)), QString());
    EXPECT_EQ(QDir(backupFolder(path)).entryList({QStringLiteral("*.mdb")}, QDir::Files),
              (QStringList{QStringLiteral("Kovanta-2026-12-09.mdb"), QStringLiteral("Kovanta-2026-12-10.mdb")}));
}

// A dead clock battery: the day's copy is still made, kept and named as
// the newest, and the collector is told the date is wrong.
TEST_F(ProgramBackupTest, AClockThatWentBackStillKeepsTodaysCopyAndSaysSo)
{
    for (int day = 0; day < 14; ++day) ASSERT_EQ(start(kToday.addDays(day)), QString());
    const QDate behind = kToday.addDays(-3);  // a month with fourteen newer copies
    const QString told = start(behind);
    EXPECT_TRUE(told.contains(QStringLiteral("tarihi geri gitmiş"))) << told.toStdString();
    EXPECT_TRUE(QFileInfo::exists(backupFile(path, behind)));
    EXPECT_EQ(newestBackup(path), backupFile(path, behind));
    EXPECT_EQ(start(behind).count(QStringLiteral("geri gitmiş")), 1) << "said once at each start";
}

// A link planted at the day's copy is named and left alone, and so is
// what it points to.
TEST_F(ProgramBackupTest, ALinkAtTheDaysCopyIsRefusedAndItsTargetLeftAlone)
{
    QDir().mkpath(backupFolder(path));
    const QString target = dir.filePath(QStringLiteral("baska.txt"));
    QFile aim(target);
    ASSERT_TRUE(aim.open(QIODevice::WriteOnly));
    aim.write("dokunma");
    aim.close();
    ASSERT_TRUE(QFile::link(target, backupFile(path, kToday)));
    const QString told = start(kToday);
    EXPECT_TRUE(told.contains(backupFile(path, kToday))) << told.toStdString();
    EXPECT_TRUE(QFileInfo(backupFile(path, kToday)).isSymLink());
    ASSERT_TRUE(aim.open(QIODevice::ReadOnly));
    EXPECT_EQ(aim.readAll(), QByteArray("dokunma"));
}

TEST_F(ProgramBackupTest, ADamagedPageIsReportedAtTheDaysFirstStartNamingTheNewestCopy)
{
    ASSERT_EQ(start(kToday), QString());
    damage(-3 * 4096 + 8, -2 * 4096);
    const QString told = start(kToday.addDays(1));
    const QString copy = backupFile(path, kToday);
    EXPECT_TRUE(told.startsWith(QStringLiteral("Veritabanının bakıma ihtiyacı var: bugünün yedeği denetimden geçmedi"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("En son sağlam yedek: ") + copy)) << told.toStdString();
    EXPECT_TRUE(told.contains(path + QStringLiteral("-journal dosyası varsa silin"))) << told.toStdString();
    EXPECT_FALSE(QFile::exists(backupFile(path, kToday.addDays(1)))) << "a copy that failed its check is not kept";
}

TEST_F(ProgramBackupTest, AFileTheStartRefusesAsDamagedNamesTheNewestCopy)
{
    ASSERT_EQ(start(kToday), QString());
    damage(16, 100);
    const QString refusal = start(kToday.addDays(1));
    EXPECT_TRUE(refusal.startsWith(path + QStringLiteral(": dosya bir Orvalin Kovanta veritabanı değil ya da başı bozuk.")))
        << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("En son sağlam yedek: ") + backupFile(path, kToday))) << refusal.toStdString();
}

TEST_F(ProgramBackupTest, ACopyThatCannotBeWrittenIsSaidAndTheDayGoesOn)
{
    // A file where the copies' folder should be.
    QFile blocker(backupFolder(path));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString told = start(kToday);
    EXPECT_TRUE(told.startsWith(QStringLiteral("Günlük yedek alınamadı; program çalışmaya devam ediyor"))) << told.toStdString();
}

}  // namespace

namespace {

// Left open past midnight, the program copies the new day; a second folder
// gets each day's twin while it is there, and is only said to be missing
// when it is not.
TEST_F(ProgramBackupTest, EachDayTheProgramIsOpenGetsItsCopyAndItsTwinWhereTheSecondFolderIsReachable)
{
    QTemporaryDir stick;
    const QString second = stick.filePath(QStringLiteral("yedek"));
    NoShell shell;
    Program program(dialogs, shell);
    QStringList lines;
    program.onCopyStatus = [&](const QString& text) { lines << text; };
    ASSERT_TRUE(program.start(path, kToday));
    program.secondCopyFolder = second;
    const CopyShelf twin = CopyShelf::in(second, path);

    struct Step {
        QDate day;
        bool stickIn;
        bool copied;   // the day's copy beside the database
        bool twinned;  // and in the second folder
        QString said;  // how the last status line begins
    };
    const Step steps[] = {
        {kToday, false, true, false, QStringLiteral("Günlük yedek alındı")},
        {kToday, true, true, true, QStringLiteral("Günlük yedek alındı")},
        {kToday, true, true, true, QStringLiteral("Günlük yedek alındı")},  // nothing due, nothing said
        {kToday.addDays(1), true, true, true, QStringLiteral("Günlük yedek alındı")},
        {kToday.addDays(2), false, true, false, QStringLiteral("Günlük yedek alındı")},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.day.toString(Qt::ISODate).toStdString() + (step.stickIn ? " stick in" : " stick out"));
        if (step.stickIn) QDir().mkpath(second);
        else QDir(second).removeRecursively();
        lines.clear();
        program.copyIfDue(step.day);
        program.finishCopy();
        EXPECT_EQ(QFileInfo::exists(backupFile(path, step.day)), step.copied);
        EXPECT_EQ(QFileInfo::exists(twin.file(step.day)), step.twinned);
        if (!lines.isEmpty()) EXPECT_TRUE(lines.last().startsWith(step.said)) << lines.join('|').toStdString();
        EXPECT_EQ(lines.join('|').contains(QStringLiteral("ulaşılamıyor")), !step.stickIn) << lines.join('|').toStdString();
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
    EXPECT_FALSE(program.secondFolderDoubt(stick.path()).isEmpty()) << "a folder on the database's own disk";
}

}  // namespace
