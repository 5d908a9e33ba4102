#include "ledger/CounterLines.h"

#include <gtest/gtest.h>

#include <QSet>

#include <limits>
#include <optional>
#include <vector>

namespace {

const QDateTime kNow(QDate(2026, 12, 3), QTime(6, 30, 0));

LinePattern pattern(const QString& text)
{
    const LinePattern::Parsed parsed = LinePattern::parse(text);
    EXPECT_TRUE(parsed.pattern.has_value()) << text.toStdString() << ": " << parsed.error.toStdString();
    return parsed.pattern.value_or(LinePattern{});
}

struct Expected {
    std::optional<double> fat, protein, kilograms;
    std::optional<bool> steady;
};
Expected A(double fat, std::optional<double> protein = {}) { return {fat, protein, {}, {}}; }
Expected W(double kg, std::optional<bool> steady = {}) { return {{}, {}, kg, steady}; }
const std::optional<Expected> no;

TEST(CounterLines, AnalyserAndScaleLinesReadByWhatSurroundsAFieldOrByItsColumns)
{
    const struct {
        const char *pattern, *line;
        std::optional<Expected> expected;
    } cases[] = {
        {"FAT={yag};PROTEIN={protein}", "FAT=3,85;PROTEIN=3,21", A(3.85, 3.21)},
        {"FAT={yag};PROTEIN={protein}", "fat= 3.85 ;Protein= + 3.21  ", A(3.85, 3.21)},
        {"FAT={yag};PROTEIN={protein}", "FAT=-0.5;PROTEIN=.75", A(-0.5, 0.75)},
        {"FAT={yag};PROTEIN={protein}", "FAT=3.85", no}, {"FAT={yag};PROTEIN={protein}", "FAT=3.8.5;PROTEIN=3.21", no},
        {"FAT={yag};PROTEIN={protein}", "XFAT=3.85;PROTEIN=3.21", no},           // read from the first character
        {"FAT={yag};PROTEIN={protein}", "FAT=3.85;PROTEIN=3.21;LAC=4.60", no},  // the last field takes the rest
        {"{yag};{protein};{*}", "3.85;3.21;4.60;8.50;1.0280", A(3.85, 3.21)},
        {"{*}FAT={yag};", "#12 FAT=4,1; SNF=8,5", A(4.1)},
        // The comma both decimal mark and separator: each place of it is tried.
        {"{yag},{protein}", "3,85,3,21", A(3.85, 3.21)},
        {"{yag},{protein}", "12,5,3,2", A(12.5, 3.2)}, {"{yag},{protein}", "3,85;3,21", no},
        {"{{{yag}}}", "{3.85}", A(3.85)},
        // Columns: what lies between and after them is not read.
        {"{yag@0-5}{protein@6-11}", "03,85|03,21 04,60 08,50", A(3.85, 3.21)},
        {"{yag@0-5}{protein@6-11}", "-0.10 +3.2", A(-0.1, 3.2)},
        {"{yag@0-5}{protein@6-11}", "03.85", no}, {"{yag@0-5}{protein@6-11}", "A3.85 03.21", no},
        {"Y{yag@2-7}P{protein}", "Y:03.85P3.21", A(3.85, 3.21)},
        {"Y{yag@2-7}P{protein}", "Y:03.85 3.21", no},
        {"{yag}{protein@6-11}", "3.85  03.21", A(3.85, 3.21)},
        {"AB{yag@1-5}", "AB3.85", no},  // the column lies under the literal text
        // Scales: the steadiness mark, signs, spaces, both marks.
        {"{kararli=ST},{*},{kg}kg", "ST,GS,+0012.34kg", W(12.34, true)},
        {"{kararli=ST},{*},{kg}kg", "US,GS,+0012.34kg", W(12.34, false)},
        {"{kararli=ST},{*},{kg}kg", "ST,NT,-0001.20kg", W(-1.2, true)},
        {"{kararli=ST},{*},{kg}kg", "st,gs,+  12,34 KG", W(12.34, true)},
        {"{kararli=ST},{*},{kg}kg", "ST,GS,+0012.34", no}, {"{kararli=ST},{*},{kg}kg", "ST,GS,+00.12.34kg", no},
        {"{kararli},{*},{kg}kg", "ST,GS,+0012.34kg", W(12.34, true)},
        {"{kg@0-8}{kararli=S@9-10}", "  12.340 S", W(12.34, true)},
        {"{kg@0-8}{kararli=S@9-10}", "  12.340 M", W(12.34, false)},
        {"{kg@0-8}{kararli=S@9-10}", "  12.340", W(12.34, false)},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.pattern) + " ← \"" + c.line + "\"";
        const QString line = QString::fromUtf8(c.line);
        const std::optional<CounterReading> got = readLine(pattern(QString::fromUtf8(c.pattern)), line, kNow);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << what;
        if (!got) continue;
        const Expected& want = *c.expected;
        EXPECT_EQ(std::tie(got->fat, got->protein, got->kilograms, got->steady),
                  std::tie(want.fat, want.protein, want.kilograms, want.steady)) << what;
        EXPECT_EQ(std::tie(got->line, got->at), std::tie(line, kNow)) << what;
    }
    // Each ready pattern reads the example its title shows, in parentheses.
    for (const auto* ready : {&readyAnalyserPatterns(), &readyScalePatterns()}) {
        for (const auto& [title, text] : *ready) {
            const qsizetype open = title.indexOf(QLatin1Char('(')), close = title.lastIndexOf(QLatin1Char(')'));
            const auto got = readLine(pattern(text), title.mid(open + 1, close - open - 1), kNow);
            ASSERT_TRUE(got.has_value()) << title.toStdString();
            EXPECT_TRUE(got->kilograms ? *got->kilograms == 12.34 : got->fat == 3.85 && got->protein == 3.21);
            EXPECT_NE(got->steady, false) << title.toStdString();
        }
    }
}

TEST(CounterLines, APatternThatCannotBeReadIsRefusedSayingSo)
{
    for (const char* text : {"", "FAT=", "{*};{kararli}", "FAT={yag", "FAT=}{yag}", "{yag};{yağ}", "{kg};{kg}",
                             "{yag}{protein}", "{kararli}{kg}kg", "{yag@5-3}", "{yag@4-4}", "{yag@0-300}", "{yag@a-5}",
                             "{protein@6-11}{yag@0-5}", "{yag@0-6}{protein@5-11}", "{fat}", "{}", "{yag=ST}",
                             "{kararli=},{kg}"}) {
        const LinePattern::Parsed parsed = LinePattern::parse(QString::fromUtf8(text));
        EXPECT_FALSE(parsed.pattern.has_value()) << text;
        EXPECT_FALSE(parsed.error.isEmpty()) << text;
    }
    // Names as the collector may type them, and braces as text.
    using F = LinePattern::Field;
    const std::pair<const char*, F> good[] = {{"{YAG}", F::Fat}, {"{yağ}", F::Fat}, {"{ kg @ 0 - 8 }", F::Kilograms},
                                              {"{kararlı},{kg}", F::Steady}, {"{{x}}{protein}", F::Protein}};
    for (const auto& [text, field] : good) EXPECT_TRUE(pattern(QString::fromUtf8(text)).reads(field)) << text;
}

CounterReading reading(std::optional<double> fat, std::optional<double> protein, int ageSeconds = 0)
{
    return {fat, protein, {}, {}, kNow.addSecs(-ageSeconds), QStringLiteral("FAT=;PROTEIN=")};
}
CounterReading weighing(std::optional<double> kg, std::optional<bool> steady, int ageSeconds = 0)
{
    return {{}, {}, kg, steady, kNow.addSecs(-ageSeconds), QStringLiteral("ST,GS,+0000.00kg")};
}

// Each refusal names its own cause, so the collector knows what to mend.
template <typename Take>
void expectCausesToldApart(const std::vector<std::optional<CounterReading>>& causes, Take take)
{
    QSet<QString> refusals;
    for (const auto& last : causes) refusals.insert(take(last).refusal);
    EXPECT_EQ(refusals.size(), qsizetype(causes.size()));
}

TEST(CounterTakes, AnalysisIsTakenFreshWholeAndSaneRoundedAsTyped)
{
    const struct {
        const char* what;
        std::optional<CounterReading> last;
        std::optional<double> fat, protein;  // none: refused
    } cases[] = {
        {"nothing came", std::nullopt, {}, {}},
        {"exactly two minutes ago", reading(3.85, 3.21, 120), 3.85, 3.21}, {"a second more", reading(3.85, 3.21, 121), {}, {}},
        {"5 s ahead of the clock", reading(3.85, 3.21, -5), 3.85, 3.21}, {"3 min ahead", reading(3.85, 3.21, -180), {}, {}},
        {"half a hundredth", reading(3.855, 3.205), 3.86, 3.21}, {"below half", reading(3.8549, 3.2049), 3.85, 3.2},
        {"no fat", reading({}, 3.21), {}, {}}, {"no protein", reading(3.85, {}), {}, {}},
        {"nought", reading(0, 0), 0.0, 0.0}, {"rounds onto the bounds", reading(15.004, 10.004), 15.0, 10.0},
        {"fat above 15", reading(15.01, 3.21), {}, {}}, {"protein above 10", reading(3.85, 10.2), {}, {}},
        {"negative fat", reading(-0.5, 3.21), {}, {}}, {"negative protein", reading(3.85, -0.01), {}, {}},
    };
    for (const auto& c : cases) {
        const Take<Analysis> got = takeAnalysis(c.last, kNow);
        ASSERT_EQ(got.value.has_value(), c.fat.has_value()) << c.what << ": " << got.refusal.toStdString();
        EXPECT_EQ(got.refusal.isEmpty(), got.value.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(std::pair(got.value->fat, got.value->protein), std::pair(*c.fat, *c.protein)) << c.what;
        }
    }
    CounterReading timeless = reading(3.85, 3.21);
    timeless.at = {};
    EXPECT_FALSE(takeAnalysis(timeless, kNow)) << "a reading without a time is as old as can be";
    expectCausesToldApart({std::nullopt, reading(3.85, 3.21, 300), reading({}, 3.21), reading(3.85, {}), reading(16, 3.21)},
                          [](const auto& last) { return takeAnalysis(last, kNow); });
}

TEST(CounterTakes, WeightIsTakenSteadyFreshAndPositiveAsLitresAtTheDensity)
{
    const struct {
        const char* what;
        std::optional<CounterReading> last;
        double density;
        std::optional<double> litres;  // by hand; none: refused
    } cases[] = {
        {"12.34 ÷ 1.03 = 11.98058…", weighing(12.34, true), 1.03, 11.98},
        {"10 ÷ 1.032 = 9.68992…", weighing(10, true), 1.032, 9.69},
        {"10.30515 ÷ 1.03 = 10.005", weighing(10.30515, true), 1.03, 10.01},
        {"a scale without a mark", weighing(20.6, std::nullopt), 1.03, 20.00},
        {"exactly two minutes ago", weighing(20.6, true, 120), 1.03, 20.00}, {"a second more", weighing(20.6, true, 121), 1.03, {}},
        {"not steady", weighing(20.6, false), 1.03, {}}, {"nought", weighing(0, true), 1.03, {}},
        {"under half a hundredth of a litre", weighing(0.005, true), 1.03, {}}, {"negative", weighing(-1.2, true), 1.03, {}},
        {"no weight in the line", weighing({}, true), 1.03, {}}, {"nothing came", std::nullopt, 1.03, {}},
        {"no density", weighing(20.6, true), 0, {}}, {"density 1.5", weighing(20.6, true), 1.5, {}},
        {"density not a number", weighing(20.6, true), std::numeric_limits<double>::quiet_NaN(), {}},
    };
    for (const auto& c : cases) {
        const Take<double> got = takeWeight(c.last, kNow, c.density);
        EXPECT_EQ(got.value, c.litres) << c.what << ": " << got.refusal.toStdString();
        EXPECT_EQ(got.refusal.isEmpty(), got.value.has_value()) << c.what;
    }
    EXPECT_EQ(takeWeight(weighing(103, true), kNow).value, 100.0) << "the default density";
    expectCausesToldApart({std::nullopt, weighing(20.6, true, 300), weighing(20.6, false), weighing(-1, true), weighing({}, true)},
                          [](const auto& last) { return takeWeight(last, kNow); });
}

TEST(LineCollector, LinesEndWithCrLfOrBothAndComeWholeHoweverTheBytesAreCut)
{
    const QByteArray longest(LineCollector::kMaxLineBytes, 'x'), tooLong(LineCollector::kMaxLineBytes + 1, 'x');
    QByteArray burst;
    QStringList burstLines;
    for (int i = 0; i < 200; ++i) {
        burstLines << QStringLiteral("ST,GS,+%1.00kg").arg(i);
        burst += burstLines.last().toLatin1() + (i % 2 ? "\r\n" : "\n");
    }
    const struct {
        const char* what;
        std::vector<QByteArray> feeds;
        QStringList lines;
    } cases[] = {
        {"LF, CR, CRLF", {"a\nb\rc\r\nd\n"}, {"a", "b", "c", "d"}},
        {"CRLF cut between its bytes", {"FAT=3.85\r", "\nFAT=3.90\r", "\n"}, {"FAT=3.85", "FAT=3.90"}},
        {"a line in pieces, an unended one waits", {"ST,GS,+00", "12.3", "4kg\r", "\nST,GS"}, {"ST,GS,+0012.34kg"}},
        {"blank lines left out, STX/ETX framing too", {"\r\n\r\n  \n\t\r\x02ST,GS,+0012.34kg\x03\r\n"}, {"ST,GS,+0012.34kg"}},
        {"Latin-1, a tab kept", {"Ya\xf0:\t3,85\n"}, {QString::fromUtf8("Yað:\t3,85")}},
        {"the longest line", {longest + "\n"}, {QString::fromLatin1(longest)}},
        {"garbage dropped to its end", {tooLong + "tail\r\nok\r\n"}, {"ok"}},
        {"garbage over feeds", {longest, longest, "tail", "\nok\n"}, {"ok"}},
        {"garbage after a line", {"ok\n" + tooLong + tooLong, "\rnext\r"}, {"ok", "next"}},
        {"a burst in one read, in order", {burst}, burstLines},
    };
    for (const auto& c : cases) {
        LineCollector collector;
        QStringList got;
        for (const QByteArray& bytes : c.feeds) {
            collector.feed(bytes);
            while (const std::optional<QString> line = collector.takeLine()) got << *line;
        }
        EXPECT_EQ(got, c.lines) << c.what;
    }
}

}  // namespace
