#include "ScreenFixture.h"

#include <QDateTime>

#include <algorithm>

namespace {

class CariTest : public ScreenFixture {
protected:
    // Types an account into the panel as the user would.
    void fill(const QString& code, const QString& name, const QString& price = QString())
    {
        accounts.KoduEdit.setText(code);
        accounts.AdiEdit.setText(name);
        accounts.BirimFiyatEdit.setText(price);
    }

    QVariantMap account(const QString& code)
    {
        const auto found = rows(QStringLiteral("SELECT * FROM Cariler WHERE Kodu='%1'").arg(code));
        return found.isEmpty() ? QVariantMap() : found[0];
    }

    void selectInList(const QString& code) { ASSERT_TRUE(accounts.CariTanimQuery.locate(QStringLiteral("Kodu"), code)); }
};

TEST_F(CariTest, ARefusedSaveShowsWhyWritesNothingAndKeepsTheFields)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Can"));
    const struct {
        const char* code;
        const char* name;
        const char* message;  // nullptr: a message of its own, saying why
    } refusals[] = {
        {"", "Veli", "Süt Alım Hesabı girişi için kod girmelisiniz! Kodu girip kayıt edin."},
        {"K1", "Veli", "Girdiğiniz kod başka Süt Alım Hesapta kullanılmıştır! Kodu değiştirip kayıt edin."},
        {"K2", "", nullptr},
        {"K2", "   ", nullptr},
    };
    for (const auto& r : refusals) {
        dialogs.messages.clear();
        fill(QString::fromUtf8(r.code), QString::fromUtf8(r.name), QStringLiteral("12,50"));
        accounts.AciklamaEdit.setText(QStringLiteral("not"));
        accounts.KaydetButClick();
        ASSERT_EQ(dialogs.messages.size(), 1) << r.code << "/" << r.name;
        if (r.message) {
            EXPECT_EQ(dialogs.messages[0], QString::fromUtf8(r.message));
        }
        EXPECT_EQ(count(QStringLiteral("Cariler")), 1) << r.code << "/" << r.name;
        EXPECT_EQ(accounts.KoduEdit.text(), QString::fromUtf8(r.code));
        EXPECT_EQ(accounts.AdiEdit.text(), QString::fromUtf8(r.name));
        EXPECT_EQ(accounts.AciklamaEdit.text(), QStringLiteral("not"));
    }
}

TEST_F(CariTest, CodesMatchAsWholeValuesWithTheirLetterCase)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Can"));
    for (const char* code : {"k1", "K", "K1 ", " K1"}) {
        fill(QString::fromUtf8(code), QStringLiteral("Yeni"));
        accounts.KaydetButClick();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << code;
        EXPECT_FALSE(account(QString::fromUtf8(code)).isEmpty()) << code;
    }
}

TEST_F(CariTest, ANewAccountIsWrittenListedAndThePanelEmptiedButForPriceAndTimes)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    fill(QStringLiteral("K7"), QStringLiteral("Şahin Öztürk"), QStringLiteral("12,50"));
    accounts.AciklamaEdit.setText(QStringLiteral("köprü yanı"));
    accounts.mevkiiEdit.setText(QStringLiteral("Aşağı Mahalle"));
    accounts.koyEdit.setText(QStringLiteral("Çamlıca"));
    accounts.TelefonMaskEdit.setText(QStringLiteral("(123)456-78-90"));
    accounts.KisCombo.setText(QStringLiteral("Sabah"));
    accounts.YazCombo.setText(QStringLiteral("öğlen"));
    accounts.KaydetButClick();

    const QVariantMap row = account(QStringLiteral("K7"));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(row[QStringLiteral("Adi")].toString(), QStringLiteral("Şahin Öztürk"));
    EXPECT_EQ(row[QStringLiteral("Aciklama")].toString(), QStringLiteral("köprü yanı"));
    EXPECT_EQ(row[QStringLiteral("Mevki")].toString(), QStringLiteral("Aşağı Mahalle"));
    EXPECT_EQ(row[QStringLiteral("Koy")].toString(), QStringLiteral("Çamlıca"));
    EXPECT_EQ(row[QStringLiteral("Telefon")].toString(), QStringLiteral("1234567890"));
    EXPECT_EQ(row[QStringLiteral("Kisin_Alim")].toString(), QStringLiteral("Sabah"));
    EXPECT_EQ(row[QStringLiteral("Yaz_Alim")].toString(), QStringLiteral("öğlen"));
    EXPECT_DOUBLE_EQ(row[QStringLiteral("Birim_Fiyati")].toDouble(), 12.5);
    EXPECT_TRUE(row[QStringLiteral("Soyadi")].isNull());
    const QDateTime saved = QDateTime::fromString(row[QStringLiteral("Kayit_Tarihi")].toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_TRUE(saved >= before && saved <= QDateTime::currentDateTime()) << row[QStringLiteral("Kayit_Tarihi")].toString().toStdString();

    EXPECT_EQ(accounts.CariTanimQuery.recordCount(), 1);
    for (const TextField* cleared : std::initializer_list<const TextField*>{&accounts.KoduEdit, &accounts.AdiEdit, &accounts.AciklamaEdit, &accounts.mevkiiEdit,
                                     &accounts.koyEdit, &accounts.TelefonMaskEdit})
        EXPECT_TRUE(cleared->isEmpty());
    EXPECT_TRUE(accounts.correcting.isNew());
    EXPECT_EQ(accounts.BirimFiyatEdit.text(), QStringLiteral("12,50"));
    EXPECT_EQ(accounts.KisCombo.text(), QStringLiteral("Sabah"));
    EXPECT_EQ(accounts.YazCombo.text(), QStringLiteral("öğlen"));
}

TEST_F(CariTest, ASaveRereadsTheListsOfTheIntakeAndPaymentScreens)
{
    for (Query* list : {&intake.CariTanimQuery, &payment.CariTanimQuery}) list->open();
    fill(QStringLiteral("K1"), QStringLiteral("Ali"));
    accounts.KaydetButClick();
    EXPECT_EQ(intake.CariTanimQuery.recordCount(), 1);
    EXPECT_EQ(payment.CariTanimQuery.recordCount(), 1);
}

TEST_F(CariTest, ACorrectionRewritesTheAccountAndKeepsItsRegistrationTime)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 10);
    const qint64 cid = addAccount(QStringLiteral("K2"), QStringLiteral("Bora"), 11);
    accounts.CariTanimQuery.open();
    selectInList(QStringLiteral("K2"));
    accounts.Dzelt1Click();
    EXPECT_EQ(QString::number(accounts.correcting.get()), QString::number(cid));
    EXPECT_EQ(accounts.BirimFiyatEdit.text(), QStringLiteral("11,00"));

    // Another account's code is refused as on a new account; its own, or a
    // free one, is taken.
    accounts.KoduEdit.setText(QStringLiteral("K1"));
    accounts.AdiEdit.setText(QStringLiteral("Bora Yıldız"));
    accounts.KaydetButClick();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("Girdiğiniz kod başka Süt Alım Hesapta kullanılmıştır! Kodu değiştirip kayıt edin.")});
    EXPECT_EQ(rows(QStringLiteral("SELECT Kodu FROM Cariler WHERE CID=%1").arg(cid))[0][QStringLiteral("Kodu")], QStringLiteral("K2"));
    accounts.KoduEdit.setText(QStringLiteral("K3"));
    accounts.KaydetButClick();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(count(QStringLiteral("Cariler")), 2);
    const auto row = rows(QStringLiteral("SELECT * FROM Cariler WHERE CID=%1").arg(cid))[0];
    EXPECT_EQ(row[QStringLiteral("Kodu")].toString(), QStringLiteral("K3"));
    EXPECT_EQ(row[QStringLiteral("Adi")].toString(), QStringLiteral("Bora Yıldız"));
    EXPECT_TRUE(row[QStringLiteral("Kayit_Tarihi")].isNull()) << "an update never sets the registration time";
    EXPECT_TRUE(accounts.correcting.isNew());
}

TEST_F(CariTest, AnUpdateLeavesTheRegistrationTimeItHad)
{
    fill(QStringLiteral("K1"), QStringLiteral("Ali"));
    accounts.KaydetButClick();
    const QString registered = account(QStringLiteral("K1"))[QStringLiteral("Kayit_Tarihi")].toString();
    ASSERT_FALSE(registered.isEmpty());
    accounts.Dzelt1Click();
    accounts.AdiEdit.setText(QStringLiteral("Ali Veli"));
    accounts.KaydetButClick();
    EXPECT_EQ(account(QStringLiteral("K1"))[QStringLiteral("Kayit_Tarihi")].toString(), registered);
    EXPECT_EQ(account(QStringLiteral("K1"))[QStringLiteral("Adi")].toString(), QStringLiteral("Ali Veli"));
}

TEST_F(CariTest, ACorrectedAccountThatVanishedIsSavedAsANewOne)
{
    const qint64 cid = addAccount(QStringLiteral("K1"), QStringLiteral("Ali"));
    accounts.CariTanimQuery.open();
    accounts.Dzelt1Click();
    TableCursor table(db.connection, schema::cariler());
    table.open();
    ASSERT_TRUE(table.locate(QStringLiteral("CID"), cid));
    table.deleteCurrent();
    accounts.KaydetButClick();
    const auto all = rows(QStringLiteral("SELECT * FROM Cariler"));
    ASSERT_EQ(all.size(), 1);
    EXPECT_GT(all[0][QStringLiteral("CID")].toLongLong(), cid);
    EXPECT_FALSE(all[0][QStringLiteral("Kayit_Tarihi")].isNull());
}

TEST_F(CariTest, PricesTelephonesAndIbansAreStoredInTheirOwnForms)
{
    const QString wrongCheck = QStringLiteral("IBAN'ın kontrol basamakları tutmuyor; bir rakam yanlış yazılmış olabilir.");
    const struct {
        const char* price;
        double stored;
        const char* phone;
        const char* storedPhone;
        const char* shownAgain;
        const char* iban;
        const char* storedIban;  // nullptr: refused on leaving the box and on saving
        const char* ibanShown;
    } cases[] = {
        {"", 0, "", "", "(___)___-__-__", "", "", ""},
        {"1.234,50", 1234.5, "(123)456-78-90", "1234567890", "(123)456-78-90", "tr33 0006 1005 1978 6457 8413 26",
         "TR330006100519786457841326", "TR33 0006 1005 1978 6457 8413 26"},
        {"0,35", 0.35, "(___)456-78-90", "4567890", "(___)456-78-90", "TR330006100519786457841362", nullptr, nullptr},
        {"7", 7, "(012)345-67-89", "123456789", "(_12)345-67-89", "TR32 0010 0099 9990 1234 5678 90", "TR320010009999901234567890",
         "TR32 0010 0099 9990 1234 5678 90"},  // a leading 0 is dropped
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString code = QStringLiteral("K%1").arg(++n);
        SCOPED_TRACE(code.toStdString());
        dialogs.messages.clear();
        fill(code, QStringLiteral("Ad"), QString::fromUtf8(c.price));
        accounts.TelefonMaskEdit.setText(QString::fromUtf8(c.phone));
        accounts.IBANEdit.setText(QString::fromUtf8(c.iban));
        accounts.focusAsked.clear();
        accounts.IBANEditExit();
        if (!c.storedIban) {
            EXPECT_EQ(dialogs.messages, QStringList{wrongCheck});
            EXPECT_EQ(accounts.focusAsked, QStringLiteral("IBANEdit"));
            accounts.KaydetButClick();
            EXPECT_EQ(dialogs.messages, (QStringList{wrongCheck, wrongCheck}));
            EXPECT_TRUE(account(code).isEmpty());
            EXPECT_EQ(accounts.KoduEdit.text(), code);
            EXPECT_EQ(accounts.TelefonMaskEdit.text(), QString::fromUtf8(c.phone));
            EXPECT_EQ(accounts.IBANEdit.text(), QString::fromUtf8(c.iban));
            accounts.Bosalt();
            continue;
        }
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(accounts.IBANEdit.text(), QString::fromUtf8(c.ibanShown));
        accounts.KaydetButClick();
        const QVariantMap row = account(code);
        EXPECT_DOUBLE_EQ(row[QStringLiteral("Birim_Fiyati")].toDouble(), c.stored);
        EXPECT_EQ(row[QStringLiteral("Telefon")].toString(), QString::fromUtf8(c.storedPhone));
        EXPECT_EQ(row[QStringLiteral("IBAN")].toString(), QString::fromUtf8(c.storedIban));
        selectInList(code);
        const auto listed = std::find_if(TcariF::kColumns.cbegin(), TcariF::kColumns.cend(),
                                         [](const GridColumn& column) { return column.field == QStringLiteral("IBAN"); });
        ASSERT_NE(listed, TcariF::kColumns.cend());
        EXPECT_EQ(cellText(listed->format, accounts.CariTanimQuery.value(QStringLiteral("IBAN"))), QString::fromUtf8(c.ibanShown));
        accounts.Dzelt1Click();
        EXPECT_EQ(accounts.TelefonMaskEdit.text(), QString::fromUtf8(c.shownAgain));
        EXPECT_EQ(accounts.IBANEdit.text(), QString::fromUtf8(c.ibanShown));
        accounts.Bosalt();
    }
}

// An account that still owes or is owed cannot go: its payments would be
// refused from then on. The question names the rows and the balance.
TEST_F(CariTest, OnlyAnAccountWithNothingOwedIsDeletedAndOnlyOnYes)
{
    const QDate day(2026, 11, 12);
    const struct {
        const char* what;
        std::vector<std::pair<double, double>> ledger;  // Borcumuz, Alacağımız of each row
        bool answer;
        const char* asked;    // in the question; nullptr: refused before asking
        const char* refused;  // in the refusal
        bool deleted;
    } cases[] = {
        {"no rows", {}, true, "0 hareket kaydı, bakiyesi 0,00", nullptr, true},
        {"settled to the kuruş", {{151.29, 0}, {151.29, 0}, {151.29, 0}, {0, 453.87}}, true,
         "4 hareket kaydı, bakiyesi 0,00", nullptr, true},
        {"settled, but No", {{10, 10}}, false, "1 hareket kaydı", nullptr, false},
        {"owed to him", {{1234.555, 0}}, true, nullptr, "Üreticiye borcumuz 1.234,56", false},
        {"he owes", {{0.01, 2000}}, true, nullptr, "Üreticinin bize borcu 1.999,99", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString code = QString::fromUtf8(c.what);
        addAccount(code, QStringLiteral("Ali Can"));
        for (const auto& [borc, alacak] : c.ledger) paymentRow(day, code, QStringLiteral("Ali Can"), borc, alacak);
        reread(accounts.CariTanimQuery);
        selectInList(code);
        accounts.KoduEdit.setText(QStringLiteral("yazılan"));
        dialogs.questions.clear();
        dialogs.messages.clear();
        dialogs.confirmAnswer = c.answer;
        accounts.KaydSil1Click();
        if (c.asked) {
            ASSERT_EQ(dialogs.questions.size(), 1);
            EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("\"Ali Can\" isimli kayıt silinecektir!")));
            EXPECT_TRUE(dialogs.questions[0].contains(QString::fromUtf8(c.asked))) << dialogs.questions[0].toStdString();
        } else {
            EXPECT_TRUE(dialogs.questions.isEmpty());
            ASSERT_EQ(dialogs.messages.size(), 1);
            EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8(c.refused))) << dialogs.messages[0].toStdString();
        }
        EXPECT_EQ(account(code).isEmpty(), c.deleted);
        EXPECT_EQ(accounts.KoduEdit.text().isEmpty(), c.deleted) << "the fields are emptied only by a deletion";
    }
}

TEST_F(CariTest, DeletingRemovesOnlyTheAccountNotItsLedgerRows)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"));
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora"));
    TableCursor ledger(db.connection, schema::sutGirisi());
    ledger.open();
    ledger.append()
        .setField(QStringLiteral("Kodu"), QStringLiteral("K2"))
        .setField(QStringLiteral("Adi"), QStringLiteral("Bora"))
        .setField(QStringLiteral("Gelir_Gider"), QStringLiteral("S"))
        .post();
    accounts.CariTanimQuery.open();
    selectInList(QStringLiteral("K2"));
    accounts.KoduEdit.setText(QStringLiteral("yazılan"));
    accounts.KaydSil1Click();
    EXPECT_EQ(count(QStringLiteral("Cariler")), 1);
    EXPECT_TRUE(account(QStringLiteral("K2")).isEmpty());
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 1);
    EXPECT_EQ(accounts.CariTanimQuery.recordCount(), 1);
    EXPECT_TRUE(accounts.KoduEdit.isEmpty());
}

TEST_F(CariTest, DeletingOnAnEmptyListAsksNothingAndDeletesNothing)
{
    accounts.CariTanimQuery.open();
    accounts.KaydSil1Click();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(count(QStringLiteral("Cariler")), 0);
}

TEST_F(CariTest, APickForTheIntakeScreenFillsItsPanelOnce)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 12.5);
    intake.sabahEdit.setText(QStringLiteral("40"));
    intake.YeniHesapButClick();
    EXPECT_TRUE(accounts.window().isVisible());
    EXPECT_TRUE(accounts.CariTanimQuery.isOpen());
    accounts.CariGridDblClick();
    EXPECT_EQ(intake.KoduEdit.text(), QStringLiteral("K1"));
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Ali"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("12,5"));
    EXPECT_TRUE(intake.sabahEdit.isEmpty());
    EXPECT_FALSE(accounts.window().isVisible());
    EXPECT_FALSE(accounts.pickCaller);

    intake.Bosalt();
    accounts.CariGridDblClick();
    EXPECT_TRUE(intake.KoduEdit.isEmpty()) << "a second double-click does nothing";
}

TEST_F(CariTest, APickForThePaymentScreenFillsCodeAndName)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 12.5);
    payment.AlacagimizEdit.setText(QStringLiteral("100"));
    payment.secButtonClick();
    EXPECT_TRUE(accounts.pickCaller);
    accounts.CariGridDblClick();
    EXPECT_EQ(payment.KoduEdit.text(), QStringLiteral("K1"));
    EXPECT_EQ(payment.AdiEdit.text(), QStringLiteral("Ali"));
    EXPECT_TRUE(payment.AlacagimizEdit.isEmpty());
    EXPECT_FALSE(accounts.window().isVisible());
}

TEST_F(CariTest, SavingAndCorrectingLeaveAPendingPickInPlace)
{
    intake.YeniHesapButClick();
    fill(QStringLiteral("K9"), QStringLiteral("Yeni Üretici"), QStringLiteral("9"));
    accounts.KaydetButClick();
    EXPECT_TRUE(accounts.pickCaller);
    accounts.CariGridDblClick();
    EXPECT_EQ(intake.KoduEdit.text(), QStringLiteral("K9"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("9"));
}

}  // namespace
