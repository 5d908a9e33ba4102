#include "common/Conversions.h"
#include "common/EntryKeys.h"
#include "QtPrinters.h"
#include "RegionalGuard.h"

#include <gtest/gtest.h>

#include <locale>
#include <random>
#include <sstream>
#include <string>

namespace {

struct Digits {
    std::string whole;     // digits before the decimal separator, or all of them
    std::string fraction;  // digits after it
    int separators = 0;
    bool foreign = false;  // a character other than a digit or a separator
};

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// A thousands mark groups digits only before exactly three of them; any
// other one is a decimal separator.
Digits digitsOf(const QString& text, const RegionalSettings& r)
{
    Digits d;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            (d.separators ? d.fraction : d.whole) += static_cast<char>(c.unicode());
        } else if (c == r.decimalSeparator) {
            ++d.separators;
        } else if (c == r.thousandSeparator) {
            qsizetype digits = 0;
            while (i + 1 + digits < text.size() && isDigit(text[i + 1 + digits])) ++digits;
            if (digits != 3) ++d.separators;
        } else {
            d.foreign = true;
        }
    }
    return d;
}

// The typed number read independently of the code under test.
double valueOf(const Digits& d)
{
    std::istringstream in((d.whole.empty() ? "0" : d.whole) + "." + (d.fraction.empty() ? "0" : d.fraction));
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    return value;
}

// How a typed number must look after leaving the box, group marks aside.
std::string shownOf(const Digits& d, const RegionalSettings& r)
{
    std::string whole = d.whole;
    while (whole.size() > 1 && whole.front() == '0') whole.erase(whole.begin());
    if (whole.empty()) whole = "0";
    std::string fraction = d.fraction;
    fraction.resize(2, '0');
    return whole + static_cast<char>(r.decimalSeparator.unicode()) + fraction;
}

void runRandomTyping(const RegionalSettings& r, unsigned seed, int sequences, int& fullWhole, int& fullDecimals)
{
    std::mt19937 random(seed);
    const QChar keys[] = {
        u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9',
        u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9',
        u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9',
        r.decimalSeparator, r.decimalSeparator, r.thousandSeparator, r.thousandSeparator,
        kBackspace, kBackspace, kBackspace, kEnter,
        u'a', u'ş', u'-', u'+', u' ', u'e', QChar(0x03), QChar(0x16), QChar(0x18), QChar(0x1a),
    };
    std::uniform_int_distribution<int> pickKey(0, static_cast<int>(std::size(keys)) - 1);
    std::uniform_int_distribution<int> pickLength(1, 60);
    std::uniform_int_distribution<int> percent(0, 99);

    for (int sequence = 0; sequence < sequences; ++sequence) {
        EditState box;
        std::string trail;  // the actions so far, for a failure message
        const int length = pickLength(random);
        for (int step = 0; step < length; ++step) {
            const auto size = static_cast<int>(box.text.size());
            if (percent(random) < 20) {
                // Click somewhere, perhaps dragging a selection.
                box.caret = std::uniform_int_distribution<int>(0, size)(random);
                box.selection = percent(random) < 50 ? 0 : std::uniform_int_distribution<int>(0, size - box.caret)(random);
                trail += "[" + std::to_string(box.caret) + "+" + std::to_string(box.selection) + "]";
                continue;
            }
            const QChar key = keys[pickKey(random)];
            trail += key == kBackspace ? "<BS>" : key == kEnter ? "<CR>" : key.unicode() < 32 ? "<^>" : QString(key).toStdString();
            SCOPED_TRACE("seed " + std::to_string(seed) + ", keys " + trail);

            AmountKeyResult result;
            ASSERT_NO_THROW(result = amountKeyPress(box, key));
            if (key == kEnter) {
                ASSERT_TRUE(result.moveFocus);
                ASSERT_EQ(result.state, box);
                continue;
            }
            ASSERT_FALSE(result.moveFocus);
            box = result.state;
            const auto newSize = static_cast<int>(box.text.size());
            ASSERT_GE(box.caret, 0);
            ASSERT_GE(box.selection, 0);
            ASSERT_LE(box.caret + box.selection, newSize);

            const Digits d = digitsOf(box.text, r);
            ASSERT_FALSE(d.foreign) << box.text.toStdString();
            ASSERT_LE(d.separators, 1) << box.text.toStdString();
            ASSERT_LE(d.fraction.size(), 2u) << box.text.toStdString();
            ASSERT_LE(d.whole.size(), 13u) << box.text.toStdString();
            if (d.whole.size() == 13) ++fullWhole;
            if (d.fraction.size() == 2) ++fullDecimals;

            // The text has at most 13 + 2 digits, all of which a double
            // keeps, and at most two decimals, so rounding it to two
            // decimals changes nothing: the same is the identical double,
            // and what shows after leaving is the very number typed.
            const double typed = valueOf(d);
            double parsed = -1;
            ASSERT_NO_THROW(parsed = parseDecimal(box.text)) << box.text.toStdString();
            ASSERT_EQ(parsed, typed) << box.text.toStdString();
            const QString left = amountTextOnLeave(box.text);
            ASSERT_EQ(parseDecimal(left), typed) << box.text.toStdString() << " left as " << left.toStdString();
            ASSERT_EQ(QString(left).remove(r.thousandSeparator).toStdString(), shownOf(d, r)) << box.text.toStdString();
            ASSERT_EQ(parseDecimal(amountTextOnEnter(left)), typed) << left.toStdString();
        }
    }
}

TEST(AmountKeyRandom, TypedTextIsAlwaysANumberShownAsTyped)
{
    for (const bool point : {false, true}) {
        SCOPED_TRACE(point ? "decimal point" : "decimal comma");
        const RegionalGuard settings(point ? pointDecimalSettings() : RegionalSettings{});
        int fullWhole = 0, fullDecimals = 0;
        for (const unsigned seed : {1u, 20240601u, 977u}) {
            runRandomTyping(regional(), seed, 3000, fullWhole, fullDecimals);
            if (HasFatalFailure()) return;
        }
        // The sequences did reach the limits the invariants are about.
        EXPECT_GT(fullWhole, 0);
        EXPECT_GT(fullDecimals, 0);
    }
}

}  // namespace
