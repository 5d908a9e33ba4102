#include "ScreenFixture.h"
#include "screens/Gecmis/Gecmis.h"
#include "store/Statement.h"
#include "store/Transaction.h"

namespace {

TEST(Gecmis, EachLineSaysInTurkishWhatBecameOfTheRowNamingOnlyWhatChanged)
{
    const QString intake = R"({"SGID":7,"Tarih":"2026-11-12","Kodu":"101","Adi":"Ahmet Yılmaz","Sabah":12,"Aksam":38.5,)"
                           R"("Aciklama":"","Gelir_Gider":"S","SBirim_Fiyat":11.25,"Gelir_Toplam_Tutar":568.125})";
    const QString account = R"({"CID":3,"Kodu":"101","Adi":"Ahmet Yılmaz","Birim_Fiyati":11.25,"Telefon":"5325550123",)"
                            R"("Koy":"Çamlık","Mevki":null})";
    const auto with = [](QString json, const QString& from, const QString& to) { return json.replace(from, to); };
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
        {"SutGirisi", ChangeKind::Correction, intake, with(with(intake, "\"Sabah\":12", "\"Sabah\":1234.5"), "\"\"", "\"kuru\""),
         "Süt Girişi", "12.11.2026 101 Ahmet Yılmaz: Sabah 12,00 → 1.234,50, Açıklama boş → kuru"},
        {"SutGirisi", ChangeKind::Deletion, intake, {}, "Süt Girişi",
         "silindi: 12.11.2026 101 Ahmet Yılmaz: Sabah 12,00, Akşam 38,50, Fiyat 11,25"},
        {"SutGirisi", ChangeKind::Correction, R"({"Tarih":"2026-11-05","Kodu":"101","Adi":"Ali","Gelir_Gider":"O","Gider_Tutari":250})",
         R"({"Tarih":"2026-11-05","Kodu":"101","Adi":"Ali","Gelir_Gider":"O","Gider_Tutari":300})", "Ödeme",
         "05.11.2026 101 Ali: Alacağımız 250,00 → 300,00"},
        {"Cariler", ChangeKind::Correction, account, with(with(account, "Ahmet Yılmaz", "Ahmet Yılmazer"), "5325550123", "0"),
         "Süt Alım Hesabı", "101 Ahmet Yılmaz: Adı Soyadı Ahmet Yılmaz → Ahmet Yılmazer, Telefon (532)555-01-23 → boş"},
        {"Cariler", ChangeKind::Restore, {}, account, "Süt Alım Hesabı",
         "geri alındı: 101 Ahmet Yılmaz: Süt Fiyatı 11,25, Telefon (532)555-01-23, Köy Çamlık"},
        {"Fabrika", ChangeKind::Correction, R"({"Tarih":"2026-12-01","Toplam_Toplanan_LT":900})",
         R"({"Tarih":"2026-12-01","Toplam_Toplanan_LT":950})", "Fabrika Teslimi",
         "01.12.2026: yalnız hesaplanan alanlar değişti"},
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
    TGecmisF& history = *screens.forms.GecmisF;

    void change(const char* zaman, const char* islem, const QVariant& before, const QVariant& after)
    {
        Statement insert(db.connection, "INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki, Sonraki) "
                                        "VALUES (?1, 'SutGirisi', 1, ?2, ?3, ?4)");
        insert.bind(1, zaman);
        insert.bind(2, islem);
        insert.bind(3, before);
        insert.bind(4, after);
        insert.run();
    }
    QList<qint64> listed()
    {
        QList<qint64> keys;
        for (int row = 0; row < history.DegisiklikQuery.recordCount(); ++row)
            keys << history.DegisiklikQuery.valueAt(row, "DID").toLongLong();
        return keys;
    }
};

TEST_F(GecmisTest, TheListIsNewestFirstOverThePeriodForAWholeCodeOrAPartOfAName)
{
    const QString ahmet = R"({"Kodu":"101","Adi":"Ahmet Yılmaz"})";
    change("2026-10-31 23:59:59", "D", ahmet, ahmet);
    change("2026-11-01 00:00:00", "S", R"({"Kodu":"102","Adi":"Şükrü Işık"})", {});
    change("2026-11-15 10:00:00", "D", R"({"Kodu":"1011","Adi":"Ayşe Kaya"})", R"({"Kodu":"1011","Adi":"Ayşe Kaya"})");
    change("2026-11-30 23:59:59", "G", {}, ahmet);
    change("2026-11-15 10:00:00", "S", R"({"Kodu":"1011","Adi":"Ayşe Kaya"})", {});
    change("2026-12-01 00:00:00", "D", R"({"Tarih":"2026-12-01"})", R"({"Tarih":"2026-12-01"})");
    struct Case {
        QDate first;
        QDate last;
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
    for (const Case& c : cases) {
        history.ilktarihDate.setDate(c.first);
        history.sontarihDate.setDate(c.last);
        history.AraEdit.setText(c.wanted);
        history.ListeleButClick();
        EXPECT_EQ(listed(), c.keys) << c.wanted;
    }
    history.ilktarihDate.setDate(QDate(2026, 11, 1));
    history.sontarihDate.setDate(QDate(2026, 11, 30));
    history.AraEdit.clear();
    history.Listele();
    EXPECT_EQ(history.Label1.text(), "01.11.2026 - 30.11.2026 arası 4 değişiklik");
    EXPECT_EQ(history.DegisiklikQuery.asString("Saat"), "30.11.2026 23:59");

    // However long the history, a search lists the newest lines only.
    Transaction many(db.connection);
    for (int i = 0; i < TGecmisF::kMostLines; ++i) change("2026-11-20 08:00:00", "D", ahmet, ahmet);
    many.commit();
    history.Listele();
    EXPECT_EQ(listed().size(), TGecmisF::kMostLines);
    EXPECT_EQ(listed().front(), 4);
    EXPECT_TRUE(history.Label1.text().contains("en yeni 500 değişiklik")) << history.Label1.text().toStdString();
}

TEST_F(GecmisTest, ADeletionIsBroughtBackUnderItsNumberAndTheOpenScreensShowIt)
{
    const QDate day(2026, 11, 12);
    addAccount("101", "Ahmet Yılmaz", 11.25);
    intakeRow(day, "101", "Ahmet Yılmaz", 12, 38.5, 11.25);
    intakeRow(day, "102", "Berk Can", 10, 10, 11);
    intake.tarihDate.setDate(day);
    intake.openFromMenu();
    const qint64 number = intake.SutGirisiQuery.value("SGID").toLongLong();
    intake.KaydSil1Click();
    ASSERT_EQ(intake.SutGirisiQuery.recordCount(), 1);
    history.openFromMenu();
    ASSERT_EQ(history.DegisiklikQuery.recordCount(), 1);

    history.GeriAlButClick();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_EQ(intake.SutGirisiQuery.recordCount(), 2) << "the day view shows it again";
    EXPECT_EQ(intake.SutGirisiQuery.valueAt(0, "SGID").toLongLong(), number);
    EXPECT_EQ(history.DegisiklikQuery.recordCount(), 2);
    EXPECT_TRUE(history.DegisiklikQuery.asString("Degisiklik").startsWith("geri alındı: 12.11.2026 101 Ahmet Yılmaz"));

    // The deletion's line again, and the restore's own line: nothing to undo.
    for (const int line : {1, 0}) {
        history.DegisiklikQuery.moveTo(line);
        history.GeriAlButClick();
    }
    EXPECT_EQ(dialogs.messages, (QStringList{TGecmisF::kSuperseded, TGecmisF::kNotADeletion}));
    EXPECT_EQ(count("SutGirisi"), 2);

    // An account brought back is listed again on the screens that list accounts.
    addAccount("103", "Cem Ak");
    accounts.openForMaintenance();
    ASSERT_TRUE(accounts.CariTanimQuery.locate("Kodu", "103"));
    accounts.KaydSil1Click();
    reread(intake.CariTanimQuery);
    ASSERT_EQ(intake.CariTanimQuery.recordCount(), 1);
    history.Listele();
    history.GeriAlButClick();
    EXPECT_EQ(accounts.CariTanimQuery.recordCount(), 2);
    EXPECT_EQ(intake.CariTanimQuery.recordCount(), 2);
}

TEST_F(GecmisTest, CtrlZOnTheIntakeScreenUndoesOnlyTheDeletionJustMade)
{
    const QDate day(2026, 11, 12);
    addAccount("101", "Ahmet Yılmaz", 11.25);
    struct Case {
        const char* name;
        std::function<void()> between;
        int rows;  // of the day after Ctrl+Z
        QStringList messages;
    };
    const Case cases[] = {
        {"right after the deletion", [] {}, 1, {}},
        {"after a save since", [&] {
             intake.KoduEdit.setText("101");
             intake.AdiEdit.setText("Ahmet Yılmaz");
             intake.sabahEdit.setText("5");
             intake.SaklaButClick();
         }, 1, {TSutAlimF::kNothingToUndo}},
        {"twice", [&] { intake.GeriAl1Click(); }, 1, {TSutAlimF::kNothingToUndo}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Statement(db.connection, "DELETE FROM SutGirisi").run();
        intakeRow(day, "101", "Ahmet Yılmaz", 12, 38.5, 11.25);
        intake.tarihDate.setDate(day);
        intake.openFromMenu();
        intake.KaydSil1Click();
        c.between();
        dialogs.messages.clear();
        intake.GeriAl1Click();
        EXPECT_EQ(intake.SutGirisiQuery.recordCount(), c.rows);
        EXPECT_EQ(dialogs.messages, c.messages);
    }
}

}  // namespace
