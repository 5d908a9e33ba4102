#include "common/Conversions.h"
#include "common/GridColumns.h"
#include "ScreenFixture.h"

namespace {

const QDate kDay(2021, 3, 5);

class VerilenlerTest : public ScreenFixture {
protected:
    VerilenlerTest()
    {
        payment.tarihDate.setDate(kDay);
        payment.openedFromMenu = true;
        addAccount(QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
    }

    // A payment typed into the panel: "Alacağımız", "Borcumuz", "Miktarı".
    void type(const QString& code, const QString& name, const QString& alacagimiz, const QString& borcumuz = QString(),
              const QString& miktari = QString())
    {
        payment.KoduEdit.setText(code);
        payment.AdiEdit.setText(name);
        payment.AlacagimizEdit.setText(alacagimiz);
        payment.BorcumuzEdit.setText(borcumuz);
        payment.MiktariEdit.setText(miktari);
        payment.FisNoEdit.setText(QStringLiteral("F-1"));
        payment.AciklamaEdit.setText(QStringLiteral("nakit"));
    }

    QList<QVariantMap> ledger() { return rows(QStringLiteral("SELECT * FROM SutGirisi ORDER BY SGID")); }

    // A ledger row written straight into the table.
    void addLedgerRow(const QDate& day, LedgerKind kind, const QString& code, double owed, double given)
    {
        TableCursor table(db.connection, schema::sutGirisi());
        table.open();
        table.append()
            .setField(QStringLiteral("Tarih"), day)
            .setField(QStringLiteral("Gelir_Gider"), kindCode(kind))
            .setField(QStringLiteral("Kodu"), code)
            .setField(QStringLiteral("Adi"), code)
            .setField(QStringLiteral("Gelir_Toplam_Tutar"), owed)
            .setField(QStringLiteral("Gider_Tutari"), given)
            .post();
    }

    QStringList listedCodes()
    {
        QStringList codes;
        for (int row = 0; row < payment.SutGirisiQuery.recordCount(); ++row)
            codes << payment.SutGirisiQuery.valueAt(row, QStringLiteral("Kodu")).toString();
        return codes;
    }

    // What a box of the totals bar shows.
    QString totalShown(const char* field)
    {
        return cellText(kAsAmount, payment.SutGirisiToplam.value(QString::fromLatin1(field)));
    }
};

TEST_F(VerilenlerTest, ARefusedSaveShowsWhyWritesNothingAndKeepsTheFields)
{
    const struct {
        const char* code;
        const char* name;
        const char* message;
    } refusals[] = {
        {"", "Ali Can", "Giriş için cari hesap seçin!"},
        {"K9", "Ali Can", "Girdiğiniz kod cari hesaplarda bulunamadı!"},
        {"k1", "Ali Can", "Girdiğiniz kod cari hesaplarda bulunamadı!"},
        {"K1", "ali can", "Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"},
        {"K1", "ALİ CAN", "Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"},
        {"K1", "Ali Can ", "Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"},
    };
    for (const auto& r : refusals) {
        dialogs.messages.clear();
        type(QString::fromUtf8(r.code), QString::fromUtf8(r.name), QStringLiteral("250"), QStringLiteral("10"));
        payment.SaklaButClick();
        EXPECT_EQ(dialogs.messages, QStringList{QString::fromUtf8(r.message)}) << r.code << "/" << r.name;
        EXPECT_EQ(payment.AdiEdit.text(), QString::fromUtf8(r.name));
        EXPECT_EQ(payment.AlacagimizEdit.text(), QStringLiteral("250"));
        EXPECT_TRUE(payment.correcting.isNew());
    }
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
}

TEST_F(VerilenlerTest, TheAmountsLandOnTheFieldsTheirLabelsName)
{
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("1.250,50"), QString(), QStringLiteral("3,5"));
    payment.SaklaButClick();
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QString(), QStringLiteral("40"));
    payment.correcting.clear();
    payment.SaklaButClick();

    const QList<QVariantMap> saved = ledger();
    ASSERT_EQ(saved.size(), 2);
    const QVariantMap& paid = saved[0];
    EXPECT_EQ(paid[QStringLiteral("Gelir_Gider")].toString(), QStringLiteral("O"));
    EXPECT_EQ(paid[QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-05"));
    EXPECT_EQ(paid[QStringLiteral("Kodu")].toString(), QStringLiteral("K1"));
    EXPECT_EQ(paid[QStringLiteral("Adi")].toString(), QStringLiteral("Ali Can"));
    EXPECT_DOUBLE_EQ(paid[QStringLiteral("Gider_Tutari")].toDouble(), 1250.5) << "\"Alacağımız\" is what was given";
    EXPECT_EQ(paid[QStringLiteral("Gelir_Toplam_Tutar")], QVariant(0.0)) << "an empty amount is stored as 0";
    EXPECT_DOUBLE_EQ(paid[QStringLiteral("Gider_Miktari")].toDouble(), 3.5);
    EXPECT_EQ(paid[QStringLiteral("Fis_No")].toString(), QStringLiteral("F-1"));
    EXPECT_EQ(paid[QStringLiteral("Aciklama")].toString(), QStringLiteral("nakit"));
    for (const char* milk : {"Sabah", "Aksam", "SBirim_Fiyat", "SToplam_Tutar", "Olcu_Birimi"})
        EXPECT_TRUE(paid[QString::fromLatin1(milk)].isNull()) << milk;

    const QVariantMap& owed = saved[1];
    EXPECT_DOUBLE_EQ(owed[QStringLiteral("Gelir_Toplam_Tutar")].toDouble(), 40) << "\"Borcumuz\" is what is owed";
    EXPECT_EQ(owed[QStringLiteral("Gider_Tutari")], QVariant(0.0));
    EXPECT_EQ(owed[QStringLiteral("Gider_Miktari")], QVariant(0.0));
}

// The producer's next item is a new row: a saved one is corrected only when
// it is chosen from the list, and keeps its own day.
TEST_F(VerilenlerTest, ASaveLeavesANewPanelAndARowChosenFromTheListIsCorrectedOnItsDay)
{
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("100"));
    payment.SaklaButClick();
    for (const TextField* emptied : std::initializer_list<const TextField*>{static_cast<TextField*>(&payment.KoduEdit), static_cast<TextField*>(&payment.AlacagimizEdit)})
        EXPECT_TRUE(emptied->isEmpty());
    EXPECT_TRUE(payment.correcting.isNew());
    EXPECT_EQ(payment.focusAsked, QStringLiteral("KoduEdit"));
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("425,25"));
    payment.SaklaButClick();
    ASSERT_EQ(ledger().size(), 2) << "the next item does not overwrite the last";

    payment.SutGirisiQuery.first();
    payment.Dzelt1Click();
    const QString key = QString::number(payment.correcting.get());
    EXPECT_EQ(key, ledger()[0][QStringLiteral("SGID")].toString());
    EXPECT_EQ(payment.AlacagimizEdit.text(), QStringLiteral("100,00"));
    EXPECT_EQ(payment.focusAsked, QStringLiteral("AlacagimizEdit"));
    payment.AlacagimizEdit.setText(QStringLiteral("150"));
    payment.tarihDate.setDate(QDate(2021, 4, 2));
    payment.SaklaButClick();
    ASSERT_EQ(ledger().size(), 2);
    EXPECT_DOUBLE_EQ(ledger()[0][QStringLiteral("Gider_Tutari")].toDouble(), 150);
    EXPECT_EQ(ledger()[0][QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-05"));
    EXPECT_EQ(payment.AylikSheet.text(), QStringLiteral("Nisan-2021-Aylık Yapılan Ödeme ve Diğer İşlemler"));
    EXPECT_EQ(payment.SutGirisiQuery.recordCount(), 0) << "the view shows the picker's month";

    // A row that vanished meanwhile: the save adds a new one on the picker's day.
    payment.tarihDate.setDate(kDay);
    payment.Guncelle();
    payment.SutGirisiQuery.first();
    payment.Dzelt1Click();
    TableCursor table(db.connection, schema::sutGirisi());
    table.open();
    ASSERT_TRUE(table.locate(QStringLiteral("SGID"), key.toLongLong()));
    table.deleteCurrent();
    payment.tarihDate.setDate(QDate(2021, 4, 2));
    payment.SaklaButClick();
    ASSERT_EQ(ledger().size(), 2);
    EXPECT_EQ(ledger()[1][QStringLiteral("Tarih")].toString(), QStringLiteral("2021-04-02"));
}

TEST_F(VerilenlerTest, LeavingTheCodeBoxWithAKnownCodeStartsANewEntry)
{
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("100"), QStringLiteral("5"), QStringLiteral("2"));
    payment.SaklaButClick();
    type(QStringLiteral("K1"), QStringLiteral("yazılan"), QStringLiteral("7"), QStringLiteral("5"), QStringLiteral("2"));
    payment.KoduEditExit();
    EXPECT_EQ(payment.KoduEdit.text(), QStringLiteral("K1"));
    EXPECT_EQ(payment.AdiEdit.text(), QStringLiteral("Ali Can"));
    for (const TextField* emptied : std::initializer_list<const TextField*>{&payment.AlacagimizEdit, &payment.BorcumuzEdit, &payment.MiktariEdit, &payment.FisNoEdit,
                                     &payment.AciklamaEdit})
        EXPECT_TRUE(emptied->isEmpty());
    EXPECT_TRUE(payment.correcting.isNew());
    EXPECT_EQ(payment.tarihDate.date(), kDay);

    payment.AlacagimizEdit.setText(QStringLiteral("30"));
    payment.SaklaButClick();
    EXPECT_EQ(ledger().size(), 2);

    // An unknown or empty code changes nothing.
    payment.AlacagimizEdit.setText(QStringLiteral("30"));
    for (const char* code : {"K9", ""}) {
        payment.KoduEdit.setText(QString::fromLatin1(code));
        payment.AdiEdit.setText(QStringLiteral("yazılan"));
        payment.KoduEditExit();
        EXPECT_EQ(payment.AdiEdit.text(), QStringLiteral("yazılan")) << code;
        EXPECT_EQ(payment.AlacagimizEdit.text(), QStringLiteral("30")) << code;
    }
}

TEST_F(VerilenlerTest, AnAccountDeletedElsewhereLeavesThisListAndIsRefused)
{
    payment.openFromMenu();
    ASSERT_EQ(payment.CariTanimQuery.recordCount(), 1);
    accounts.CariTanimQuery.open();
    dialogs.confirmAnswer = true;
    accounts.KaydSil1Click();
    EXPECT_EQ(payment.CariTanimQuery.recordCount(), 0) << "an open list follows the accounts";

    payment.KoduEdit.setText(QStringLiteral("K1"));
    payment.AdiEdit.setText(QStringLiteral("Ali"));
    payment.AlacagimizEdit.setText(QStringLiteral("10"));
    payment.SaklaButClick();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Girdiğiniz kod cari hesaplarda bulunamadı!")});
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
}

TEST_F(VerilenlerTest, ABoxThatIsNoNumberStoresNothingAndKeepsTheText)
{
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("1,2,3"));
    EXPECT_THROW(payment.SaklaButClick(), ConversionError);
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
    EXPECT_EQ(payment.AlacagimizEdit.text(), QStringLiteral("1,2,3"));
    EXPECT_TRUE(payment.correcting.isNew());

    // A correction that fails the same way leaves the stored row as it was.
    payment.AlacagimizEdit.setText(QStringLiteral("5"));
    payment.SaklaButClick();
    payment.SutGirisiQuery.first();
    payment.Dzelt1Click();
    payment.BorcumuzEdit.setText(QStringLiteral("x,1,1"));
    EXPECT_THROW(payment.SaklaButClick(), ConversionError);
    EXPECT_DOUBLE_EQ(ledger()[0][QStringLiteral("Gider_Tutari")].toDouble(), 5);
    EXPECT_EQ(ledger()[0][QStringLiteral("Gelir_Toplam_Tutar")], QVariant(0.0));
}

TEST_F(VerilenlerTest, TheMonthListsItsPaymentRowsFromTheFirstToTheLastDay)
{
    addLedgerRow(QDate(2021, 2, 28), LedgerKind::Payment, QStringLiteral("feb28"), 0, 1);
    addLedgerRow(QDate(2021, 3, 31), LedgerKind::Payment, QStringLiteral("mar31"), 0, 2);
    addLedgerRow(QDate(2021, 3, 1), LedgerKind::Payment, QStringLiteral("mar1"), 10, 0);
    addLedgerRow(QDate(2021, 3, 1), LedgerKind::Payment, QStringLiteral("mar1-later"), 0, 4);
    addLedgerRow(QDate(2021, 3, 10), LedgerKind::Intake, QStringLiteral("intake"), 99, 0);
    addLedgerRow(QDate(2021, 4, 1), LedgerKind::Payment, QStringLiteral("apr1"), 0, 8);

    EXPECT_EQ(payment.AylikSheet.text(), QStringLiteral("Aylık Yapılan Ödeme ve Diğer İşlemler"));
    payment.Guncelle();
    EXPECT_EQ(listedCodes(), (QStringList{QStringLiteral("mar1"), QStringLiteral("mar1-later"), QStringLiteral("mar31")}));
    EXPECT_EQ(payment.SutGirisiQuery.currentRow(), 0);
    EXPECT_EQ(payment.AylikSheet.text(), QStringLiteral("Mart-2021-Aylık Yapılan Ödeme ve Diğer İşlemler"));
    EXPECT_EQ(totalShown("Borc_Toplami"), QStringLiteral("10,00"));
    EXPECT_EQ(totalShown("Alacak_Toplami"), QStringLiteral("6,00"));
    EXPECT_EQ(totalShown("Bakiye"), QStringLiteral("4,00"));

    payment.tarihDate.setDate(QDate(2021, 2, 14));
    payment.tarihDateChange();
    EXPECT_EQ(listedCodes(), QStringList{QStringLiteral("feb28")});
    EXPECT_EQ(totalShown("Borc_Toplami"), QStringLiteral("0,00"));
    EXPECT_EQ(totalShown("Bakiye"), QStringLiteral("-1,00")) << "more given than owed shows with a minus";

    payment.tarihDate.setDate(QDate(2021, 6, 1));
    payment.tarihDateChange();
    EXPECT_EQ(payment.SutGirisiQuery.recordCount(), 0);
    EXPECT_EQ(totalShown("Borc_Toplami"), QString()) << "an empty sum shows nothing";
    EXPECT_EQ(totalShown("Alacak_Toplami"), QString());
    EXPECT_EQ(totalShown("Bakiye"), QStringLiteral("0,00"));
}

TEST_F(VerilenlerTest, ADateChangeRefreshesOnlyOnceTheMenuHasOpenedTheScreen)
{
    payment.openedFromMenu = false;
    payment.tarihDate.setDate(QDate(2021, 4, 1));
    payment.tarihDateChange();
    EXPECT_FALSE(payment.SutGirisiQuery.isOpen());
    EXPECT_EQ(payment.AylikSheet.text(), QStringLiteral("Aylık Yapılan Ödeme ve Diğer İşlemler"));

    payment.openFromMenu();
    EXPECT_TRUE(payment.openedFromMenu);
    EXPECT_TRUE(payment.window().isVisible());
    payment.tarihDate.setDate(QDate(2021, 5, 1));
    payment.tarihDateChange();
    EXPECT_EQ(payment.AylikSheet.text(), QStringLiteral("Mayıs-2021-Aylık Yapılan Ödeme ve Diğer İşlemler"));
}

TEST_F(VerilenlerTest, TheOwnListIsSearchedByNameAndPickedFrom)
{
    addAccount(QStringLiteral("K2"), QStringLiteral("Ayşe Işık"));
    addAccount(QStringLiteral("K3"), QStringLiteral("Cem Işıkçı"));
    payment.openFromMenu();
    payment.AlacagimizEdit.setText(QStringLiteral("7"));

    payment.SutcuAraEdit.setText(QStringLiteral("IŞIK"));
    payment.BulButClick();
    EXPECT_EQ(payment.CariTanimQuery.asString(QStringLiteral("Kodu")), QStringLiteral("K2"));
    payment.BulButClick();
    EXPECT_EQ(payment.CariTanimQuery.asString(QStringLiteral("Kodu")), QStringLiteral("K3"));
    payment.SutcuAraEdit.setText(QStringLiteral("yok"));
    payment.BulButClick();
    EXPECT_EQ(payment.CariTanimQuery.asString(QStringLiteral("Kodu")), QStringLiteral("K3"));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    payment.CariGridDblClick();
    EXPECT_EQ(payment.KoduEdit.text(), QStringLiteral("K3"));
    EXPECT_EQ(payment.AdiEdit.text(), QStringLiteral("Cem Işıkçı"));
    EXPECT_TRUE(payment.AlacagimizEdit.isEmpty());
}

}  // namespace
