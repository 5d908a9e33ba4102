#include "common/PhoneNumber.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(PhoneNumber, ValueHoldsTheTenDigitPlaces)
{
    const struct {
        const char* display;
        const char* value;
    } cases[] = {
        {"(123)456-78-90", "1234567890"},
        {"(___)456-78-90", "   4567890"},
        {"(   )456-78-90", "   4567890"},
        {"(1__)456-78-90", "1  4567890"},
        {"(___)___-__-__", "          "},
        {"(123)45", "12345     "},
        {"", "          "},
    };
    for (const auto& c : cases) EXPECT_EQ(phoneValue(QString::fromUtf8(c.display)), QString::fromUtf8(c.value)) << c.display;
}

TEST(PhoneNumber, FirstMissingRequiredPlace)
{
    const struct {
        const char* display;
        int position;
    } cases[] = {
        {"(123)456-78-90", -1},
        {"(___)456-78-90", -1},  // the area code is optional
        {"(123)___-__-__", 5},
        {"(123)45_-78-90", 7},
        {"(123)456-_8-90", 9},
        {"(123)456-7_-90", 10},
        {"(123)456-78-_0", 12},
        {"(123)456-78-9_", 13},
        {"(123)456-78-9 ", 13},
        {"(___)___-__-__", 5},
        {"(123)456-78", 12},
        {"", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstMissingRequiredPlace(QString::fromUtf8(c.display)), c.position) << c.display;
}

TEST(PhoneNumber, StoredAsTheNumberInGeneralForm)
{
    const struct {
        const char* value;
        const char* stored;
    } cases[] = {
        {"1234567890", "1234567890"},
        {"0123456789", "123456789"},
        {"   4567890", "4567890"},
        {"1  4567890", "14567890"},
        {"          ", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(phoneStoredText(QString::fromUtf8(c.value)), QString::fromUtf8(c.stored)) << c.value;
}

// Where the caret stands in "(532)111-22-33": the places are at 1-3, 5-7,
// 9-10 and 12-13; 14 is past the last.
TEST(PhoneNumber, ADigitTypedIsInsertedOrTheTrunkZeroDroppedOrRefused)
{
    const struct {
        const char* display;
        int caret;
        int selection;
        char16_t digit;
        PhoneDigit what;
    } cases[] = {
        {"(___)___-__-__", 1, 0, u'0', PhoneDigit::Drop},     // "0532…": the trunk prefix
        {"(___)___-__-__", 1, 0, u'5', PhoneDigit::Insert},
        {"(5__)___-__-__", 2, 0, u'0', PhoneDigit::Insert},   // a 0 after a digit is a digit
        {"(___)___-__-__", 5, 0, u'0', PhoneDigit::Drop},     // no area code, still first
        {"(___)1__-__-__", 6, 0, u'0', PhoneDigit::Insert},
        {"(532)111-22-33", 0, 14, u'0', PhoneDigit::Drop},    // typed over the whole number
        {"(532)111-22-33", 1, 0, u'0', PhoneDigit::Drop},     // would make it (032)
        {"(532)111-22-3_", 13, 0, u'3', PhoneDigit::Insert},
        {"(532)111-22-33", 14, 0, u'4', PhoneDigit::Refuse},  // an eleventh digit
        {"(532)111-22-33", 14, 0, u'0', PhoneDigit::Refuse},
        {"(532)111-22-33", 12, 2, u'4', PhoneDigit::Insert},  // over a selection
    };
    for (const auto& c : cases)
        EXPECT_EQ(phoneDigitKey(QString::fromUtf8(c.display), c.caret, c.selection, QChar(c.digit)), c.what)
            << c.display << " at " << c.caret << " typed " << static_cast<char>(c.digit);
}

TEST(PhoneNumber, DisplayFillsThePlacesFromTheRight)
{
    const struct {
        const char* stored;
        char16_t blank;
        const char* display;
    } cases[] = {
        {"1234567890", u'_', "(123)456-78-90"},
        {"4567890", u'_', "(___)456-78-90"},
        {"123456789", u'_', "(_12)345-67-89"},
        {"4567890", u' ', "(   )456-78-90"},
        {"0", u'_', "(___)___-__-__"},
        {"000", u'_', "(___)___-__-__"},
        {"", u' ', "(   )   -  -  "},
        {"12345678901", u'_', "12345678901"},  // too long for the pattern: shown as stored
    };
    for (const auto& c : cases)
        EXPECT_EQ(phoneDisplayText(QString::fromUtf8(c.stored), QChar(c.blank)), QString::fromUtf8(c.display)) << c.stored;
}

TEST(PhoneNumber, TypedNumberComesBackAsTyped)
{
    for (const char* typed : {"(123)456-78-90", "(___)456-78-90", "(_12)345-67-89", "(___)___-__-__"}) {
        const QString display = QString::fromUtf8(typed);
        EXPECT_EQ(phoneDisplayText(phoneStoredText(phoneValue(display)), QLatin1Char('_')), display) << typed;
    }
    EXPECT_EQ(phoneStoredText(phoneValue(QStringLiteral("(123)456-78-90"))), QStringLiteral("1234567890"));
    EXPECT_EQ(phoneStoredText(phoneValue(QString())), QString());
}

}  // namespace
