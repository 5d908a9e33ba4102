#include "common/Conversions.h"
#include "common/widgets/EntryBoxes.h"
#include "ModalCatcher.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// An amount box and a plain box after it, in a shown, active window.
class AmountBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        amount = new AmountEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(amount);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        enter();
    }

    void enter() { amount->setFocus(Qt::TabFocusReason); }
    void leave() { other->setFocus(Qt::TabFocusReason); }
    void type(QChar c)
    {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(amount, Qt::Key_Backspace);
        else
            QTest::keyClicks(amount, QString(c));
    }

    QWidget window;
    AmountEdit* amount = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(AmountBoxTest, TypingFollowsTheWorkedExampleKeyByKey)
{
    const struct {
        char16_t key;
        const char* shown;
    } steps[] = {
        {u'1', "1"},         {u'2', "12"},        {u'3', "123"},        {u'4', "1.234"},
        {u'5', "12.345"},    {u',', "12.345,"},   {u'5', "12.345,5"},   {u'0', "12.345,50"},
        {u'1', "12.345,50"}, {u',', "12.345,50"}, {u'\b', "12.345,5"},  {u'7', "12.345,57"},
    };
    for (const auto& step : steps) {
        type(QChar(step.key));
        EXPECT_EQ(amount->text(), QString::fromUtf8(step.shown)) << "after " << QString(QChar(step.key)).toStdString();
    }
}

TEST_F(AmountBoxTest, BackspaceRegroupsAndARefusedKeyLeavesTheNumberAsItWas)
{
    amount->setText(QStringLiteral("123.456"));
    amount->end(false);
    type(QLatin1Char('\b'));
    EXPECT_EQ(amount->text(), QStringLiteral("12.345"));

    // Refused; grouped for one digit more, "123.45" would read as 123,45.
    type(QLatin1Char('a'));
    EXPECT_EQ(amount->text(), QStringLiteral("12.345"));
    type(QLatin1Char('6'));
    EXPECT_EQ(amount->text(), QStringLiteral("123.456"));

    type(QLatin1Char('-'));
    EXPECT_FALSE(amount->text().contains(QLatin1Char('-')));
    leave();
    EXPECT_EQ(amount->text(), QStringLiteral("123.456,00"));
}

TEST_F(AmountBoxTest, DecimalsAreLimitedToTwoButBackspaceStillWorks)
{
    for (QChar c : QStringLiteral("12,34")) type(c);
    EXPECT_EQ(amount->text(), QStringLiteral("12,34"));
    type(QLatin1Char('5'));
    EXPECT_EQ(amount->text(), QStringLiteral("12,34"));
    amount->setCursorPosition(1);  // anywhere in the text
    type(QLatin1Char('9'));
    EXPECT_EQ(amount->text(), QStringLiteral("12,34"));
    amount->end(false);
    type(QLatin1Char('\b'));
    EXPECT_EQ(amount->text(), QStringLiteral("12,3"));
    type(QLatin1Char(','));  // a second separator is refused
    EXPECT_EQ(amount->text(), QStringLiteral("12,3"));
}

TEST_F(AmountBoxTest, EnteringAndLeavingRewriteTheText)
{
    // A lone "," is accepted first and reads as zero.
    type(QLatin1Char(','));
    EXPECT_EQ(amount->text(), QStringLiteral(","));
    leave();
    EXPECT_EQ(amount->text(), QStringLiteral("0,00"));
    enter();
    EXPECT_EQ(amount->text(), QString());

    for (QChar c : QStringLiteral("123456")) type(c);
    EXPECT_EQ(amount->text(), QStringLiteral("123.456"));
    leave();
    EXPECT_EQ(amount->text(), QStringLiteral("123.456,00"));
    enter();
    EXPECT_EQ(amount->text(), QStringLiteral("123456"));

    amount->setText(QStringLiteral("1.234,50"));
    leave();
    enter();
    EXPECT_EQ(amount->text(), QStringLiteral("1234,5"));
    leave();
    EXPECT_EQ(amount->text(), QStringLiteral("1.234,50"));
}

TEST_F(AmountBoxTest, WhatIsTypedAfterEnteringByKeyboardReplacesTheNumberHeld)
{
    const struct {
        const char* held;
        Qt::FocusReason entered;
        bool selectAllFirst;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"12,51", Qt::TabFocusReason, false, "13", "13"},
        {"12", Qt::TabFocusReason, false, "12,8", "12,8"},
        {"1.234,50", Qt::BacktabFocusReason, false, "7", "7"},
        {"12,51", Qt::MouseFocusReason, false, "3", "12,51"},  // a click puts the caret at the end
        {"12", Qt::MouseFocusReason, true, "9", "9"},          // Ctrl+A, then typed over
    };
    for (const auto& c : cases) {
        leave();
        amount->setText(QString::fromUtf8(c.held));
        amount->setFocus(c.entered);
        if (c.selectAllFirst) QTest::keyClick(amount, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(amount, QString::fromUtf8(c.typed));
        EXPECT_EQ(amount->text(), QString::fromUtf8(c.shown)) << c.held << " then " << c.typed;
    }
}

TEST_F(AmountBoxTest, PastedTextThatIsNoNumberShowsTheErrorAndStays)
{
    QApplication::clipboard()->setText(QStringLiteral("1,2,3"));
    amount->paste();
    ASSERT_EQ(amount->text(), QStringLiteral("1,2,3"));
    ModalCatcher box;
    leave();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.lastTitle, QStringLiteral("Orvalin Kovanta"));
    EXPECT_EQ(box.lastText, QStringLiteral("'1,2,3' is not a valid floating point value"));
    EXPECT_EQ(amount->text(), QStringLiteral("1,2,3"));
}

// Random keys and caret moves typed into a real box: whatever happens, the
// text is a number, and what the box shows after leaving reads back as that
// number rounded to two decimals.
TEST_F(AmountBoxTest, RandomTypingAlwaysLeavesAReadableNumber)
{
    const QString keys = QStringLiteral("0123456789,,,.a-\b\b\b");
    std::mt19937 random(20261209);
    for (int sequence = 0; sequence < 1500; ++sequence) {
        enter();
        amount->clear();
        const int length = std::uniform_int_distribution<int>(1, 30)(random);
        for (int i = 0; i < length; ++i) {
            const int choice = std::uniform_int_distribution<int>(0, keys.size() + 2)(random);
            if (choice < keys.size()) {
                type(keys[choice]);
            } else if (choice == keys.size()) {
                const int size = static_cast<int>(amount->text().size());
                amount->setCursorPosition(std::uniform_int_distribution<int>(0, size)(random));
            } else {
                const int size = static_cast<int>(amount->text().size());
                const int from = std::uniform_int_distribution<int>(0, size)(random);
                amount->setSelection(from, std::uniform_int_distribution<int>(0, size - from)(random));
            }
        }
        const QString typed = amount->text();
        double value = 0;
        ASSERT_NO_THROW(value = parseDecimal(typed)) << typed.toStdString();
        leave();
        const QString shown = amount->text();
        ASSERT_DOUBLE_EQ(parseDecimal(shown), std::round(value * 100) / 100)
            << typed.toStdString() << " shown as " << shown.toStdString();
    }
}

}  // namespace
