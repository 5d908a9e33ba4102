#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Cari/CariWindow.h"
#include "screens/KaliteFiyati/KaliteFiyati.h"
#include "screens/KaliteFiyati/KaliteFiyatiWindow.h"
#include "ModalCatcher.h"
#include "Typing.h"
#include "WindowFixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

// Keys that save strokes: Escape closing a form with nothing typed,
// Ctrl+S saving an account from anywhere.
class WindowKeysTest : public WindowFixture {
protected:
    WindowKeysTest() { root = &accountsWindow; }

    void open(QWidget& window)
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }

    CariWindow accountsWindow{accounts};
    SutAlimWindow intakeWindow{intake};
};

// Escape hides a form as "Kapat" does only while nothing typed waits in
// it; a correction is given up first, and the window stays.
TEST_F(WindowKeysTest, EscapeClosesAFormOnlyWithNothingTypedInIt)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Veli"), 11.5);
    intakeRow(QDate(2026, 3, 5), QStringLiteral("K1"), QStringLiteral("Ali Veli"), 10, 0, 11.5);
    intake.tarihDate.setDate(QDate(2026, 3, 5));
    enum class Then { Nothing, Save, Correct };
    const struct {
        const char* what;
        FormWindow* window;
        const char* box;  // typed into before Escape; nullptr: nothing
        Then then;
        bool staysOpen;
    } cases[] = {
        {"account screen, nothing typed", &accountsWindow, nullptr, Then::Nothing, false},
        {"account screen, a name typed", &accountsWindow, "AdiEdit", Then::Nothing, true},
        {"account screen, a price typed and left", &accountsWindow, "BirimFiyatEdit", Then::Nothing, true},
        {"account screen, saved, its price kept in the box", &accountsWindow, "BirimFiyatEdit", Then::Save, false},
        // Its first producer's row of the day is loaded for correction:
        // Escape gives that up first.
        {"intake screen as opened", &intakeWindow, nullptr, Then::Nothing, true},
        {"intake screen, litres typed", &intakeWindow, "sabahEdit", Then::Nothing, true},
        {"intake screen, a row being corrected", &intakeWindow, nullptr, Then::Correct, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.window == &intakeWindow) {
            menu.SutAlimButtonClick();
        } else {
            menu.CariTanimButtonClick();
        }
        open(*c.window);
        if (c.box) {
            auto* box = c.window->findChild<QLineEdit*>(QLatin1String(c.box));
            box->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(box, QStringLiteral("12"));
            QTest::keyClick(box, Qt::Key_Tab);
        }
        if (c.then == Then::Save) {
            accounts.KoduEdit.setText(QStringLiteral("K5"));
            accounts.AdiEdit.setText(QStringLiteral("Cem Er"));
            accounts.KaydetButClick();
            ASSERT_EQ(count(QStringLiteral("Cariler")), 2);
        }
        if (c.then == Then::Correct) {
            intake.SutGirisiQuery.moveTo(0);
            intake.Dzelt1Click();
            ASSERT_FALSE(intake.correcting.isNew());
        }
        QTest::keyClick(c.window, Qt::Key_Escape);
        EXPECT_EQ(c.window->isVisible(), c.staysOpen);
        if (c.then == Then::Correct) EXPECT_TRUE(intake.correcting.isNew()) << "the correction given up";
        c.window->hide();
    }
}

// Alt+F4 or the title bar's button on a window holding a typed entry asks
// (the answers' rules are the screens' own); "İptal" keeps it all.
TEST_F(WindowKeysTest, ClosingAWindowWithATypedEntryAsksFirst)
{
    menu.CariTanimButtonClick();
    open(accountsWindow);
    auto* name = control<QLineEdit>("AdiEdit");
    name->setFocus(Qt::TabFocusReason);
    typeText(name, QStringLiteral("Cem"));
    dialogs.closeAnswer = Dialogs::Answer::Cancel;
    EXPECT_FALSE(accountsWindow.close());
    EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Kaydedilsin mi?")});
    EXPECT_EQ(name->text(), QStringLiteral("Cem"));
    accountsWindow.hide();
}

// Ctrl+S from the price box saves the account with the price as typed and
// shown, and the focus stays where the collector was.
TEST_F(WindowKeysTest, CtrlSSavesTheAccountFromAnyBox)
{
    menu.CariTanimButtonClick();
    open(accountsWindow);
    auto* code = control<QLineEdit>("KoduEdit");
    code->setFocus(Qt::TabFocusReason);
    typeText(code, QStringLiteral("K7"));
    press(Qt::Key_Return);
    typeText(focused(), QStringLiteral("Ayşe Işık"));
    auto* price = control<QLineEdit>("BirimFiyatEdit");
    price->setFocus(Qt::TabFocusReason);
    typeX11(QStringLiteral("12.5"));
    QTest::keyClick(price, Qt::Key_S, Qt::ControlModifier);
    const QList<QVariantMap> saved = rows(QStringLiteral("SELECT Kodu, Adi, Birim_Fiyati FROM Cariler"));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0][QStringLiteral("Adi")].toString(), QStringLiteral("Ayşe Işık"));
    EXPECT_EQ(saved[0][QStringLiteral("Birim_Fiyati")].toDouble(), 12.5);
    EXPECT_EQ(focused(), code) << "the next account starts at its code";

    // From the list as well, where Ctrl+Shift+S is the list's CSV.
    auto* list = control<QWidget>("CariGrid");
    list->setFocus(Qt::TabFocusReason);
    code->setText(QStringLiteral("K8"));
    accounts.AdiEdit.setText(QStringLiteral("Bora Can"));
    QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("Cariler")), 2);
    EXPECT_EQ(focused(), code);
}

}  // namespace

namespace {

// A window of dated lines: Enter walks its boxes to Kaydet, Enter on the list
// loads a line, Delete deletes it after the question.
TEST_F(WindowKeysTest, ALineIsSavedLoadedAndDeletedByKeyboard)
{
    KaliteFiyatiWindow window(*screens.KaliteFiyatiF);
    root = &window;
    menu.KaliteFiyatiClick();
    window.show();
    QApplication::setActiveWindow(&window);
    control<QLineEdit>("ReferansFiyatEdit")->setFocus(Qt::TabFocusReason);
    for (const char* figure : {"15", "3,6", "3,2", "", "", "", "", ""}) {
        typeText(focused(), QString::fromLatin1(figure));
        press(Qt::Key_Return);
    }
    EXPECT_EQ(focusedName(), QStringLiteral("KaydetBut"));
    press(Qt::Key_Return);
    ASSERT_EQ(count(QStringLiteral("Kalite_Fiyatlari")), 1);
    control<QWidget>("FiyatGrid")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("ReferansFiyatEdit"));
    EXPECT_GT(screens.KaliteFiyatiF->duzeltilen(), 0);
    control<QWidget>("FiyatGrid")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Delete);
    EXPECT_EQ(count(QStringLiteral("Kalite_Fiyatlari")), 0);
    // The keyboard stays on the list, where Ctrl+Z brings the line back.
    QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("Kalite_Fiyatlari")), 1);
}

}  // namespace
