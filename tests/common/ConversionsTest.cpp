#include "common/Conversions.h"

#include "QtPrinters.h"
#include "RegionalGuard.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

struct DecimalCase {
    const char* text;
    double expected;
};

TEST(ParseDecimal, FiltersAndReadsTurkishText)
{
    const DecimalCase cases[] = {
        {"1234,5", 1234.5},   {",5", 0.5},         {"-,5", -0.5},       {"5,", 5},
        {",", 0},             {"1.234,50", 1234.5}, {"", 0},            {"kg", 0},
        {"12 kg", 12},        {"12-3", 123},       {"1.234,56", 1234.56}, {"-12", -12},
        {"1-2", 12},          {"+7", 7},           {" -5", 5},          {"0,1", 0.1},
        {"1.234.567,89", 1234567.89}, {"2,675", 2.675}, {"-0,001", -0.001},
        {"1234567890123,45", 1234567890123.45},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        // Exact: the kept text is read as a decimal number, not summed digit by digit.
        EXPECT_EQ(parseDecimal(text), c.expected) << c.text;
    }
}

// A dot is what the program itself writes between thousands, so a dot
// before exactly three digits groups them; any other dot is a collector's
// decimal point. Nothing typed is read as another number.
TEST(ParseDecimal, ADotGroupsBeforeThreeDigitsAndIsTheDecimalPointElsewhere)
{
    const DecimalCase cases[] = {
        {"1.250", 1250},          {"12.500,5", 12500.5}, {"12.5", 12.5},        {"10.75", 10.75},
        {"1.234.567", 1234567},   {"1.250.5", 1250.5},   {"12.", 12},          {".", 0},
        {".5", 0.5},              {"1.2345", 1.2345},    {"-1.250", -1250},    {"1.250 TL", 1250},
        {"0.05", 0.05},           {"1.000.000,01", 1000000.01},
    };
    for (const auto& c : cases) EXPECT_EQ(parseDecimal(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(ParseDecimal, RejectsWithTheKeptTextInTheMessage)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"-", "'-' is not a valid floating point value"},
        {"+", "'+' is not a valid floating point value"},
        {"-kg", "'-' is not a valid floating point value"},
        {"1,2,3", "'1,2,3' is not a valid floating point value"},
        {"1.2,3 x,4", "'1,2,3,4' is not a valid floating point value"},
        {"12.5,3", "'12,5,3' is not a valid floating point value"},
        {"1.25.5", "'1,25,5' is not a valid floating point value"},
        {",,", "',,' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        try {
            parseDecimal(QString::fromUtf8(c.text));
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.text;
        }
    }
}

TEST(ParseDecimal, FollowsTheRegionalSeparators)
{
    const RegionalGuard point(pointDecimalSettings());
    EXPECT_EQ(parseDecimal(QStringLiteral("1,234.56")), 1234.56);
    EXPECT_EQ(parseDecimal(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(parseDecimal(QStringLiteral("1,250")), 1250);
    EXPECT_EQ(parseDecimal(QStringLiteral("1234,5")), 1234.5);
    EXPECT_THROW(parseDecimal(QStringLiteral("1.2.3")), ConversionError);
}

TEST(ParseInteger, KeepsSignAndDigits)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"", 0},          {"42", 42},         {"-5", -5},         {"+5", 5},
        {"x-5", 5},       {"12,5", 125},      {"1.000", 1000},    {"abc", 0},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"000000000000000000042", 42},
    };
    for (const auto& c : cases) EXPECT_EQ(parseInteger(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(ParseInteger, RejectsWithTheKeptTextInTheMessage)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"-", "'-' is not a valid integer value"},
        {"+,", "'+' is not a valid integer value"},
        {"2147483648", "'2147483648' is not a valid integer value"},
        {"-2.147.483.649", "'-2147483649' is not a valid integer value"},
        {"99999999999999999999", "'99999999999999999999' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            parseInteger(QString::fromUtf8(c.text));
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.text;
        }
    }
}

TEST(GeneralNumber, WritesOnlyTheDigitsNeeded)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1.35, "1,35"},
        {1234.5, "1234,5"},
        {5, "5"},
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0,5"},
        {-2.25, "-2,25"},
        {2021, "2021"},
        {1234567, "1234567"},
        {0.1 + 0.2, "0,3"},  // 0.30000000000000004 to 15 digits
        {1.0 / 3, "0,333333333333333"},
        {123456789012345, "123456789012345"},
        {1234567890123.45, "1234567890123,45"},
        {0.00001, "0,00001"},
        {-0.000012, "-0,000012"},
        {1e15, "1E15"},
        {-2.5e-6, "-2,5E-6"},
        {1.5e20, "1,5E20"},
    };
    for (const auto& c : cases) EXPECT_EQ(generalNumber(c.value), QString::fromUtf8(c.expected)) << c.value;
}

TEST(GeneralNumber, UsesTheRegionalDecimalSeparator)
{
    const RegionalGuard point(pointDecimalSettings());
    EXPECT_EQ(generalNumber(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(generalNumber(-0.25), QStringLiteral("-0.25"));
}

struct PatternCase {
    const char* pattern;
    double value;
    const char* expected;
};

// The cases name a pattern by the text it is known by.
const NumberPattern& named(const char* text)
{
    for (const NumberPattern* p : {&kAmountPattern, &kGridPattern, &kTypingPattern, &kFocusedTotalPattern})
        if (std::string(p->text) == text) return *p;
    throw std::invalid_argument(text);
}

void expectPatterns(const PatternCase* begin, const PatternCase* end)
{
    for (auto c = begin; c != end; ++c)
        EXPECT_EQ(formatFloat(named(c->pattern), c->value), QString::fromUtf8(c->expected))
            << c->pattern << " of " << c->value;
}

TEST(FormatFloat, PatternTable)
{
    const PatternCase cases[] = {
        {"#,##0.00", 0, "0,00"},   {"#,##0.00", 0.5, "0,50"},
        {"#,##0.00", 12, "12,00"}, {"#,##0.00", 1234.5, "1.234,50"}, {"#,##0.00", -1234.567, "-1.234,57"},
        {"#,###.00", 0, ",00"},    {"#,###.00", 0.5, ",50"},  {"#,###.00", 12, "12,00"},
        {"#,###.00", 1234.5, "1.234,50"}, {"#,###.00", -1234.567, "-1.234,57"},
        {"#.##", 0, ""},           {"#.##", 0.5, ",5"},        {"#.##", 12, "12"},
        {"#.##", 1234.5, "1234,5"}, {"#.##", -1234.567, "-1234,57"},
        {"#.00", 0, ",00"},        {"#.00", 0.5, ",50"},       {"#.00", 12, "12,00"},
        {"#.00", 1234.5, "1234,50"}, {"#.00", -1234.567, "-1234,57"},
    };
    expectPatterns(std::begin(cases), std::end(cases));
}

TEST(FormatFloat, RoundsHalfAwayFromZeroOnTheWrittenDigits)
{
    const PatternCase cases[] = {
        // Binary values just below the half: the written digits decide.
        {"#,##0.00", 2.675, "2,68"},
        {"#,##0.00", 1.005, "1,01"},
        {"#,##0.00", 1.015, "1,02"},
        {"#.##", 1.005, "1,01"},
        {"#,##0.00", 0.125, "0,13"},
        {"#,##0.00", -0.125, "-0,13"},
        {"#,##0.00", 0.005, "0,01"},
        {"#,##0.00", 0.0049, "0,00"},
        {"#,##0.00", 999.995, "1.000,00"},
        {"#,###.00", 0.994, ",99"},
        {"#,###.00", 0.995, "1,00"},
        {"#.##", 12.101, "12,1"},
        {"#.##", 12.996, "13"},
        {"#.##", 0.001, ""},
        // "-" only for a negative result.
        {"#,##0.00", -0.001, "0,00"},
        {"#,###.00", -0.004, ",00"},
        {"#.##", -0.001, ""},
        {"#.##", -0.5, "-,5"},
        {"#.00", -0.005, "-,01"},
        // Large values keep every written digit and their groups.
        {"#,##0.00", 1234567.891, "1.234.567,89"},
        {"#,##0.00", 1234567890123.45, "1.234.567.890.123,45"},
        {"#,##0.00", 123456789012345, "123.456.789.012.345,00"},
        {"#,###.00", 1e15, "1.000.000.000.000.000,00"},
        {"#,##0.00", 100, "100,00"},
        {"#,##0.00", 1000, "1.000,00"},
        {"#,##0.00", 100000, "100.000,00"},
    };
    expectPatterns(std::begin(cases), std::end(cases));
}

TEST(FormatFloat, ExchangesTheSeparatorsUnderPointDecimalSettings)
{
    const RegionalGuard point(pointDecimalSettings());
    const PatternCase cases[] = {
        {"#,##0.00", 1234.5, "1,234.50"}, {"#,###.00", 0.5, ".50"}, {"#.##", -1234.567, "-1234.57"},
        {"#.00", 1234567.5, "1234567.50"}, {"#,##0.00", 2.675, "2.68"},
    };
    expectPatterns(std::begin(cases), std::end(cases));
}

TEST(FormatFloat, TheFourPatternsWriteZeroAndAHalfEachTheirOwnWay)
{
    const PatternCase cases[] = {
        {"#,##0.00", 0, "0,00"}, {"#,###.00", 0, ",00"}, {"#.##", 0, ""}, {"#.00", 0, ",00"},
        {"#,##0.00", 1000.5, "1.000,50"}, {"#,###.00", 1000.5, "1.000,50"}, {"#.##", 1000.5, "1000,5"},
        {"#.00", 1000.5, "1000,50"},
    };
    expectPatterns(std::begin(cases), std::end(cases));
}

}  // namespace

// What a person adds up is what the list shows: the hundredths of a value
// are those its two-decimal text shows, near a half hundredth too.
TEST(ShownHundredths, AreTheHundredthsTheFigureShows)
{
    std::vector<double> values = {0, 0.005, -0.005, 1.005, 2.675, 0.285, 1.115, 1234567.895, -1234567.895, 1e-9,
                                  0.004999999999999, 12.344999999999, 87.53, 1e8 + 0.125, 999999999.995, 5e12};
    // Prices of up to three decimals times litres of one.
    for (int price = 1000; price < 1600; price += 7)
        for (int litres = 1; litres < 900; litres += 13) values.push_back(price / 1000.0 * (litres / 10.0));
    for (double value : values) {
        QString text = formatFloat(kAmountPattern, value);
        const qint64 shown = text.remove(QLatin1Char('.')).remove(QLatin1Char(',')).toLongLong();
        EXPECT_EQ(shownHundredths(value), shown) << value;
    }
}
