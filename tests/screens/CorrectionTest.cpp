#include "ScreenFixture.h"

#include "ledger/Settlement.h"
#include "screens/Kesintiler/Kesintiler.h"

#include <algorithm>

#include <cstring>
#include <functional>

namespace {

const QDate kDay(2026, 11, 30);

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class CorrectionTest : public ScreenFixture {
protected:
    CorrectionTest()
    {
        addAccount(QStringLiteral("K1"), QStringLiteral("Ali Can"), 9.095);
        intake.tarihDate.setDate(kDay);
        payment.tarihDate.setDate(kDay);
        factory.tarihDate.setDate(kDay);
    }
    double stored(const QString& sql) { return rows(sql)[0].first().toDouble(); }
};

// A row loaded for correction and saved with only its note changed keeps
// every figure as it was stored, though its box showed it rounded.
TEST_F(CorrectionTest, ANoteCorrectedAloneLeavesEveryFigureAsStored)
{
    const struct {
        const char* what;
        std::function<void()> loadChangeNoteAndSave;
        const char* sql;
        double figure;
    } cases[] = {
        {"intake litres",
         [&] {
             intakeRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), 12.345, 0, 9.095, QStringLiteral("eski"));
             intake.GuncelleGunluk();
             intake.Dzelt1Click();
             intake.AciklamaEdit.setText(QStringLiteral("yeni"));
             intake.SaklaButClick();
         },
         "SELECT Sabah FROM SutGirisi WHERE Aciklama='yeni'", 12.345},
        {"intake price", {}, "SELECT SBirim_Fiyat FROM SutGirisi WHERE Aciklama='yeni'", 9.095},
        {"intake amount", {}, "SELECT Gelir_Toplam_Tutar FROM SutGirisi WHERE Aciklama='yeni'", 12.345 * 9.095 + 0 * 9.095},
        {"payment",
         [&] {
             paymentRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), {}, 100.125, QStringLiteral("eski"));
             payment.Guncelle();
             payment.SutGirisiQuery.locate(QStringLiteral("Aciklama"), QStringLiteral("eski"));
             payment.Dzelt1Click();
             payment.AciklamaEdit.setText(QStringLiteral("ödendi"));
             payment.SaklaButClick();
         },
         "SELECT Gider_Tutari FROM SutGirisi WHERE Aciklama='ödendi'", 100.125},
        {"account price",
         [&] {
             accounts.openForMaintenance();
             accounts.CariTanimQuery.locate(QStringLiteral("Kodu"), QStringLiteral("K1"));
             accounts.Dzelt1Click();
             accounts.AciklamaEdit.setText(QStringLiteral("köy yolu"));
             accounts.KaydetButClick();
         },
         "SELECT Birim_Fiyati FROM Cariler WHERE Aciklama='köy yolu'", 9.095},
        {"factory price",
         [&] {
             screens.ledger.saveDelivery({0, kDay, 9.095, 100.125, 0, QStringLiteral("eski")});
             factory.Guncelle();
             factory.AciklamaEdit.setText(QStringLiteral("geç geldi"));
             factory.SaklaButClick();
         },
         "SELECT Birim_Fiyat FROM Fabrika WHERE Aciklama='geç geldi'", 9.095},
        {"factory litres", {}, "SELECT Sabah_Fabrika_LT FROM Fabrika WHERE Aciklama='geç geldi'", 100.125},
    };
    for (const auto& c : cases) {
        if (c.loadChangeNoteAndSave) c.loadChangeNoteAndSave();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << c.what << ": " << dialogs.messages.join(' ').toStdString();
        const double figure = stored(QString::fromUtf8(c.sql));
        EXPECT_TRUE(sameBits(figure, c.figure)) << c.what << ": " << figure;
    }
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 2) << "corrected, not added";
}

// A deduction row written by a posting changes only with its posting.
TEST_F(CorrectionTest, ARowOfAPostingIsRefusedOnThePaymentScreenNamingThePosting)
{
    intakeRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), 100, 0, 10);
    Settlements& settlements = screens.settlements;
    ASSERT_EQ(settlements.saveDeduction({0, QStringLiteral("Gelir Vergisi Stopajı"), 2.0, {2026, 1, 1}}), Settlements::DeductionCheck::Ok);
    ASSERT_EQ(settlements.post({2026, 11, 1}, kDay).outcome, Settlements::PostOutcome::Posted);
    payment.Guncelle();
    ASSERT_TRUE(payment.SutGirisiQuery.locate(QStringLiteral("Fis_No"), QStringLiteral("HK-20261130")));
    const qint64 posted = payment.SutGirisiQuery.value(QStringLiteral("SGID")).toLongLong();
    const QString refusal = QStringLiteral("HK-20261130 hakedişine ait; değiştirmek için hakedişi geri alın");

    payment.Dzelt1Click();
    EXPECT_TRUE(payment.correcting.isNew()) << "not loaded";
    payment.KaydSil1Click();
    EXPECT_EQ(dialogs.messages, QStringList({refusal, refusal}));
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "refused before the question";
    // Nor past the screen: the ledger refuses it too.
    EXPECT_THROW(screens.ledger.deleteEntry(posted), RowPosted);
    EXPECT_THROW(screens.ledger.savePayment({posted, kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1, 0, 0, {}, {}}), RowPosted);
    EXPECT_EQ(stored(QStringLiteral("SELECT Gider_Tutari FROM SutGirisi WHERE SGID=%1").arg(posted)), 20);
}

// Delete and Ctrl+Z on the Kesintiler list, a line kept without a day too.
TEST_F(CorrectionTest, ADeductionLineDeletedFromItsListComesBackWithCtrlZ)
{
    TKesintilerF& deductions = *screens.KesintilerF;
    deductions.openFromMenu();
    const auto& lines = deductions.lines();
    const auto withoutDay = std::find_if(lines.begin(), lines.end(), [](const Deduction& d) { return !d.baslangic.isValid(); });
    ASSERT_NE(withoutDay, lines.end());
    const int stored = count(QStringLiteral("Kesintiler"));
    deductions.KesintiRow.set(static_cast<int>(withoutDay - lines.begin()));
    deductions.KesintiListDelete();
    EXPECT_EQ(count(QStringLiteral("Kesintiler")), stored - 1);
    deductions.GeriAl1Click();
    EXPECT_EQ(count(QStringLiteral("Kesintiler")), stored);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(' ').toStdString();
}

// Closing with a typed entry asks; "İptal", the default, keeps it, "Hayır" gives it up.
TEST_F(CorrectionTest, ClosingWithATypedEntryAsksAndKeepsItUnlessToldOtherwise)
{
    const struct {
        const char* what;
        bool typed;
        Dialogs::Answer answer;
        bool asked, closes, saved, kept;
    } cases[] = {
        {"nothing typed", false, Dialogs::Answer::Cancel, false, true, false, true},
        {"İptal", true, Dialogs::Answer::Cancel, true, false, false, true},
        {"Hayır", true, Dialogs::Answer::No, true, true, false, false},
        {"Evet", true, Dialogs::Answer::Yes, true, true, true, false},
    };
    for (const auto& c : cases) {
        payment.Bosalt();
        dialogs.questions.clear();
        dialogs.closeAnswer = c.answer;
        payment.KoduEdit.setText(QStringLiteral("K1"));
        payment.AdiEdit.setText(QStringLiteral("Ali Can"));
        payment.AlacagimizEdit.setText(QStringLiteral("50"));
        // The window tells whether its boxes hold typing; a save empties them.
        payment.holdsTyping = [&] { return c.typed && !payment.KoduEdit.isEmpty(); };
        const int before = count(QStringLiteral("SutGirisi"));
        EXPECT_EQ(payment.mayClose(), c.closes) << c.what;
        EXPECT_EQ(dialogs.questions, c.asked ? QStringList{QStringLiteral("Kaydedilsin mi?")} : QStringList{}) << c.what;
        EXPECT_EQ(count(QStringLiteral("SutGirisi")) - before, c.saved ? 1 : 0) << c.what;
        EXPECT_EQ(payment.AlacagimizEdit.text(), c.kept ? QStringLiteral("50") : QString()) << c.what;
    }
    payment.holdsTyping = nullptr;
}

}  // namespace
