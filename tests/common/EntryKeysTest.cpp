#include "common/EntryKeys.h"

#include "common/Conversions.h"
#include "QtPrinters.h"
#include "RegionalGuard.h"

#include <gtest/gtest.h>

#include <vector>

// Found by the test framework through the type's namespace.
static void PrintTo(const EditState& s, std::ostream* os)
{
    *os << '"' << s.text.toStdString() << "\" caret " << s.caret << " selection " << s.selection;
}

namespace {

EditState at(const char* text, int caret, int selection = 0)
{
    return {QString::fromUtf8(text), caret, selection};
}

EditState atEnd(const char* text)
{
    const QString t = QString::fromUtf8(text);
    return {t, static_cast<int>(t.size()), 0};
}

struct Keystroke {
    char16_t key;
    const char* text;  // the box after the key, caret at its end
};

// Types into an empty box, the caret always at the end, checking the box
// after every key.
void typeIntoEmptyBox(const std::vector<Keystroke>& keys)
{
    EditState box;
    for (const auto& k : keys) {
        const AmountKeyResult r = amountKeyPress(box, QChar(k.key));
        EXPECT_FALSE(r.moveFocus);
        EXPECT_EQ(r.state, atEnd(k.text)) << "after " << QString(QChar(k.key)).toStdString();
        box = r.state;
    }
}

TEST(AmountKeyPress, WorkedExampleKeystrokeByKeystroke)
{
    typeIntoEmptyBox({
        {u'1', "1"},
        {u'2', "12"},
        {u'3', "123"},
        {u'4', "1.234"},
        {u'5', "12.345"},
        {u',', "12.345,"},
        {u'5', "12.345,5"},
        {u'0', "12.345,50"},
        {u'1', "12.345,50"},  // two decimals: refused
        {u'\b', "12.345,5"},
    });
}

TEST(AmountKeyPress, WorkedExampleUnderPointDecimalSettings)
{
    const RegionalGuard point(pointDecimalSettings());
    typeIntoEmptyBox({
        {u'1', "1"},
        {u'2', "12"},
        {u'3', "123"},
        {u'4', "1,234"},
        {u'5', "12,345"},
        {u'.', "12,345."},
        {u'5', "12,345.5"},
        {u'0', "12,345.50"},
        {u'1', "12,345.50"},
        {u',', "12,345.50"},
    });
}

TEST(AmountKeyPress, RefusedCharactersInAnEmptyBoxAndAfter)
{
    typeIntoEmptyBox({
        {u'a', "0"},  // the regroup of nothing
        {u'5', "05"},
        {u'6', "56"},
        {u'7', "567"},
        {u'8', "5.678"},
    });
    typeIntoEmptyBox({{u',', ","}, {u',', ","}, {u'5', ",5"}, {u'\b', ","}, {u'\b', ""}});
    typeIntoEmptyBox({{u'1', "1"}, {u'2', "12"}, {u'3', "123"}, {u'4', "1.234"}, {u'5', "12.345"}, {u'6', "123.456"}});
}

struct KeyCase {
    const char* what;
    EditState before;
    char16_t key;
    EditState after;
};

void expectKeys(const std::vector<KeyCase>& cases)
{
    for (const auto& c : cases) {
        const AmountKeyResult r = amountKeyPress(c.before, QChar(c.key));
        EXPECT_FALSE(r.moveFocus) << c.what;
        EXPECT_EQ(r.state, c.after) << c.what;
    }
}

// Delete never lets a dot the box grouped with be read as a decimal point.
TEST(AmountKeyPress, DeleteRegroupsTheDigitsItLeaves)
{
    expectKeys({
        {"a digit of a grouped number", at("1.234", 3), u'\x7f', at("124", 2)},
        {"a group mark is passed over to its digit", at("1.234", 1), u'\x7f', at("134", 1)},
        {"a larger number is grouped again", at("1.234.567", 0), u'\x7f', at("234.567", 0)},
        {"a decimal keeps its separator", at("1.234,56", 6), u'\x7f', at("1.234,6", 6)},
        {"the decimal separator itself joins the digits", at("1.234,56", 5), u'\x7f', at("123.456", 5)},
        {"a selection goes as with Backspace", at("12.345", 1, 3), u'\x7f', at("145", 1)},
        {"nothing after the caret", atEnd("1.234"), u'\x7f', atEnd("1.234")},
    });
}

TEST(AmountKeyPress, EffectsOfTheRules)
{
    expectKeys({
        {"Backspace regroups, then deletes", atEnd("123.456"), u'\b', atEnd("12.345")},
        {"a letter changes nothing", atEnd("12.345"), u'a', atEnd("12.345")},
        {"\".\" after a decimal separator is refused", atEnd("10,5"), u'.', atEnd("10,5")},
        {"\"-\" is never typed", atEnd("5"), u'-', atEnd("5")},
        {"a control character (Ctrl+V)", atEnd("1.234"), u'\x16', atEnd("1.234")},
        {"a refused character with a separator does nothing", atEnd("12,3"), u'x', atEnd("12,3")},
        {"\"-\" in an empty box", at("", 0), u'-', atEnd("0")},
        {"a digit replaces a whole selected number", at("1.234", 0, 5), u'5', atEnd("5")},
        {"a digit replaces a selection in a whole number", at("12.345", 1, 3), u'9', at("1.945", 3)},
        {"Backspace deletes a selection in a whole number and regroups", at("1.234.567", 2, 4), u'\b', at("1.567", 2)},
        {"a refused character does not replace a selection", at("12", 0, 2), u'a', atEnd("12")},
        {"typing in the middle keeps the place", at("1.234", 1), u'9', at("19.234", 2)},
        {"Backspace in the middle acts on the regrouped text", at("123.456", 3), u'\b', at("123456", 2)},
        {"first separator inserted at the caret", atEnd("12.345"), u',', atEnd("12.345,")},
        {"a second separator is refused", atEnd("12,3"), u',', atEnd("12,3")},
        {"two decimals: no further digit", atEnd("12,34"), u'5', atEnd("12,34")},
        {"two decimals: not even at the start", at("12,34", 0), u'5', at("12,34", 0)},
        {"two decimals: typed over the whole text", at("12,34", 0, 5), u'5', atEnd("5")},
        {"two decimals: typed over the decimals", at("12,51", 3, 2), u'7', atEnd("12,7")},
        {"two decimals: a separator over the whole text", at("12,51", 0, 5), u',', atEnd(",")},
        {"two decimals: Backspace deletes", atEnd("12,34"), u'\b', atEnd("12,3")},
        {"with a separator a digit replaces the selection", at("12,3", 3, 1), u'4', atEnd("12,4")},
        {"with a separator Backspace deletes the selection", at("1.234,5", 0, 3), u'\b', at("34,5", 0)},
        {"with a separator digits go in as typed, not regrouped", at("1234,5", 0), u'9', at("91234,5", 1)},
        {"deleting the separator", at("123,45", 4), u'\b', at("12345", 3)},
    });
}

// A dot typed stays as typed and means what the box will store: a group
// mark before three digits, the decimal point anywhere else. What the box
// shows after leaving is that number.
TEST(AmountKeyPress, ADotTypedStaysAndMeansWhatTheBoxStores)
{
    const struct {
        const char* keys;
        const char* shown;   // the box after the keys, caret at its end
        const char* onLeave;
    } cases[] = {
        {"1.250", "1.250", "1.250,00"},
        {"12.5", "12.5", "12,50"},
        {"10.75", "10.75", "10,75"},
        {"12.500,5", "12.500,5", "12.500,50"},
        {"1.250.000", "1.250.000", "1.250.000,00"},
        {"1.250.5", "1.250.5", "1.250,50"},
        {"12.", "12.", "12,00"},
        {".5", ".5", "0,50"},
        // The fourth digit after a dot regroups: the dot was a group mark.
        {"1.2345", "12.345", "12.345,00"},
        // Refused: a second decimal point, three decimals.
        {"12.5,", "12.5", "12,50"},
        {"12.5.", "12.5", "12,50"},
        {"12,5.", "12,5", "12,50"},
        {"12,50.", "12,50", "12,50"},
        {"1.25,", "1.25", "1,25"},
    };
    for (const auto& c : cases) {
        EditState box;
        for (const QChar key : QString::fromUtf8(c.keys)) box = amountKeyPress(box, key).state;
        EXPECT_EQ(box, atEnd(c.shown)) << c.keys;
        EXPECT_EQ(amountTextOnLeave(box.text), QString::fromUtf8(c.onLeave)) << c.keys;
    }
}

// Deleting never turns a group mark into a decimal point: the whole part
// is grouped again instead.
TEST(AmountKeyPress, AGroupMarkStaysAGroupMarkWhenTheTextAroundItGoes)
{
    expectKeys({
        {"the comma deleted", at("1.234,5", 6), u'\b', at("12.345", 5)},
        {"the comma and digits before it selected", at("1.234,5", 3, 3), u'\b', at("125", 2)},
        {"a digit of a group deleted", at("1.234,5", 4), u'\b', at("124,5", 2)},
        {"a digit typed into a group", at("1.234,5", 2), u'9', at("19.234,5", 3)},
        {"a typed decimal point keeps its meaning", at("1.234.5", 4), u'\b', at("124.5", 2)},
        {"Backspace after a typed point", atEnd("12.5"), u'\b', atEnd("12.")},
        {"a dot where it would leave more than two decimals", at("123456", 2), u'.', at("123456", 2)},
        {"a dot before three digits groups them", at("1234", 1), u'.', at("1.234", 2)},
    });
}

TEST(AmountKeyPress, EnterMovesOnAndLeavesTheBox)
{
    for (const EditState& s : {at("", 0), atEnd("12.345,5"), at("1.234", 1, 2)}) {
        const AmountKeyResult r = amountKeyPress(s, kEnter);
        EXPECT_TRUE(r.moveFocus);
        EXPECT_EQ(r.state, s);
    }
}

// Our limits: at most 13 whole digits and, as the box's two-decimal rule
// intends, never a separator with more than two characters after it.
TEST(AmountKeyPress, LimitsWholeDigitsAndDecimals)
{
    expectKeys({
        {"the 13th whole digit is accepted", atEnd("123.456.789.012"), u'3', atEnd("1.234.567.890.123")},
        {"a 14th is refused", atEnd("1.234.567.890.123"), u'4', atEnd("1.234.567.890.123")},
        {"decimals after 13 whole digits", atEnd("1234567890123,4"), u'5', atEnd("1234567890123,45")},
        {"a 14th whole digit before the separator", at("1234567890123,4", 0), u'9', at("1234567890123,4", 0)},
        {"Backspace may not join decimals to 13 whole digits", at("1234567890123,45", 14), u'\b',
         at("1234567890123,45", 14)},
        {"a separator in the middle of a number would leave three decimals", at("1.234", 1), u',', at("1.234", 1)},
        {"two characters after it are fine; the dot before it groups again", at("12.345", 4), u',', at("123,45", 4)},
        {"a selection counts as replaced", at("12.345", 2, 2), u',', at("12,45", 3)},
    });
}

TEST(AmountKeyPress, PastedTextTheParseRejects)
{
    EXPECT_THROW(amountKeyPress(atEnd("-"), u'5'), ConversionError);
    EXPECT_THROW(amountKeyPress(atEnd("+x"), u'a'), ConversionError);
    // With a separator there is no regroup, so no parse either.
    EXPECT_EQ(amountKeyPress(atEnd("1,2,3"), u'5').state, atEnd("1,2,35"));
    // Past fifteen digits the general form is no longer plain digits.
    EXPECT_EQ(amountKeyPress(atEnd("12345678901234567890"), u'1').state, atEnd("12345678901234567890"));
}

TEST(AmountBoxFormatting, OnEnteringAndOnLeaving)
{
    const struct {
        const char* text;
        const char* onEnter;
        const char* onLeave;
    } cases[] = {
        {"1.234,50", "1234,5", "1.234,50"},
        {"", "", "0,00"},
        {"0,00", "", "0,00"},
        {",", "", "0,00"},
        {"123.456", "123456", "123.456,00"},
        {"123456", "123456", "123.456,00"},
        {"12,3", "12,3", "12,30"},
        {"2,675", "2,68", "2,68"},
        {"1.234.567.890.123,45", "1234567890123,45", "1.234.567.890.123,45"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(amountTextOnEnter(QString::fromUtf8(c.text)), QString::fromUtf8(c.onEnter)) << c.text;
        EXPECT_EQ(amountTextOnLeave(QString::fromUtf8(c.text)), QString::fromUtf8(c.onLeave)) << c.text;
    }
    EXPECT_THROW(amountTextOnLeave(QStringLiteral("-")), ConversionError);
    EXPECT_THROW(amountTextOnEnter(QStringLiteral("1,2,3")), ConversionError);
}

QString typeIntoNameBox(const QString& typed)
{
    QString box;
    for (const QChar c : typed) box += nameBoxCharacter(box, static_cast<int>(box.size()), c);
    return box;
}

TEST(NameBoxCharacter, CapitalisesTheFirstLetterOfEveryWord)
{
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"ali veli içöz", "Ali Veli İçöz"},
        {"ahmet ışık", "Ahmet Işık"},
        {"içöz", "İçöz"},
        {"ğül şen ümit öz çam", "Ğül Şen Ümit Öz Çam"},
        {"ALİ vELİ", "ALİ VELİ"},
        {"5 ali", "5 Ali"},
        {"ali  veli", "Ali  Veli"},
        {"ali-veli", "Ali-veli"},  // only a blank starts a word
        {"âli", "âli"},
    };
    for (const auto& c : cases) EXPECT_EQ(typeIntoNameBox(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown)) << c.typed;
}

TEST(NameBoxCharacter, LooksAtTheCharacterBeforeTheCaret)
{
    const struct {
        const char* text;
        int caret;
        char16_t typed;
        char16_t inserted;
    } cases[] = {
        {"veli", 0, u'a', u'A'},   // at the start of a non-empty text
        {"ali veli", 4, u'x', u'X'},
        {"ali veli", 3, u'x', u'x'},
        {"ali veli", 5, u'x', u'x'},
        {"ali", 99, u'x', u'x'},  // past the end counts as the end
        {"ali ", 99, u'x', u'X'},
        {"", 0, u'7', u'7'},
        {"", 0, u'Q', u'Q'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameBoxCharacter(QString::fromUtf8(c.text), c.caret, QChar(c.typed)), QChar(c.inserted))
            << c.text << " at " << c.caret;
}

TEST(GridEnter, WalksTheCellsRowByRow)
{
    const int rows = 3, columns = 4;
    const struct {
        GridCell from;
        bool shift;
        GridCell to;
    } cases[] = {
        {{0, 0}, false, {0, 1}},
        {{1, 2}, false, {1, 3}},
        {{1, 3}, false, {2, 0}},
        {{2, 3}, false, {2, 0}},  // last row: the list stays
        {{2, 0}, true, {1, 3}},
        {{1, 2}, true, {1, 1}},
        {{1, 0}, true, {0, 3}},
        {{0, 0}, true, {0, 3}},   // first row: the list stays
        {{0, 3}, true, {0, 2}},
    };
    for (const auto& c : cases) {
        const GridCell to = gridEnter(c.from, rows, columns, c.shift);
        EXPECT_EQ(to, c.to) << c.from.row << "," << c.from.column << (c.shift ? " shift" : "") << " went to "
                            << to.row << "," << to.column;
    }
    // One column, one row: Enter stays on the only cell.
    EXPECT_EQ(gridEnter({0, 0}, 1, 1, false), (GridCell{0, 0}));
    EXPECT_EQ(gridEnter({0, 0}, 1, 1, true), (GridCell{0, 0}));
}

TEST(GridRowColour, OddRowsLightYellowEvenRowsWhite)
{
    const Rgb yellow{255, 255, 192}, white{255, 255, 255};
    const struct {
        int row;
        Rgb colour;
    } cases[] = {{1, yellow}, {2, white}, {3, yellow}, {4, white}, {1001, yellow}, {0, white}, {-1, white}};
    for (const auto& c : cases) EXPECT_EQ(gridRowColour(c.row), c.colour) << c.row;
}

}  // namespace
