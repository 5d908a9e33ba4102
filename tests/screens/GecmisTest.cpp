#include "ScreenFixture.h"
#include "screens/Gecmis/Gecmis.h"
#include "store/Statement.h"

namespace {

TEST(Gecmis, EachLineSaysInTurkishWhatBecameOfTheRowNamingOnlyWhatChanged)
{
    const QString intake = R"({"SGID":7,"Tarih":"2026-11-12","Kodu":"101","Adi":"Ahmet Yılmaz","Sabah":12,"Aksam":38.5,)"
                           R"("Aciklama":"","Gelir_Gider":"S","SBirim_Fiyat":11.25,"Gelir_Toplam_Tutar":568.125})";
    const QString account = R"({"CID":3,"Kodu":"101","Adi":"Ahmet Yılmaz","Birim_Fiyati":11.25,"Telefon":"5325550123",)"
                            R"("Koy":"Çamlık","Mevki":null})";
    const auto with = [](QString json, const QString& from, const QString& to) { return json.replace(from, to); };
    const QString payment = R"({"Tarih":"2026-11-05","Kodu":"101","Adi":"Ali","Gelir_Gider":"O","Gider_Tutari":250})";
    struct Case {
        const char* table;
        ChangeKind kind;
        QString before;
        QString after;
        const char* record;
        const char* text;
    };
    const Case cases[] = {
        {"SutGirisi", ChangeKind::Correction, intake, with(with(intake, "38.5", "36.5"), "568.125", "545.625"), "Süt Girişi",
         "12.11.2026 101 Ahmet Yılmaz: Akşam 38,50 → 36,50"},
        {"SutGirisi", ChangeKind::Deletion, intake, {}, "Süt Girişi",
         "silindi: 12.11.2026 101 Ahmet Yılmaz: Sabah 12,00, Akşam 38,50, Fiyat 11,25"},
        {"SutGirisi", ChangeKind::Correction, payment, with(payment, "250", "300"), "Ödeme",
         "05.11.2026 101 Ali: Alacağımız 250,00 → 300,00"},
        {"Cariler", ChangeKind::Correction, account, with(with(account, "Ahmet Yılmaz", "Ahmet Yılmazer"), "5325550123", "0"),
         "Süt Alım Hesabı", "101 Ahmet Yılmaz: Adı Soyadı Ahmet Yılmaz → Ahmet Yılmazer, Telefon (532)555-01-23 → boş"},
        {"Cariler", ChangeKind::Restore, {}, account, "Süt Alım Hesabı",
         "geri alındı: 101 Ahmet Yılmaz: Süt Fiyatı 11,25, Telefon (532)555-01-23, Köy Çamlık"},
        {"Fabrika", ChangeKind::Correction, R"({"Tarih":"2026-12-01","Toplam_Toplanan_LT":900})",
         R"({"Tarih":"2026-12-01","Toplam_Toplanan_LT":950})", "Fabrika Teslimi", "01.12.2026: yalnız hesaplanan alanlar değişti"},
        {"Fabrika_Cari", ChangeKind::Correction, R"({"Birim_Fiyat":11})", R"({"Birim_Fiyat":12.5})", "Fabrika Fiyatı",
         "Fiyat 11,00 → 12,50"},
    };
    for (const Case& c : cases) {
        const TGecmisF::Line line = TGecmisF::describe(c.table, c.kind, c.before, c.after);
        EXPECT_EQ(line.record, QString::fromUtf8(c.record)) << c.text;
        EXPECT_EQ(line.text, QString::fromUtf8(c.text));
    }
}

class GecmisTest : public ScreenFixture {
protected:
    TGecmisF& history = *screens.GecmisF;
};

TEST_F(GecmisTest, TheListIsNewestFirstOverThePeriodForAWholeCodeOrAPartOfAName)
{
    Statement(db.connection, R"(INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki, Sonraki) VALUES
        ('2026-10-31 23:59:59', 'SutGirisi', 1, 'D', '{"Kodu":"101","Adi":"Ahmet Yılmaz"}', '{}'),
        ('2026-11-01 00:00:00', 'SutGirisi', 2, 'S', '{"Kodu":"102","Adi":"Şükrü Işık"}', NULL),
        ('2026-11-15 10:00:00', 'SutGirisi', 3, 'D', '{"Kodu":"1011","Adi":"Ayşe Kaya"}', '{}'),
        ('2026-11-30 23:59:59', 'SutGirisi', 1, 'G', NULL, '{"Kodu":"101","Adi":"Ahmet Yılmaz"}'),
        ('2026-11-15 10:00:00', 'SutGirisi', 3, 'S', '{"Kodu":"1011","Adi":"Ayşe Kaya"}', NULL),
        ('2026-12-01 00:00:00', 'Fabrika', 1, 'D', '{"Tarih":"2026-12-01"}', '{}'))").run();
    struct Case {
        QDate first, last;
        const char* wanted;
        QList<qint64> keys;
    };
    const Case cases[] = {
        {QDate(2026, 11, 1), QDate(2026, 11, 30), "", {4, 5, 3, 2}},
        {QDate(2026, 10, 1), QDate(2026, 12, 31), " 101 ", {4, 1}},
        {QDate(2026, 10, 1), QDate(2026, 12, 31), "IŞIK", {2}},
        {QDate(2026, 10, 1), QDate(2026, 12, 31), "yılmaz", {4, 1}},
        {QDate(2026, 12, 2), QDate(2026, 12, 1), "", {}},
    };
    const auto listed = [&] {
        QList<qint64> keys;
        for (int row = 0; row < history.DegisiklikQuery.recordCount(); ++row)
            keys << history.DegisiklikQuery.valueAt(row, "DID").toLongLong();
        return keys;
    };
    for (const Case& c : cases) {
        history.ilktarihDate.setDate(c.first);
        history.sontarihDate.setDate(c.last);
        history.AraEdit.setText(c.wanted);
        history.ListeleButClick();
        EXPECT_EQ(listed(), c.keys) << c.wanted;
    }

    // However long the history, a search lists the newest lines only.
    Statement(db.connection, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 600) INSERT INTO "
                             "Degisiklikler (Zaman, Islem) SELECT '2026-11-02 08:00:00', 'D' FROM n").run();
    history.ilktarihDate.setDate(QDate(2026, 11, 1));
    history.sontarihDate.setDate(QDate(2026, 11, 30));
    history.AraEdit.clear();
    history.Listele();
    EXPECT_EQ(listed().size(), TGecmisF::kMostLines);
    EXPECT_EQ(listed().mid(0, 3), (QList<qint64>{4, 5, 3}));
    EXPECT_TRUE(history.Label1.text().contains("en yeni 500 değişiklik")) << history.Label1.text().toStdString();
    EXPECT_EQ(history.DegisiklikQuery.asString("Saat"), "30.11.2026 23:59");
}

TEST_F(GecmisTest, ADeletionComesBackUnderItsNumberOnlyWhileItIsTheRowsLastChange)
{
    const QDate day(2026, 11, 12);
    addAccount("101", "Ahmet Yılmaz", 11.25);
    addAccount("102", "Berk Can", 11);
    intake.tarihDate.setDate(day);
    const auto geriAl = [&](int line) {
        history.openFromMenu();
        history.DegisiklikQuery.moveTo(line);
        history.GeriAlButClick();
    };
    const auto refusal = [](Ledger::RestoreOutcome outcome) {
        Ledger::Restore restore;
        restore.outcome = outcome;
        return Ledger::restoreRefusal(restore);
    };
    struct Case {
        const char* name;
        std::function<void()> undo;
        bool back;
        QStringList messages;
    };
    const Case cases[] = {
        {"Geri Al on the deletion's line", [&] { geriAl(0); }, true, {}},
        {"Ctrl+Z after a save",
         [&] {
             intake.KoduEdit.setText("102");
             intake.AdiEdit.setText("Berk Can");
             intake.sabahEdit.setText("5");
             intake.SaklaButClick();
             intake.GeriAl1Click();
         },
         false, {TSutAlimF::kNothingToUndo}},
        {"Geri Al on it once back", [&] { geriAl(0); geriAl(1); }, true, {refusal(Ledger::RestoreOutcome::Superseded)}},
        {"Geri Al on a correction's line",
         [&] { intake.Dzelt1Click(); intake.sabahEdit.setText("11"); intake.SaklaButClick(); geriAl(0); }, false,
         {refusal(Ledger::RestoreOutcome::NotADeletion)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Statement(db.connection, "DELETE FROM SutGirisi").run();
        intakeRow(day, "101", "Ahmet Yılmaz", 12, 38.5, 11.25);
        intakeRow(day, "102", "Berk Can", 10, 10, 11);
        intake.openFromMenu();
        const QString number = intake.SutGirisiQuery.asString("SGID");
        intake.KaydSil1Click();
        dialogs.messages.clear();
        c.undo();
        EXPECT_EQ(dialogs.messages, c.messages);
        EXPECT_EQ(intake.SutGirisiQuery.locate("SGID", number.toLongLong()), c.back) << "seen again in the day view";
    }
}

// Geri Al through either window keeps the rules a save keeps: a refusal
// names what is in the way and leaves every table as it was.
class GecmisRulesTest : public GecmisTest {
protected:
    const QDate day{2026, 11, 12};
    Ledger& ledger = screens.ledger;

    void clearLedger()
    {
        for (const schema::Table& table : schema::tables())
            Statement(db.connection, QStringLiteral("DELETE FROM ") + QString::fromLatin1(table.name)).run();
        dialogs.messages.clear();
    }
    qint64 lastDeletion(const char* table)
    {
        return rows(QStringLiteral("SELECT MAX(DID) AS d FROM Degisiklikler WHERE Islem = 'S' AND Tablo = '%1'").arg(table))[0]["d"].toLongLong();
    }
    // The history window's Geri Al on the line of that change.
    void geriAl(qint64 change)
    {
        history.openFromMenu();
        ASSERT_TRUE(history.DegisiklikQuery.locate("DID", change));
        history.GeriAlButClick();
    }
    // The intake list's deletion of the code's row on the day, as Ctrl+Z would take it back.
    void deleteIntakeRow(const QString& code)
    {
        intake.tarihDate.setDate(day);
        intake.openFromMenu();
        ASSERT_TRUE(intake.SutGirisiQuery.locate("Kodu", code));
        intake.KaydSil1Click();
    }
    // A new account with a row on the day, the row deleted; the account's key.
    qint64 deletedRowOf(const QString& code, const QString& name)
    {
        const qint64 cid = addAccount(code, name);
        intakeRow(day, code, name, 12, 8, 11);
        deleteIntakeRow(code);
        return cid;
    }
};

TEST_F(GecmisRulesTest, ARestoreThatASaveWouldRefuseIsRefusedWithItsReasonAndChangesNothing)
{
    const auto ctrlZ = [&] { intake.GeriAl1Click(); };
    const auto fromHistory = [&] { geriAl(lastDeletion("SutGirisi")); };
    struct Case {
        const char* name;
        std::function<void()> setUp;  // ends just before the Geri Al
        std::function<void()> undo;
        const char* said;
    };
    const Case cases[] = {
        {"an account whose code a new account took, from the history",
         [&] { ledger.deleteAccount(addAccount("101", "Ahmet Yılmaz")), addAccount("101", "Mehmet Kaya"); },
         [&] { geriAl(lastDeletion("Cariler")); }, "101 Ahmet Yılmaz hesabı geri alınamaz: 101 kodu şimdi Mehmet Kaya hesabının"},
        {"an intake row whose account was deleted since, by Ctrl+Z", [&] { ledger.deleteAccount(deletedRowOf("102", "Berk Can")); },
         ctrlZ, "102 kodlu hesap (Berk Can) artık yok"},
        {"an intake row whose code now names another account, from the history",
         [&] { ledger.deleteAccount(deletedRowOf("102", "Berk Can")), addAccount("102", "Zeynep Ak"); }, fromHistory,
         "102 kodu şimdi Zeynep Ak hesabının, kayıt ise Berk Can adına"},
        {"an intake row whose account was renamed since, by Ctrl+Z",
         [&] {
             Account renamed = *ledger.accountByKey(deletedRowOf("103", "Cem Er"));
             renamed.adi = "Cem Eren";
             ledger.saveAccount(renamed);
         },
         ctrlZ, "103 kodu şimdi Cem Eren hesabının, kayıt ise Cem Er adına"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearLedger();
        c.setUp();
        dialogs.messages.clear();
        const auto before = everyRow(db.connection);
        c.undo();
        EXPECT_EQ(everyRow(db.connection), before);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8(c.said))) << dialogs.messages[0].toStdString();
        EXPECT_TRUE(dialogs.messages[0].endsWith("Hiçbir şey değiştirilmedi.")) << dialogs.messages[0].toStdString();
    }
}

TEST_F(GecmisRulesTest, ADamagedHistoryRowIsRefusedNamingItsNumberAndWhatIsWrongAndNothingIsWritten)
{
    const auto set = [](const char* field, const char* value) {
        return QStringLiteral("UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.%1', %2) WHERE DID = ?1").arg(field, value);
    };
    const QString key = "UPDATE Degisiklikler SET Kayit_No = %1 WHERE DID = ?1";
    const QString inUse = "(SELECT MAX(SGID) FROM SutGirisi)";
    struct Case {
        QString damage;  // ?1 the deletion's DID
        const char* flaw;  // empty: the row comes back; {number}: the history row's Kayit_No, {key}: the other row's
    };
    const Case cases[] = {
        {set("Aciklama", "'as kept'"), ""},
        {"UPDATE Degisiklikler SET Onceki = '{\"SGID\": 1,' WHERE DID = ?1", "kaydın önceki hâli (Onceki) okunamıyor"},
        {set("Sabah", "'abc'"), "'Sabah' alanı sayı değil"},
        {set("Gelir_Toplam_Tutar", "1e308"), "'Gelir_Toplam_Tutar' alanı sınırların dışında"},
        {"UPDATE Degisiklikler SET Onceki = json_remove(Onceki, '$.Aksam') WHERE DID = ?1", "'Aksam' alanı yok"},
        {set("Tarih", "'2026-02-30'"), "'Tarih' alanı geçerli bir gün (YYYY-AA-GG) değil"},
        {set("Tarih", "null"), "'Tarih' alanı geçerli bir gün (YYYY-AA-GG) değil"},
        {set("Kodu", "101"), "'Kodu' alanı metin değil"},
        {set("VerilenID", "1.5"), "'VerilenID' alanı tam sayı değil"},
        {set("Gelir_Gider", "'X'"), "'Gelir_Gider' alanı 'S' ya da 'O' değil"},
        {key.arg("''"), "'Kayit_No' alanı pozitif bir tam sayı değil"},
        {key.arg("Kayit_No + 100"), "'SGID' alanı kaydın numarası ({number}) değil"},
        {"UPDATE Degisiklikler SET Tablo = 'Degisiklikler' WHERE DID = ?1", "'Tablo' alanı kaydedilen bir tablo değil"},
        {QStringLiteral("UPDATE Degisiklikler SET Kayit_No = %1, Onceki = json_set(Onceki, '$.SGID', %1) WHERE DID = ?1").arg(inUse),
         "{key} numaralı kayıt zaten var"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage.toStdString());
        clearLedger();
        addAccount("101", "Ahmet Yılmaz");
        intakeRow(day, "101", "Ahmet Yılmaz", 12, 8, 11);
        intakeRow(day.addDays(1), "101", "Ahmet Yılmaz", 10, 9, 11);
        deleteIntakeRow("101");
        const qint64 change = lastDeletion("SutGirisi");
        Statement damage(db.connection, c.damage);
        damage.bind(1, change);
        damage.run();
        const QString named = rows("SELECT Kayit_No AS k FROM Degisiklikler WHERE DID = " + QString::number(change))[0]["k"].toString();
        const QString other = rows("SELECT MAX(SGID) AS k FROM SutGirisi")[0]["k"].toString();
        dialogs.messages.clear();
        const auto before = everyRow(db.connection);
        geriAl(change);
        if (*c.flaw == 0) {
            EXPECT_EQ(dialogs.messages, QStringList());
            EXPECT_EQ(count("SutGirisi"), 2);
            continue;
        }
        EXPECT_EQ(everyRow(db.connection), before);
        const QString flaw = QString::fromUtf8(c.flaw).replace("{number}", named).replace("{key}", other);
        EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Geçmişin %1 numaralı satırı geri alınamaz, satır bozuk: %2. "
                                                               "Hiçbir şey değiştirilmedi.").arg(change).arg(flaw)});
    }
}

}  // namespace
