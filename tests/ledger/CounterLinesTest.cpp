#include "ledger/CounterLines.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

const QDateTime kNow(QDate(2026, 12, 3), QTime(6, 30, 0));

LinePattern pattern(const char* text)
{
    const LinePattern::Parsed parsed = LinePattern::parse(QString::fromUtf8(text));
    EXPECT_TRUE(parsed.pattern.has_value()) << text << ": " << parsed.error.toStdString();
    return parsed.pattern.value_or(LinePattern{});
}

struct Expected {
    std::optional<double> fat, protein, kilograms;
    std::optional<bool> steady;
};

void expectReading(const std::optional<CounterReading>& got, const std::optional<Expected>& want, const std::string& what)
{
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (!got) return;
    EXPECT_EQ(got->fat, want->fat) << what;
    EXPECT_EQ(got->protein, want->protein) << what;
    EXPECT_EQ(got->kilograms, want->kilograms) << what;
    EXPECT_EQ(got->steady, want->steady) << what;
}

TEST(CounterLines, AnalyserAndScaleLinesReadByWhatSurroundsAFieldOrByItsColumns)
{
    const std::optional<Expected> none;
    const struct {
        const char* pattern;
        const char* line;
        std::optional<Expected> expected;
    } cases[] = {
        // Placed by the text around the fields.
        {"FAT={yag};PROTEIN={protein}", "FAT=3.85;PROTEIN=3.21", Expected{3.85, 3.21, {}, {}}},
        {"FAT={yag};PROTEIN={protein}", "FAT=3,85;PROTEIN=3,21", Expected{3.85, 3.21, {}, {}}},
        {"FAT={yag};PROTEIN={protein}", "fat= 3.85 ;Protein= + 3.21  ", Expected{3.85, 3.21, {}, {}}},
        {"FAT={yag};PROTEIN={protein}", "FAT=-0.5;PROTEIN=.75", Expected{-0.5, 0.75, {}, {}}},
        {"FAT={yag};PROTEIN={protein}", "FAT=3.85;PROTEIN=", none},
        {"FAT={yag};PROTEIN={protein}", "FAT=3.85", none},
        {"FAT={yag};PROTEIN={protein}", "FAT=3.8.5;PROTEIN=3.21", none},
        {"FAT={yag};PROTEIN={protein}", "XFAT=3.85;PROTEIN=3.21", none},  // read from the first character
        {"FAT={yag};PROTEIN={protein}", "FAT=3.85;PROTEIN=3.21;LAC=4.60", none},  // the last field takes the rest
        {"{yag};{protein};{*}", "3.85;3.21;4.60;8.50;1.0280", Expected{3.85, 3.21, {}, {}}},
        {"{*}FAT={yag};", "#12 FAT=4,1; SNF=8,5", Expected{4.1, {}, {}, {}}},
        // A comma that is both the decimal mark and the separator.
        {"{yag},{protein}", "3,85,3,21", Expected{3.85, 3.21, {}, {}}},
        {"{yag},{protein}", "12,5,3,2", Expected{12.5, 3.2, {}, {}}},
        {"{yag},{protein}", "3,85;3,21", none},
        {"{{{yag}}}", "{3.85}", Expected{3.85, {}, {}, {}}},
        // Placed by columns; what lies between and after them is not read.
        {"{yag@0-5}{protein@6-11}", "03.85 03.21", Expected{3.85, 3.21, {}, {}}},
        {"{yag@0-5}{protein@6-11}", "03,85|03,21 04,60 08,50", Expected{3.85, 3.21, {}, {}}},
        {"{yag@0-5}{protein@6-11}", " 3.85  3.21", Expected{3.85, 3.21, {}, {}}},
        {"{yag@0-5}{protein@6-11}", "-0.10 +3.2", Expected{-0.1, 3.2, {}, {}}},
        {"{yag@0-5}{protein@6-11}", "03.85", none},
        {"{yag@0-5}{protein@6-11}", "A3.85 03.21", none},
        // Both together.
        {"Y{yag@2-7}P{protein}", "Y:03.85P3.21", Expected{3.85, 3.21, {}, {}}},
        {"Y{yag@2-7}P{protein}", "Y:03.85 3.21", none},
        {"{yag}{protein@6-11}", "3.85  03.21", Expected{3.85, 3.21, {}, {}}},
        {"AB{yag@1-5}", "AB3.85", none},  // the column lies under the literal text
        // Scales: the steadiness mark, signs, spaces, both marks.
        {"{kararli=ST},{*},{kg}kg", "ST,GS,+0012.34kg", Expected{{}, {}, 12.34, true}},
        {"{kararli=ST},{*},{kg}kg", "US,GS,+0012.34kg", Expected{{}, {}, 12.34, false}},
        {"{kararli=ST},{*},{kg}kg", "OL,GS,+9999.99kg", Expected{{}, {}, 9999.99, false}},
        {"{kararli=ST},{*},{kg}kg", "ST,NT,-0001.20kg", Expected{{}, {}, -1.2, true}},
        {"{kararli=ST},{*},{kg}kg", "ST,GS,+  12.34 kg", Expected{{}, {}, 12.34, true}},
        {"{kararli=ST},{*},{kg}kg", "st,gs,+0012,34KG", Expected{{}, {}, 12.34, true}},
        {"{kararli=ST},{*},{kg}kg", "ST,GS,+0012.34", none},
        {"{kararli=ST},{*},{kg}kg", "ST,GS,+00.12.34kg", none},
        {"{kararli=ST},{*},{kg}kg", "ST,GS", none},
        {"{kararli},{*},{kg}kg", "ST,GS,+0012.34kg", Expected{{}, {}, 12.34, true}},
        {"{kg}kg", "   12.34 kg", Expected{{}, {}, 12.34, {}}},
        {"{kg@0-8}{kararli=S@9-10}", "  12.340 S", Expected{{}, {}, 12.34, true}},
        {"{kg@0-8}{kararli=S@9-10}", "  12.340 M", Expected{{}, {}, 12.34, false}},
        {"{kg@0-8}{kararli=S@9-10}", "  12.340", Expected{{}, {}, 12.34, false}},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.pattern) + " ← \"" + c.line + "\"";
        const QString line = QString::fromUtf8(c.line);
        const std::optional<CounterReading> got = readLine(pattern(c.pattern), line, kNow);
        expectReading(got, c.expected, what);
        if (got) {
            EXPECT_EQ(got->line, line) << what;
            EXPECT_EQ(got->at, kNow) << what;
        }
    }
}

// Each ready pattern reads the example its title shows.
TEST(CounterLines, EachReadyPatternReadsTheLineItsTitleShows)
{
    const struct {
        const QList<QPair<QString, QString>>& patterns;
        Expected expected;
    } devices[] = {
        {readyAnalyserPatterns(), {3.85, 3.21, {}, {}}},
        {readyScalePatterns(), {{}, {}, 12.34, {}}},
    };
    for (const auto& device : devices) {
        ASSERT_GE(device.patterns.size(), 2);
        for (const auto& [title, text] : device.patterns) {
            const std::string what = title.toStdString();
            const qsizetype open = title.indexOf(QLatin1Char('('));
            const qsizetype close = title.lastIndexOf(QLatin1Char(')'));
            ASSERT_TRUE(open > 0 && close > open) << what;
            const QString example = title.mid(open + 1, close - open - 1);
            const std::optional<CounterReading> got = readLine(pattern(text.toUtf8().constData()), example, kNow);
            ASSERT_TRUE(got.has_value()) << what;
            EXPECT_EQ(got->fat, device.expected.fat) << what;
            EXPECT_EQ(got->protein, device.expected.protein) << what;
            EXPECT_EQ(got->kilograms, device.expected.kilograms) << what;
            EXPECT_NE(got->steady, std::optional<bool>(false)) << what;
        }
    }
}

TEST(CounterLines, APatternThatCannotBeReadIsRefusedSayingSo)
{
    const char* bad[] = {
        "",
        "FAT=",
        "{*};{kararli}",
        "FAT={yag",
        "FAT=}{yag}",
        "{yag};{yağ}",
        "{kg};{kg}",
        "{yag}{protein}",
        "{kararli}{kg}kg",
        "{yag@5-3}",
        "{yag@4-4}",
        "{yag@0-300}",
        "{yag@a-5}",
        "{protein@6-11}{yag@0-5}",
        "{yag@0-6}{protein@5-11}",
        "{fat}",
        "{}",
        "{yag=ST}",
        "{kararli=},{kg}",
    };
    for (const char* text : bad) {
        const LinePattern::Parsed parsed = LinePattern::parse(QString::fromUtf8(text));
        EXPECT_FALSE(parsed.pattern.has_value()) << text;
        EXPECT_TRUE(parsed.error.startsWith(QStringLiteral("Desende "))) << text << ": " << parsed.error.toStdString();
    }
    // Names as the collector may type them, and braces as text.
    const std::pair<const char*, LinePattern::Field> good[] = {
        {"{YAG}", LinePattern::Field::Fat},           {"{yağ}", LinePattern::Field::Fat},
        {"{ kg @ 0 - 8 }", LinePattern::Field::Kilograms}, {"{kararlı},{kg}", LinePattern::Field::Steady},
        {"{{x}}{protein}", LinePattern::Field::Protein},
    };
    for (const auto& [text, field] : good) EXPECT_TRUE(pattern(text).reads(field)) << text;
}

CounterReading reading(std::optional<double> fat, std::optional<double> protein, int ageSeconds)
{
    return {fat, protein, {}, {}, kNow.addSecs(-ageSeconds), QStringLiteral("FAT=;PROTEIN=")};
}

TEST(CounterTakes, AnalysisIsTakenFreshWholeAndSaneRoundedAsTyped)
{
    const struct {
        const char* what;
        std::optional<CounterReading> last;
        std::optional<double> fat, protein;  // none: refused
    } cases[] = {
        {"nothing came", std::nullopt, {}, {}},
        {"just now", reading(3.85, 3.21, 0), 3.85, 3.21},
        {"two minutes ago", reading(3.85, 3.21, 120), 3.85, 3.21},
        {"two minutes and a second ago", reading(3.85, 3.21, 121), {}, {}},
        {"5 s ahead of the clock", reading(3.85, 3.21, -5), 3.85, 3.21},
        {"3 minutes ahead of the clock", reading(3.85, 3.21, -180), {}, {}},
        {"half a hundredth", reading(3.855, 3.205, 0), 3.86, 3.21},
        {"below half", reading(3.8549, 3.2049, 0), 3.85, 3.2},
        {"no fat", reading({}, 3.21, 0), {}, {}},
        {"no protein", reading(3.85, {}, 0), {}, {}},
        {"the bounds", reading(15, 10, 0), 15.0, 10.0},
        {"nought", reading(0, 0, 0), 0.0, 0.0},
        {"rounds onto the bound", reading(15.004, 10.004, 0), 15.0, 10.0},
        {"fat above 15", reading(15.01, 3.21, 0), {}, {}},
        {"protein above 10", reading(3.85, 10.2, 0), {}, {}},
        {"negative fat", reading(-0.5, 3.21, 0), {}, {}},
        {"negative protein", reading(3.85, -0.01, 0), {}, {}},
    };
    for (const auto& c : cases) {
        const Take<Analysis> got = takeAnalysis(c.last, kNow);
        ASSERT_EQ(got.value.has_value(), c.fat.has_value()) << c.what << ": " << got.refusal.toStdString();
        EXPECT_EQ(got.refusal.isEmpty(), got.value.has_value()) << c.what;
        if (!got) continue;
        EXPECT_EQ(got.value->fat, *c.fat) << c.what;
        EXPECT_EQ(got.value->protein, *c.protein) << c.what;
    }
    // A reading without a time is as old as can be.
    CounterReading timeless = reading(3.85, 3.21, 0);
    timeless.at = {};
    EXPECT_FALSE(takeAnalysis(timeless, kNow));

    // Each cause is told apart, so the collector knows what to mend.
    const std::optional<CounterReading> causes[] = {std::nullopt, reading(3.85, 3.21, 300), reading({}, 3.21, 0),
                                                    reading(3.85, {}, 0), reading(16, 3.21, 0)};
    QSet<QString> refusals;
    for (const auto& last : causes) refusals.insert(takeAnalysis(last, kNow).refusal);
    EXPECT_EQ(refusals.size(), qsizetype(std::size(causes)));
}

CounterReading weighing(std::optional<double> kg, std::optional<bool> steady, int ageSeconds = 0)
{
    return {{}, {}, kg, steady, kNow.addSecs(-ageSeconds), QStringLiteral("ST,GS,+0000.00kg")};
}

TEST(CounterTakes, WeightIsTakenSteadyFreshAndPositiveAsLitresAtTheDensity)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* what;
        std::optional<CounterReading> last;
        double density;
        std::optional<double> litres;  // by hand; none: refused
    } cases[] = {
        {"103 kg of milk", weighing(103, true), kDefaultDensity, 100.00},
        {"12.34 ÷ 1.03 = 11.98058…", weighing(12.34, true), 1.03, 11.98},
        {"10 ÷ 1.032 = 9.68992…", weighing(10, true), 1.032, 9.69},
        {"10.30515 ÷ 1.03 = 10.005", weighing(10.30515, true), 1.03, 10.01},
        {"25.75 ÷ 1 = 25.75", weighing(25.75, true), 1.0, 25.75},
        {"a scale without a mark", weighing(20.6, std::nullopt), 1.03, 20.00},
        {"two minutes ago", weighing(20.6, true, 120), 1.03, 20.00},
        {"two minutes and a second ago", weighing(20.6, true, 121), 1.03, {}},
        {"not steady", weighing(20.6, false), 1.03, {}},
        {"nought", weighing(0, true), 1.03, {}},
        {"less than half a hundredth of a litre", weighing(0.005, true), 1.03, {}},
        {"negative", weighing(-1.2, true), 1.03, {}},
        {"no weight in the line", weighing({}, true), 1.03, {}},
        {"nothing came", std::nullopt, 1.03, {}},
        {"no density", weighing(20.6, true), 0, {}},
        {"density of water and a half", weighing(20.6, true), 1.5, {}},
        {"density not a number", weighing(20.6, true), nan, {}},
    };
    for (const auto& c : cases) {
        const Take<double> got = takeWeight(c.last, kNow, c.density);
        ASSERT_EQ(got.value.has_value(), c.litres.has_value()) << c.what << ": " << got.refusal.toStdString();
        EXPECT_EQ(got.refusal.isEmpty(), got.value.has_value()) << c.what;
        EXPECT_EQ(got.value, c.litres) << c.what;
    }
    EXPECT_EQ(takeWeight(weighing(103, true), kNow).value, 100.0) << "the default density";

    const std::optional<CounterReading> causes[] = {std::nullopt, weighing(20.6, true, 300), weighing(20.6, false),
                                                    weighing(-1, true), weighing({}, true)};
    QSet<QString> refusals;
    for (const auto& last : causes) refusals.insert(takeWeight(last, kNow).refusal);
    EXPECT_EQ(refusals.size(), qsizetype(std::size(causes)));
}

TEST(LineCollector, LinesEndWithCrLfOrBothAndComeWholeHoweverTheBytesAreCut)
{
    const QByteArray longest(LineCollector::kMaxLineBytes, 'x');
    const QByteArray tooLong(LineCollector::kMaxLineBytes + 1, 'x');
    const struct {
        const char* what;
        std::vector<QByteArray> feeds;
        QStringList lines;
    } cases[] = {
        {"LF", {"FAT=3.85\nFAT=3.90\n"}, {"FAT=3.85", "FAT=3.90"}},
        {"CR", {"FAT=3.85\rFAT=3.90\r"}, {"FAT=3.85", "FAT=3.90"}},
        {"CRLF", {"FAT=3.85\r\nFAT=3.90\r\n"}, {"FAT=3.85", "FAT=3.90"}},
        {"CRLF cut between its bytes", {"FAT=3.85\r", "\nFAT=3.90\r", "\n"}, {"FAT=3.85", "FAT=3.90"}},
        {"a line in pieces", {"ST,GS,+00", "12.3", "4kg\r", "\n"}, {"ST,GS,+0012.34kg"}},
        {"an unended line waits", {"ST,GS,+0012.34kg\r\nST,GS,+00"}, {"ST,GS,+0012.34kg"}},
        {"one byte at a time", {"a", "b", "\r", "\n", "c", "\n"}, {"ab", "c"}},
        {"blank lines", {"\r\n\r\n  \n\t\r"}, {}},
        {"STX/ETX framing", {"\x02ST,GS,+0012.34kg\x03\r\n"}, {"ST,GS,+0012.34kg"}},
        {"Latin-1", {"Ya\xf0: 3,85\n"}, {QString::fromUtf8("Yað: 3,85")}},
        {"a tab kept", {"3.85\t3.21\n"}, {"3.85\t3.21"}},
        {"the longest line", {longest + "\n"}, {QString::fromLatin1(longest)}},
        {"one byte too long", {tooLong + "\nok\n"}, {"ok"}},
        {"garbage dropped to its end", {tooLong + "tail\r\nok\r\n"}, {"ok"}},
        {"garbage over feeds", {longest, longest, "tail", "\nok\n"}, {"ok"}},
        {"garbage after a line", {"ok\n" + tooLong + tooLong, "\rnext\r"}, {"ok", "next"}},
    };
    for (const auto& c : cases) {
        LineCollector collector;
        QStringList got;
        for (const QByteArray& bytes : c.feeds) {
            collector.feed(bytes);
            while (const std::optional<QString> line = collector.takeLine()) got << *line;
        }
        EXPECT_EQ(got, c.lines) << c.what;
        EXPECT_FALSE(collector.takeLine().has_value()) << c.what;
    }

    // A burst of many lines in one read, each kept in order.
    LineCollector collector;
    QByteArray burst;
    for (int i = 0; i < 200; ++i) burst += "ST,GS,+" + QByteArray::number(i) + ".00kg" + (i % 2 ? "\r\n" : "\n");
    collector.feed(burst);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(collector.takeLine(), QStringLiteral("ST,GS,+%1.00kg").arg(i)) << i;
    EXPECT_FALSE(collector.takeLine().has_value());
}

}  // namespace
