// The start's daily copy and what the collector is told when the file is
// damaged.

#include "app/Program.h"
#include "FakeDialogs.h"
#include "Ledger.h"
#include "store/Backup.h"
#include "store/LedgerIdentity.h"

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
// gets each day's twin while it is there and on another disk, and is only
// said to be missing, or on the database's own disk (a stick taken out
// leaves its mount folder there), when it is.
TEST_F(ProgramBackupTest, EachDayTheProgramIsOpenGetsItsCopyAndItsTwinWhereTheSecondFolderIsReachable)
{
    // Another disk than the database's temporary folder.
    QTemporaryDir stick(QStringLiteral("/dev/shm/kovanta-XXXXXX"));
    const QString second = stick.filePath(QStringLiteral("yedek"));
    const QString ownDisk = dir.filePath(QStringLiteral("bellek"));
    NoShell shell;
    Program program(dialogs, shell);
    QStringList lines;
    program.onCopyStatus = [&](const QString& text) { lines << text; };
    ASSERT_TRUE(program.start(path, kToday));
    if (!program.secondFolderDoubt(stick.path()).isEmpty()) GTEST_SKIP() << "no second disk here";

    enum class Stick { In, Out, OnOwnDisk };
    struct Step {
        QDate day;
        Stick stick;
        bool twinned;   // the day's copy also in the second folder
        const char* said;  // what the status line says about it, if anything
    };
    const Step steps[] = {
        {kToday, Stick::Out, false, "ulaşılamıyor"},
        {kToday, Stick::In, true, "kopyası"},
        {kToday, Stick::In, true, nullptr},  // nothing due, nothing said
        {kToday.addDays(1), Stick::OnOwnDisk, false, "aynı diskte"},
        {kToday.addDays(1), Stick::In, true, "kopyası"},
        {kToday.addDays(2), Stick::Out, false, "ulaşılamıyor"},
    };
    QDir().mkpath(ownDisk);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.day.toString(Qt::ISODate).toStdString() + " stick " + std::to_string(int(step.stick)));
        if (step.stick == Stick::In) QDir().mkpath(second);
        if (step.stick == Stick::Out) QDir(second).removeRecursively();
        program.secondCopyFolder = step.stick == Stick::OnOwnDisk ? ownDisk : second;
        lines.clear();
        program.copyIfDue(step.day);
        program.finishCopy();
        EXPECT_TRUE(QFileInfo::exists(backupFile(path, step.day)));
        const CopyShelf twin = CopyShelf::second(program.secondCopyFolder, path, fileIdentity(path));
        EXPECT_EQ(QFileInfo::exists(twin.file(step.day)), step.twinned);
        if (step.said) EXPECT_TRUE(lines.join('|').contains(QString::fromUtf8(step.said))) << lines.join('|').toStdString();
        else EXPECT_FALSE(lines.join('|').contains(QStringLiteral("kopyası"))) << lines.join('|').toStdString();
    }
    EXPECT_TRUE(QDir(ownDisk).isEmpty()) << "nothing written on the database's own disk";
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
}

// The copies' room is said only when the disk has less than twice the
// ledger's size free.
TEST(CopiesRoom, IsSaidWhenTheNextCopyMayNotFit)
{
    constexpr qint64 mb = 1 << 20;
    const struct {
        qint64 free, ledger, copies;
        const char* said;
    } cases[] = {
        {1000 * mb, 330 * mb, 8000 * mb, ""},
        {660 * mb, 330 * mb, 8000 * mb, ""},
        {659 * mb, 330 * mb, 8580 * mb, "Diskte 659 MB boş yer kaldı, yedekler 8.580 MB yer kaplıyor."},
        {0, 1 * mb, 3 * mb, "Diskte 0 MB boş yer kaldı, yedekler 3 MB yer kaplıyor."},
        {-1, 330 * mb, 0, ""},  // the disk could not be asked
    };
    for (const auto& c : cases) EXPECT_EQ(copiesRoomNote(c.free, c.ledger, c.copies), QString::fromUtf8(c.said)) << c.free;
}

}  // namespace
