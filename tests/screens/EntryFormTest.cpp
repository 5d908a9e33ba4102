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
    EXPECT_TRUE(intake.correcting.isNew());
    EXPECT_TRUE(intake.DuzeltmeLabel.isEmpty());
    EXPECT_TRUE(intake.sabahEdit.isEmpty()) << "the panel is as after Yeni";

    // A payment saved leaves a new panel; one chosen from the list is named
    // under the row's own day, not the picker's, also after it is saved.
    payment.tarihDate.setDate(kDay);
    payment.KoduEdit.setText(QStringLiteral("101"));
    payment.AdiEdit.setText(QStringLiteral("Ahmet Yılmaz"));
    payment.AlacagimizEdit.setText(QStringLiteral("100"));
    payment.SaklaButClick();
    EXPECT_TRUE(payment.DuzeltmeLabel.isEmpty());
    payment.Dzelt1Click();
    EXPECT_EQ(payment.DuzeltmeLabel.text(), named);
    payment.tarihDate.setDate(kDay.addDays(3));
    EXPECT_EQ(payment.DuzeltmeLabel.text(), named);

    // Escape without a correction keeps what is typed.
    payment.Bosalt();
    payment.KoduEdit.setText(QStringLiteral("101"));
    payment.EscapeKeyPress();
    EXPECT_EQ(payment.KoduEdit.text(), QStringLiteral("101"));
    EXPECT_TRUE(payment.DuzeltmeLabel.isEmpty());
}

// A payment with no amount is asked about like an intake without litres;
// a row chosen from the list and corrected is not.
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
        bool correcting;
    } steps[] = {{false, 1, 0, false}, {true, 1, 1, false}, {false, 1, 1, false}, {false, 0, 1, true}};
    for (const auto& step : steps) {
        if (step.correcting)
            payment.Dzelt1Click();
        else if (payment.KoduEdit.isEmpty())
            typeEmpty();
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
