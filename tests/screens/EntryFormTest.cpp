#include "ScreenFixture.h"

namespace {

const QDate kDay(2026, 11, 12);

// The panel names the row the next save overwrites, on both entry screens,
// for as long as it does.
class EntryFormTest : public ScreenFixture {};

TEST_F(EntryFormTest, ThePanelNamesTheRowASaveWouldCorrect)
{
    addAccount(QStringLiteral("101"), QStringLiteral("Ahmet Yılmaz"), 2);
    intakeRow(kDay, QStringLiteral("101"), QStringLiteral("Ahmet Yılmaz"), 38.5, 36.5, 2);
    const QString named = QStringLiteral("Düzeltme: 12.11.2026 · 101 Ahmet Yılmaz");

    intake.tarihDate.setDate(kDay);
    intake.GuncelleGunluk();
    intake.Dzelt1Click();
    EXPECT_EQ(intake.DuzeltmeLabel.text(), named);
    intake.EscapeKeyPress();
    EXPECT_TRUE(intake.kayitnoEdit.isEmpty());
    EXPECT_TRUE(intake.DuzeltmeLabel.isEmpty());
    EXPECT_TRUE(intake.sabahEdit.isEmpty()) << "the panel is as after Yeni";

    // A payment saved is corrected by the next save, and the panel says so
    // under the row's own day, not the picker's.
    payment.tarihDate.setDate(kDay);
    payment.KoduEdit.setText(QStringLiteral("101"));
    payment.AdiEdit.setText(QStringLiteral("Ahmet Yılmaz"));
    payment.AlacagimizEdit.setText(QStringLiteral("100"));
    payment.SaklaButClick();
    EXPECT_EQ(payment.DuzeltmeLabel.text(), named);
    payment.tarihDate.setDate(kDay.addDays(3));
    payment.SaklaButClick();
    EXPECT_EQ(payment.DuzeltmeLabel.text(), named);

    // Escape without a correction keeps what is typed.
    payment.Bosalt();
    payment.KoduEdit.setText(QStringLiteral("101"));
    payment.EscapeKeyPress();
    EXPECT_EQ(payment.KoduEdit.text(), QStringLiteral("101"));
    EXPECT_TRUE(payment.DuzeltmeLabel.isEmpty());
}

// A payment with no amount is asked about like an intake without litres;
// the row saved last, corrected again, is not.
TEST_F(EntryFormTest, APaymentWithNoAmountIsStoredOnlyWhenMeant)
{
    addAccount(QStringLiteral("101"), QStringLiteral("Ahmet Yılmaz"));
    payment.tarihDate.setDate(kDay);
    const auto typeEmpty = [this] {
        payment.KoduEdit.setText(QStringLiteral("101"));
        payment.AdiEdit.setText(QStringLiteral("Ahmet Yılmaz"));
        payment.FisNoEdit.setText(QStringLiteral("F-1"));
    };
    const struct {
        bool answer;
        int questions;
        int rows;
    } steps[] = {{false, 1, 0}, {true, 1, 1}, {false, 0, 1}};  // the last corrects the row just saved
    for (const auto& step : steps) {
        if (payment.kayitnoEdit.isEmpty()) typeEmpty();
        dialogs.questions.clear();
        dialogs.confirmAnswer = step.answer;
        payment.SaklaButClick();
        ASSERT_EQ(dialogs.questions.size(), step.questions);
        if (step.questions) {
            EXPECT_TRUE(dialogs.questions[0].startsWith(QStringLiteral("101 Ahmet Yılmaz için Alacağımız ve Borcumuz boş.")));
        }
        EXPECT_EQ(count(QStringLiteral("SutGirisi")), step.rows);
    }
}

}  // namespace
