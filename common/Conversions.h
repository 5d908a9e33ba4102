#pragma once

#include <QString>
#include <stdexcept>

// A text that is not a number, with the conversion's own English text.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Keeps a sign in first place, the digits and the decimal separator, drops
// everything else, and reads the rest; nothing kept reads as 0. The
// thousands mark is dropped only where exactly three digits follow it
// ("1.250" is 1250); anywhere else it is read as the decimal separator
// ("12.5" is 12,5), as a collector who types a dot means it. Throws
// "'%s' is not a valid floating point value".
double parseDecimal(const QString& text);
// Whether the thousands mark at `at` groups digits: exactly three digits
// follow it. Any other thousands mark reads as the decimal separator.
bool isGroupMark(const QString& text, qsizetype at);
// Whether the character at `at` reads as the decimal separator.
bool isDecimalMark(const QString& text, qsizetype at);
// Keeps a sign in first place and the digits. Throws
// "'%s' is not a valid integer value".
int parseInteger(const QString& text);

// No grouping, the decimal separator, only the digits needed (at most 15
// significant ones): 1234.5 gives 1234,5.
QString generalNumber(double value);

// How a number is written for display: with or without thousand groups,
// a "0" before the separator or none, two decimals always or only those needed.
struct NumberPattern {
    const char* text;
    bool grouped;
    bool forceWholeDigit;
    bool fixedDecimals;
    // A rate keeps four; money, litres and prices two.
    int decimals = 2;
};
// "#,##0.00": amount boxes after leaving, the factory panel and its totals.
inline constexpr NumberPattern kAmountPattern{"#,##0.00", true, true, true};
// "#,###.00": grid columns and most total boxes; zero shows as ",00".
inline constexpr NumberPattern kGridPattern{"#,###.00", true, false, true};
// "#.##": an amount box while it has the focus.
inline constexpr NumberPattern kTypingPattern{"#.##", false, false, false};
// "0.00": figures written for a spreadsheet, without thousand marks.
inline constexpr NumberPattern kPlainPattern{"0.00", false, true, true};
// "#,##0.0000" and "#.####": a deduction's rate in percent, left and typed.
inline constexpr NumberPattern kRatePattern{"#,##0.0000", true, true, true, 4};
inline constexpr NumberPattern kRateTypingPattern{"#.####", false, false, false, 4};
// "#,##0.##": the steps of a chart's axis.
inline constexpr NumberPattern kAxisPattern{"#,##0.##", true, true, false};
// "#.00": a total box while it has the focus.
inline constexpr NumberPattern kFocusedTotalPattern{"#.00", false, false, true};

// A half rounds away from zero on the value as written to 15 significant digits.
QString formatFloat(const NumberPattern& pattern, double value);
// A price per litre: to the kuruş, or to four places where it was stored
// finer, so that litres by the price shown still make the amount.
QString perLitreText(double price);
// The hundredths a two-decimal pattern shows for the value: what a person
// adds up when he adds the figures on the screen.
qint64 shownHundredths(double value);
// A whole number of hundredths in a pattern with two fixed decimals: the
// same text as formatFloat gives for hundredths / 100, without a double.
QString formatHundredths(const NumberPattern& pattern, qint64 hundredths);
