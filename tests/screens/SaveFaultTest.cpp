// The intake and payment saves under disk faults, at every I/O call of the
// save: a power cut, a full disk, a broken disk. What the program reported
// saved must be there after the power comes back; a fault must leave the
// entry in the boxes with a Turkish explanation, and the next save after the
// fault is gone must store it once. A correction and a deletion go with
// their row of the history: both are there, or neither.

#include "FakeDialogs.h"
#include "FaultVfs.h"
#include "Ledger.h"
#include "ReadOnly.h"
#include "screens/ScreenSet.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "store/Connection.h"
#include "store/FaultText.h"
#include "store/SqlText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>

namespace {

const QDate kDay(2021, 3, 5);

struct SaveCase {
    const char* name;
    std::function<void(ScreenSet&)> type;
    std::function<void(ScreenSet&)> save;
    std::function<QStringList(ScreenSet&)> boxes;
    std::function<QString(ScreenSet&)> key;
    // Rows with the typed note, and those of them with every typed value.
    QString marked;
    QString exact;
};

const QString kNote = QStringLiteral("kesinti denemesi");

std::vector<SaveCase> saveCases()
{
    const QString intake = QStringLiteral("'S'");
    const QString payment = QStringLiteral("'O'");
    return {
        {"intake",
         [](ScreenSet& f) {
             TSutAlimF& s = *f.SutAlimF;
             s.tarihDate.setDate(kDay);
             s.openedFromMenu = true;
             s.KoduEdit.setText(QStringLiteral("K1"));
             s.AdiEdit.setText(QStringLiteral("Ali Can"));
             s.sabahEdit.setText(QStringLiteral("12,5"));
             s.SBirimFiyatEdit.setText(QStringLiteral("1,40"));
             s.aksamEdit.setText(QStringLiteral("10"));
             s.AciklamaEdit.setText(kNote);
         },
         [](ScreenSet& f) { f.SutAlimF->SaklaButClick(); },
         [](ScreenSet& f) {
             TSutAlimF& s = *f.SutAlimF;
             return QStringList{s.KoduEdit.text(), s.AdiEdit.text(), s.sabahEdit.text(), s.SBirimFiyatEdit.text(),
                                s.aksamEdit.text(), s.AciklamaEdit.text()};
         },
         [](ScreenSet& f) { return f.SutAlimF->correcting.isNew() ? QString() : QStringLiteral("saved"); },
         QStringLiteral("SELECT count(*) AS n FROM SutGirisi WHERE Aciklama = %1").arg(QStringLiteral("'kesinti denemesi'")),
         QStringLiteral("SELECT count(*) AS n FROM SutGirisi WHERE Aciklama = %1 AND Tarih = '2021-03-05' AND "
                        "Kodu = 'K1' AND Adi = 'Ali Can' AND Gelir_Gider = %2 AND Sabah = 12.5 AND Aksam = 10 AND "
                        "SBirim_Fiyat = 1.4 AND ABirim_Fiyat = 1.4 AND Gelir_Toplam_Tutar = %3")
             .arg(QStringLiteral("'kesinti denemesi'"), intake)
             .arg(12.5 * 1.4 + 10 * 1.4, 0, 'g', 17)},
        {"payment",
         [](ScreenSet& f) {
             TVerilenlerF& s = *f.VerilenlerF;
             s.tarihDate.setDate(kDay);
             s.openedFromMenu = true;
             s.KoduEdit.setText(QStringLiteral("K1"));
             s.AdiEdit.setText(QStringLiteral("Ali Can"));
             s.AlacagimizEdit.setText(QStringLiteral("1.250,50"));
             s.BorcumuzEdit.setText(QStringLiteral("40"));
             s.MiktariEdit.setText(QStringLiteral("3,5"));
             s.FisNoEdit.setText(QStringLiteral("F-7"));
             s.AciklamaEdit.setText(kNote);
         },
         [](ScreenSet& f) { f.VerilenlerF->SaklaButClick(); },
         [](ScreenSet& f) {
             TVerilenlerF& s = *f.VerilenlerF;
             return QStringList{s.KoduEdit.text(),    s.AdiEdit.text(),  s.AlacagimizEdit.text(),     s.BorcumuzEdit.text(),
                                s.MiktariEdit.text(), s.FisNoEdit.text(), s.AciklamaEdit.text()};
         },
         // Done: the row's key kept while a rebuilding failed, or a new, empty panel.
         [](ScreenSet& f) {
             return f.VerilenlerF->KoduEdit.isEmpty() || !f.VerilenlerF->correcting.isNew() ? QStringLiteral("saved") : QString();
         },
         QStringLiteral("SELECT count(*) AS n FROM SutGirisi WHERE Aciklama = %1").arg(QStringLiteral("'kesinti denemesi'")),
         QStringLiteral("SELECT count(*) AS n FROM SutGirisi WHERE Aciklama = %1 AND Tarih = '2021-03-05' AND "
                        "Kodu = 'K1' AND Adi = 'Ali Can' AND Gelir_Gider = %2 AND Gider_Tutari = 1250.5 AND "
                        "Gelir_Toplam_Tutar = 40 AND Gider_Miktari = 3.5 AND Fis_No = 'F-7'")
             .arg(QStringLiteral("'kesinti denemesi'"), payment)},
        {"intake correction",
         [](ScreenSet& f) {
             saveCases()[0].type(f);
             f.SutAlimF->correcting.set(1);
             f.SutAlimF->sonSilme = -1;  // a save clears it as soon as its post is done
         },
         [](ScreenSet& f) { f.SutAlimF->SaklaButClick(); }, [](ScreenSet& f) { return saveCases()[0].boxes(f); },
         [](ScreenSet& f) { return f.SutAlimF->sonSilme == 0 ? QStringLiteral("saved") : QString(); },
         QStringLiteral("SELECT max((SELECT count(*) FROM Degisiklikler), (SELECT count(*) FROM SutGirisi WHERE Aciklama = "
                        "'kesinti denemesi')) AS n"),
         QStringLiteral("SELECT count(*) AS n FROM SutGirisi WHERE SGID = 1 AND Aciklama = 'kesinti denemesi' AND Sabah = 12.5 "
                        "AND (SELECT count(*) FROM Degisiklikler WHERE Kayit_No = 1 AND Islem = 'D' AND "
                        "json_extract(Onceki, '$.Sabah') = 3 AND json_extract(Sonraki, '$.Sabah') = 12.5) = 1")},
        {"intake deletion",
         [](ScreenSet& f) {
             f.SutAlimF->tarihDate.setDate(kDay);
             f.SutAlimF->GuncelleGunluk();
         },
         [](ScreenSet& f) { f.SutAlimF->KaydSil1Click(); }, [](ScreenSet&) { return QStringList(); },
         [](ScreenSet& f) { return f.SutAlimF->sonSilme ? QStringLiteral("deleted") : QString(); },
         QStringLiteral("SELECT max((SELECT count(*) FROM Degisiklikler), (SELECT count(*) = 0 FROM SutGirisi WHERE SGID = 1)) AS n"),
         QStringLiteral("SELECT count(*) AS n FROM Degisiklikler WHERE Kayit_No = 1 AND Islem = 'S' AND json_extract(Onceki, "
                        "'$.Sabah') = 3 AND NOT EXISTS (SELECT 1 FROM SutGirisi WHERE SGID = 1)")},
    };
}

int countOf(Connection& connection, const QString& sql)
{
    return readRows(connection, sql).value(0).value(QStringLiteral("n")).toInt();
}

QString integrity(Connection& connection)
{
    return readRows(connection, QStringLiteral("PRAGMA integrity_check")).value(0).value(QStringLiteral("integrity_check")).toString();
}

// A ledger with one producer and a few earlier rows, copied for every run.
class SaveFaultTest : public ::testing::Test {
protected:
    SaveFaultTest()
    {
        Connection connection;
        connection.createNew(templatePath());
        addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
        addIntakeRow(connection, kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), 3, 4, 1.4);
        addPaymentRow(connection, kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), 0, 100);
    }
    ~SaveFaultTest() override
    {
        faultVfs().disarm();
        setEngineFileLayer(nullptr);
    }

    QString templatePath() const { return dir_.filePath(QStringLiteral("template/Kovanta.mdb")); }

    struct Run {
        int calls = 0;
        bool struck = false;
        bool reported = false;
        bool threw = false;
        int code = 0;
        QString text;
        bool boxesKept = true;
        bool retryThrew = false;
        int marked = 0;
        int exact = 0;
        QString integrity;
    };

    // Types the entry, saves it with the fault from call at (0: none), and
    // for a full or broken disk saves again once the fault is gone; then
    // looks at the file as the next start would find it.
    Run run(const SaveCase& c, FaultVfs::Mode mode, int at)
    {
        const QString folder = dir_.filePath(QStringLiteral("run%1").arg(++runs_));
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Kovanta.mdb");
        QFile::copy(templatePath(), path);
        faultVfs().track(folder);
        setEngineFileLayer(kFaultVfs);
        Run r;
        {
            Connection connection;
            connection.open(path);
            FakeDialogs dialogs;
            ScreenSet screens(connection, dialogs);
            c.type(screens);
            const QStringList typed = c.boxes(screens);
            faultVfs().arm(mode, at);
            try {
                c.save(screens);
            } catch (const DatabaseError& error) {
                r.threw = true;
                r.code = error.code();
                r.text = QString::fromUtf8(error.what());
            }
            r.calls = faultVfs().calls();
            r.struck = faultVfs().struck();
            r.reported = !c.key(screens).isEmpty();
            r.boxesKept = c.boxes(screens) == typed;
            faultVfs().disarm();
            if (mode != FaultVfs::Mode::PowerCut && r.threw) {
                try {
                    c.save(screens);
                } catch (const DatabaseError& error) {
                    r.retryThrew = true;
                    r.text += QStringLiteral(" / then: ") + QString::fromUtf8(error.what());
                }
            }
        }
        setEngineFileLayer(nullptr);
        if (mode == FaultVfs::Mode::PowerCut) faultVfs().applyPowerCut();
        Connection after;
        after.open(path);
        r.integrity = integrity(after);
        r.marked = countOf(after, c.marked);
        r.exact = countOf(after, c.exact);
        return r;
    }

    QTemporaryDir dir_;
    int runs_ = 0;
};

TEST_F(SaveFaultTest, APowerCutAtAnyCallOfASaveKeepsEverySaveReportedDone)
{
    for (const SaveCase& c : saveCases()) {
        SCOPED_TRACE(c.name);
        const Run clean = run(c, FaultVfs::Mode::Count, 0);
        ASSERT_FALSE(clean.threw) << clean.text.toStdString();
        ASSERT_EQ(clean.exact, 1);
        ASSERT_GT(clean.calls, 10);
        int reported = 0, lost = 0, halfRows = 0, unsound = 0;
        for (int at = 1; at <= clean.calls; ++at) {
            const Run r = run(c, FaultVfs::Mode::PowerCut, at);
            ASSERT_TRUE(r.struck) << at;
            if (r.reported) ++reported;
            if (r.reported && r.exact != 1) ++lost;
            if (r.marked != r.exact || r.exact > 1) ++halfRows;
            if (r.integrity != QStringLiteral("ok")) ++unsound;
            EXPECT_TRUE(r.reported || r.threw) << "a cut save must not pass silently, call " << at;
            if (r.threw) {
                EXPECT_TRUE(r.boxesKept) << at;
            }
        }
        std::printf("power cut, %s: %d runs (one per I/O call), %d reported saved, %d lost, %d half rows, "
                    "%d integrity failures\n",
                    c.name, clean.calls, reported, lost, halfRows, unsound);
        EXPECT_EQ(lost, 0);
        EXPECT_EQ(halfRows, 0);
        EXPECT_EQ(unsound, 0);
        EXPECT_GT(reported, 0) << "cuts after the commit were modelled";
        EXPECT_LT(reported, clean.calls) << "cuts before the commit were modelled";
    }
}

TEST_F(SaveFaultTest, AFullOrBrokenDiskAtAnyCallKeepsTheEntryAndTheNextSaveStoresItOnce)
{
    for (const SaveCase& c : saveCases()) {
        SCOPED_TRACE(c.name);
        const int calls = run(c, FaultVfs::Mode::Count, 0).calls;
        for (const FaultVfs::Mode mode : {FaultVfs::Mode::DiskFull, FaultVfs::Mode::IoError}) {
            const char* kind = mode == FaultVfs::Mode::DiskFull ? "disk full" : "I/O error";
            int faults = 0, kept = 0, lost = 0;
            for (int at = 1; at <= calls; ++at) {
                const Run r = run(c, mode, at);
                SCOPED_TRACE(std::string(kind) + " from call " + std::to_string(at));
                if (!r.threw) {
                    // A full disk only hurts writes; from this call on there were none.
                    EXPECT_EQ(mode, FaultVfs::Mode::DiskFull);
                    EXPECT_EQ(r.exact, 1);
                    continue;
                }
                ++faults;
                const QString sentence = faultSentence(r.code);
                EXPECT_FALSE(sentence.isEmpty()) << r.code << " " << r.text.toStdString();
                EXPECT_TRUE(r.text.startsWith(sentence + QStringLiteral("\n\n"))) << r.text.toStdString();
                if (mode == FaultVfs::Mode::DiskFull) {
                    EXPECT_TRUE(r.text.startsWith(QStringLiteral("Diskte yer kalmadı")));
                }
                EXPECT_TRUE(r.boxesKept);
                if (r.boxesKept) ++kept;
                EXPECT_FALSE(r.retryThrew) << r.text.toStdString();
                EXPECT_EQ(r.exact, 1) << "stored once after the fault";
                EXPECT_EQ(r.marked, 1);
                EXPECT_EQ(r.integrity, QStringLiteral("ok"));
                if (r.exact != 1) ++lost;
            }
            std::printf("%s, %s: %d runs (one per I/O call), %d faults shown, %d entries kept, %d lost\n", kind,
                        c.name, calls, faults, kept, lost);
            EXPECT_GT(faults, 0);
        }
    }
}

}  // namespace

namespace {

// Faults that come while the program runs, on real files: the save says in
// Turkish what happened, the entry stays, and once the fault is gone the
// next save stores it once.
TEST(SaveFault, AFolderMadeReadOnlyOrALockHeldTooLongKeepsTheEntryForTheNextSave)
{
    struct Case {
        const char* name;
        std::function<void(const QString& path)> on;
        std::function<void(const QString& path)> off;
        const char* expected;
    };
    sqlite3* other = nullptr;
    const Case cases[] = {
        {"folder made read-only", [](const QString& p) { ASSERT_TRUE(makeReadOnly(QFileInfo(p).absolutePath(), true)); },
         [](const QString& p) { makeReadOnly(QFileInfo(p).absolutePath(), false); }, "salt okunur"},
        {"lock held by another program",
         [&](const QString& p) {
             ASSERT_EQ(sqlite3_open(QFile::encodeName(p).constData(), &other), SQLITE_OK);
             ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
         },
         [&](const QString&) {
             sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
             sqlite3_close(other);
         },
         "başka bir program uzun süredir kilitli tutuyor"},
    };
    const std::vector<SaveCase> all = saveCases();
    const SaveCase& c = all[0];
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
        Connection connection;
        connection.createNew(path);
        addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
        FakeDialogs dialogs;
        ScreenSet screens(connection, dialogs);
        c.type(screens);
        const QStringList typed = c.boxes(screens);

        fault.on(path);
        std::string text = "no error";
        try {
            c.save(screens);
        } catch (const DatabaseError& error) {
            text = error.what();
        }
        fault.off(path);
        EXPECT_NE(text.find(fault.expected), std::string::npos) << text;
        EXPECT_NE(text.find("\n\n"), std::string::npos) << "the engine's text follows: " << text;
        EXPECT_EQ(c.boxes(screens), typed);
        EXPECT_EQ(countOf(connection, c.exact), 0);

        EXPECT_NO_THROW(c.save(screens));
        EXPECT_EQ(countOf(connection, c.exact), 1);
    }
}

}  // namespace
