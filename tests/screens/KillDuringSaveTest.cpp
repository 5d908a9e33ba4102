// The program killed at a random moment while it saves intakes and payments
// through their screens, a few hundred times over one file: every save the
// screen had reported done is there, whole, and the file stays sound.

#include "FakeDialogs.h"
#include "Ledger.h"
#include "screens/ScreenSet.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "store/Connection.h"
#include "store/SqlText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDate kDay(2021, 3, 5);
constexpr int kKills = 250;
// A slower machine saves less often between kills: it is killed more times
// until the kills have fallen among enough saves.
constexpr size_t kSavesAtLeast = 100;
constexpr int kKillsAtMost = 10 * kKills;

QString note(int entry)
{
    return QStringLiteral("öldürme %1").arg(entry);
}

// The child: saves entries first, first+1, ... until killed, telling the
// parent each one the screen reported done.
[[noreturn]] void saveUntilKilled(const QString& path, int first, int report)
{
    try {
        Connection connection;
        connection.open(path);
        FakeDialogs dialogs;
        ScreenSet screens(connection, dialogs);
        TSutAlimF& intake = *screens.SutAlimF;
        TVerilenlerF& payment = *screens.VerilenlerF;
        intake.tarihDate.setDate(kDay);
        payment.tarihDate.setDate(kDay);
        const char ready = 'r';
        if (::write(report, &ready, 1) != 1) ::_exit(2);
        for (int entry = first;; ++entry) {
            if (entry % 2 == 0) {
                intake.correcting.clear();
                intake.KoduEdit.setText(QStringLiteral("K1"));
                intake.AdiEdit.setText(QStringLiteral("Ali Can"));
                intake.sabahEdit.setText(QString::number(entry % 1000));
                intake.SBirimFiyatEdit.setText(QStringLiteral("1,40"));
                intake.aksamEdit.setText(QStringLiteral("2"));
                intake.AciklamaEdit.setText(note(entry));
                intake.SaklaButClick();
                if (intake.correcting.isNew() && intake.AciklamaEdit.text() == note(entry)) ::_exit(3);
            } else {
                payment.correcting.clear();
                payment.KoduEdit.setText(QStringLiteral("K1"));
                payment.AdiEdit.setText(QStringLiteral("Ali Can"));
                payment.AlacagimizEdit.setText(QString::number(entry % 1000));
                payment.BorcumuzEdit.setText(QString());
                payment.MiktariEdit.setText(QStringLiteral("1"));
                payment.FisNoEdit.setText(QStringLiteral("F"));
                payment.AciklamaEdit.setText(note(entry));
                payment.SaklaButClick();
                // A save done leaves a new, empty panel.
                if (!payment.KoduEdit.isEmpty()) ::_exit(3);
            }
            if (::write(report, &entry, sizeof entry) != sizeof entry) ::_exit(2);
        }
    } catch (...) {
        ::_exit(4);
    }
}

TEST(KillDuringSave, EverySaveReportedDoneSurvivesAKillAtAnyMoment)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
    {
        Connection connection;
        connection.createNew(path);
        addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
    }
    std::mt19937 random(13);
    std::uniform_int_distribution<int> delayUs(0, 12000);
    std::set<int> reported;
    int kill = 0, kills = 0, diedOnItsOwn = 0;
    for (; kill < kKillsAtMost && (kill < kKills || reported.size() < kSavesAtLeast); ++kill) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            saveUntilKilled(path, kill * 100000, pipeFds[1]);
        }
        ::close(pipeFds[1]);
        char ready = 0;
        const bool started = ::read(pipeFds[0], &ready, 1) == 1;
        ::usleep(useconds_t(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ++kills;
        else ++diedOnItsOwn;
        int entry = 0;
        while (::read(pipeFds[0], &entry, sizeof entry) == sizeof entry) reported.insert(entry);
        ::close(pipeFds[0]);
        ASSERT_TRUE(started) << "the child could not start, status " << status;
    }

    Connection connection;
    connection.open(path);
    const QList<QVariantMap> rows = readRows(
        connection, QStringLiteral("SELECT Aciklama, Gelir_Gider, Sabah, Aksam, Gelir_Toplam_Tutar, Gider_Tutari, Fis_No "
                                   "FROM SutGirisi"));
    std::set<int> stored;
    int halfRows = 0;
    for (const QVariantMap& row : rows) {
        const int entry = row[QStringLiteral("Aciklama")].toString().section(QLatin1Char(' '), 1).toInt();
        stored.insert(entry);
        const double amount = entry % 1000;
        const bool whole = entry % 2 == 0
                               ? row[QStringLiteral("Gelir_Gider")] == kindCode(LedgerKind::Intake) &&
                                     row[QStringLiteral("Sabah")].toDouble() == amount &&
                                     row[QStringLiteral("Aksam")].toDouble() == 2 &&
                                     row[QStringLiteral("Gelir_Toplam_Tutar")].toDouble() == amount * 1.4 + 2 * 1.4
                               : row[QStringLiteral("Gelir_Gider")] == kindCode(LedgerKind::Payment) &&
                                     row[QStringLiteral("Gider_Tutari")].toDouble() == amount &&
                                     row[QStringLiteral("Fis_No")] == QStringLiteral("F");
        if (!whole) ++halfRows;
    }
    int lost = 0;
    for (int entry : reported)
        if (!stored.count(entry)) ++lost;
    const QString integrity =
        readRows(connection, QStringLiteral("PRAGMA integrity_check")).value(0).value(QStringLiteral("integrity_check")).toString();
    std::printf("kills during saves: %d kills (%d children ended otherwise), %zu saves reported done, %zu rows, "
                "%d lost, %d half rows, integrity %s\n",
                kills, diedOnItsOwn, static_cast<size_t>(reported.size()), static_cast<size_t>(rows.size()), lost, halfRows,
                qPrintable(integrity));
    EXPECT_EQ(kills, kill);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(halfRows, 0);
    EXPECT_EQ(int(rows.size()), int(stored.size())) << "no entry stored twice";
    EXPECT_EQ(integrity, QStringLiteral("ok"));
    EXPECT_GE(reported.size(), kSavesAtLeast) << "the kills fell among saves";
}

}  // namespace
