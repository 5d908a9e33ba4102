#include "common/PhoneNumber.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "ModalCatcher.h"
#include "Typing.h"

#include <QComboBox>

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
}

TEST(FormKeyHandler, EnterWalksThePanelInTabOrderAndPressesTheFocusedButton)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* code = new QLineEdit(&window);
    auto* hidden = new QLineEdit(&window);
    auto* disabled = new QLineEdit(&window);
    auto* name = new NameEdit(&window);
    auto* amount = new AmountEdit(&window);
    auto* date = new DatePicker(&window);
    auto* combo = new QComboBox(&window);
    combo->setEditable(true);
    auto* phone = new PhoneEdit(&window);
    auto* save = new QPushButton(QStringLiteral("Sakla"), &window);
    for (QWidget* w : {static_cast<QWidget*>(code), static_cast<QWidget*>(hidden), static_cast<QWidget*>(disabled),
                       static_cast<QWidget*>(name), static_cast<QWidget*>(amount), static_cast<QWidget*>(date),
                       static_cast<QWidget*>(combo), static_cast<QWidget*>(phone), static_cast<QWidget*>(save)})
        layout->addWidget(w);
    hidden->hide();
    disabled->setEnabled(false);
    int saves = 0;
    QObject::connect(save, &QPushButton::clicked, [&] { ++saves; });
    installFormKeyHandler(&window);
    activate(window);

    code->setFocus(Qt::TabFocusReason);
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), name) << "hidden and disabled boxes are skipped";
    QTest::keyClick(name, Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), amount);
    QTest::keyClick(amount, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), date);

    // Enter does nothing in a date picker, a drop-down list or the phone box.
    const QDate before = date->date();
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(date->date(), before);
    QTest::keyClick(date, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), combo) << "Tab leaves the date picker, not just its day";
    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), combo);
    phone->setFocus(Qt::TabFocusReason);
    QTest::keyClick(phone, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), phone);

    save->setFocus(Qt::TabFocusReason);
    QTest::keyClick(save, Qt::Key_Return);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(QApplication::focusWidget(), save) << "pressing the button does not move on";
}

TEST(NameEdit, CapitalisesTheFirstLetterOfEveryWordTheTurkishWay)
{
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"ali veli içöz", "Ali Veli İçöz"},
        {"ahmet ışık", "Ahmet Işık"},
        {"çağrı şen ünal ğ", "Çağrı Şen Ünal Ğ"},
        {"1a Bc", "1a Bc"},  // a digit or a capital at a word's start stays
        {"ali  veli", "Ali  Veli"},
    };
    for (const auto& c : cases) {
        NameEdit edit;
        typeText(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.shown)) << c.typed;
    }
}

TEST(NameEdit, LettersTypedInsideAWordStayAsTyped)
{
    NameEdit edit;
    edit.setText(QStringLiteral("Ali"));
    edit.setCursorPosition(1);
    typeText(&edit, QStringLiteral("i"));
    EXPECT_EQ(edit.text(), QStringLiteral("Aili"));
    edit.setCursorPosition(0);
    typeText(&edit, QStringLiteral("i"));
    EXPECT_EQ(edit.text(), QStringLiteral("İAili"));
}

class PhoneBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        phone = new PhoneEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(phone);
        layout->addWidget(other);
        activate(window);
        phone->setFocus(Qt::TabFocusReason);
    }

    QWidget window;
    PhoneEdit* phone = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(PhoneBoxTest, AFullNumberShowsInThePatternAndLeavesFreely)
{
    phone->home(false);
    QTest::keyClicks(phone, QStringLiteral("1234567890"));
    EXPECT_EQ(phone->display(), QStringLiteral("(123)456-78-90"));
    ModalCatcher box;
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(box.count, 0);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

TEST_F(PhoneBoxTest, TheAreaCodeMayStayEmpty)
{
    phone->setCursorPosition(5);
    QTest::keyClicks(phone, QStringLiteral("4567890"));
    EXPECT_EQ(phone->display(), QStringLiteral("(___)456-78-90"));
    phone->setDisplay(QStringLiteral("(___)111-22-33"));
    EXPECT_EQ(phone->display(), QStringLiteral("(___)111-22-33"));
    phone->setDisplay(QString());
    EXPECT_EQ(phone->display(), QString());
}

TEST_F(PhoneBoxTest, LeavingWithARequiredDigitMissingIsRefused)
{
    phone->home(false);
    QTest::keyClicks(phone, QStringLiteral("12345"));
    ModalCatcher box;
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.lastTitle, QStringLiteral("Orvalin Kovanta"));
    EXPECT_TRUE(box.lastText.contains(QStringLiteral("Esc"))) << "says in Turkish how to give up";
    EXPECT_EQ(window.focusWidget(), phone);
    EXPECT_EQ(phone->cursorPosition(), 7) << "the caret stands on the first missing place";

    // Escape abandons the changes; the box may then be left.
    activate(window);
    QTest::keyClick(phone, Qt::Key_Escape);
    EXPECT_EQ(phone->display(), QString());
    ModalCatcher none;
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

// The usual way of writing a mobile number, its trunk 0 first and with
// blanks, comes out whole; a digit too many is refused aloud, never lost.
TEST_F(PhoneBoxTest, ATrunkZeroGoesAndADigitTooManyIsRefusedWithAMessage)
{
    for (const char* typed : {"05321112233", "0532 111 22 33", "532-111-22-33"}) {
        phone->selectAll();
        QTest::keyClicks(phone, QString::fromUtf8(typed));
        EXPECT_EQ(phone->display(), QStringLiteral("(532)111-22-33")) << typed;
    }
    ModalCatcher box;
    QTest::keyClick(phone, Qt::Key_4);
    QApplication::processEvents();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.lastText, kPhoneTooLong);
    EXPECT_EQ(phone->display(), QStringLiteral("(532)111-22-33"));
}

TEST_F(PhoneBoxTest, AnUntouchedEmptyBoxPasses)
{
    ModalCatcher box;
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(box.count, 0);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

}  // namespace
