#include "ledger/CounterLines.h"

#include <gtest/gtest.h>

#include <QSet>
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

struct Expected { std::optional<double> fat, protein, kilograms; std::optional<bool> steady; };
Expected A(double fat, std::optional<double> protein = {}) { return {fat, protein, {}, {}}; }
Expected W(double kg, bool steady) { return {{}, {}, kg, steady}; }
const std::optional<Expected> no;

TEST(CounterLines, AnalyserAndScaleLinesReadByWhatSurroundsAFieldOrByItsColumns)
{
    const char *fp = "FAT={yag};PROTEIN={protein}", *cols = "{yag@0-5}{protein@6-11}", *st = "{kararli=ST},{*},{kg}kg",
               *sc = "{kg@0-8}{kararli=S@9-10}";
    const struct { const char *pattern, *line; std::optional<Expected> expected; } cases[] = {
        {fp, "FAT=3,85;PROTEIN=3,21", A(3.85, 3.21)}, {fp, "fat= 3.85 ;Protein= + 3.21  ", A(3.85, 3.21)},
        {fp, "FAT=-0.5;PROTEIN=.75", A(-0.5, 0.75)}, {fp, "FAT=3.85", no}, {fp, "FAT=3.8.5;PROTEIN=3.21", no},
        {fp, "XFAT=3.85;PROTEIN=3.21", no}, {fp, "FAT=3.85;PROTEIN=3.21;LAC=4.60", no},  // anchored both ends
        {"{yag};{protein};{*}", "3.85;3.21;4.60;8.50;1.0280", A(3.85, 3.21)},
        {"{*}FAT={yag};", "#12 FAT=4,1; SNF=8,5", A(4.1)}, {"{{{yag}}}", "{3.85}", A(3.85)},
        // The comma is both decimal mark and separator: each place of it is tried.
        {"{yag},{protein}", "3,85,3,21", A(3.85, 3.21)}, {"{yag},{protein}", "12,5,3,2", A(12.5, 3.2)},
        {"{yag},{protein}", "3,85;3,21", no},
        // Columns: what lies between and after them is not read.
        {cols, "03,85|03,21 04,60 08,50", A(3.85, 3.21)}, {cols, "-0.10 +3.2", A(-0.1, 3.2)}, {cols, "03.85", no},
        {cols, "A3.85 03.21", no}, {"Y{yag@2-7}P{protein}", "Y:03.85P3.21", A(3.85, 3.21)},
        {"Y{yag@2-7}P{protein}", "Y:03.85 3.21", no}, {"{yag}{protein@6-11}", "3.85  03.21", A(3.85, 3.21)},
        {"AB{yag@1-5}", "AB3.85", no},  // the column lies under the literal text
        // Scales: the steadiness mark, signs, spaces, both marks.
        {st, "ST,GS,+0012.34kg", W(12.34, true)}, {st, "US,GS,+0012.34kg", W(12.34, false)},
        {st, "ST,NT,-0001.20kg", W(-1.2, true)}, {st, "st,gs,+  12,34 KG", W(12.34, true)}, {st, "ST,GS,+0012.34", no},
        {"{kararli},{*},{kg}kg", "ST,GS,+0012.34kg", W(12.34, true)}, {sc, "  12.340 S", W(12.34, true)},
        {sc, "  12.340 M", W(12.34, false)}, {sc, "  12.340", W(12.34, false)},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf8(c.line);
        const std::optional<CounterReading> got = readLine(pattern(c.pattern), line, kNow);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.pattern << " ← " << c.line;
        if (const Expected* want = c.expected ? &*c.expected : nullptr)
            EXPECT_EQ(std::tie(got->fat, got->protein, got->kilograms, got->steady, got->line, got->at),
                      std::tie(want->fat, want->protein, want->kilograms, want->steady, line, kNow)) << c.line;
    }
    // Each ready pattern reads the example in its title's parentheses.
    for (const auto* ready : {&readyAnalyserPatterns(), &readyScalePatterns()})
        for (const auto& [title, text] : *ready) {
            const qsizetype open = title.indexOf(QLatin1Char('(')), close = title.lastIndexOf(QLatin1Char(')'));
            const auto got = readLine(pattern(text.toUtf8()), title.mid(open + 1, close - open - 1), kNow);
            ASSERT_TRUE(got.has_value()) << title.toStdString();
            EXPECT_TRUE(got->kilograms ? *got->kilograms == 12.34 : got->fat == 3.85 && got->protein == 3.21);
            EXPECT_NE(got->steady, false) << title.toStdString();
        }
}

TEST(CounterLines, APatternThatCannotBeReadIsRefusedSayingSo)
{
    for (const char* text : {"", "FAT=", "{*};{kararli}", "FAT={yag", "FAT=}{yag}", "{yag};{yağ}", "{kg};{kg}",
                             "{yag}{protein}", "{kararli}{kg}kg", "{yag@5-3}", "{yag@4-4}", "{yag@0-300}", "{yag@a-5}",
                             "{protein@6-11}{yag@0-5}", "{yag@0-6}{protein@5-11}", "{fat}", "{}", "{yag=ST}",
                             "{kararli=},{kg}"}) {
        const LinePattern::Parsed parsed = LinePattern::parse(QString::fromUtf8(text));
        EXPECT_TRUE(!parsed.pattern && !parsed.error.isEmpty()) << text;
    }
    // Names as the collector may type them, and braces as text.
    using F = LinePattern::Field;
    for (const auto& [text, field] : {std::pair("{YAG}", F::Fat), {"{yağ}", F::Fat}, {"{ kg @ 0 - 8 }", F::Kilograms},
                                      {"{kararlı},{kg}", F::Steady}, {"{{x}}{protein}", F::Protein}})
        EXPECT_TRUE(pattern(text).reads(field)) << text;
}

CounterReading reading(std::optional<double> fat, std::optional<double> protein, int age = 0)
{ return {fat, protein, {}, {}, kNow.addSecs(-age), QStringLiteral("FAT=;PROTEIN=")}; }
CounterReading weighing(std::optional<double> kg, std::optional<bool> steady, int age = 0)
{ return {{}, {}, kg, steady, kNow.addSecs(-age), QStringLiteral("ST,GS,+0000.00kg")}; }

// A take is refused exactly when it says why, and each cause is told differently.
template <typename Take>
void expectCausesDistinct(const std::vector<std::optional<CounterReading>>& causes, Take take)
{
    QSet<QString> refusals;
    for (const auto& last : causes) refusals.insert(take(last).refusal);
    EXPECT_EQ(refusals.size(), qsizetype(causes.size()));
}

TEST(CounterTakes, AnalysisIsTakenFreshWholeAndSaneRoundedAsTyped)
{
    CounterReading timeless = reading(3.85, 3.21);
    timeless.at = {};  // as old as can be
    const struct { std::optional<CounterReading> last; std::optional<double> fat, protein; } cases[] = {  // none: refused
        {std::nullopt, {}, {}}, {timeless, {}, {}}, {reading(3.85, 3.21, 120), 3.85, 3.21}, {reading(3.85, 3.21, 121), {}, {}},
        {reading(3.85, 3.21, -5), 3.85, 3.21}, {reading(3.85, 3.21, -180), {}, {}}, {reading(3.855, 3.205), 3.86, 3.21},
        {reading(3.8549, 3.2049), 3.85, 3.2}, {reading({}, 3.21), {}, {}}, {reading(3.85, {}), {}, {}},
        {reading(0, 0), 0.0, 0.0}, {reading(15.004, 10.004), 15.0, 10.0}, {reading(15.01, 3.21), {}, {}},
        {reading(3.85, 10.2), {}, {}}, {reading(-0.5, 3.21), {}, {}}, {reading(3.85, -0.01), {}, {}},
    };
    for (const auto& c : cases) {
        const Take<Analysis> got = takeAnalysis(c.last, kNow);
        const auto row = "row " + std::to_string(&c - cases) + ": " + got.refusal.toStdString();
        ASSERT_EQ(got.value.has_value(), c.fat.has_value()) << row;
        EXPECT_EQ(got.refusal.isEmpty(), got.value.has_value()) << row;
        if (got) EXPECT_EQ(std::pair(got.value->fat, got.value->protein), std::pair(*c.fat, *c.protein)) << row;
    }
    expectCausesDistinct({std::nullopt, reading(3.85, 3.21, 300), reading({}, 3.21), reading(3.85, {}), reading(16, 3.21)},
                          [](const auto& last) { return takeAnalysis(last, kNow); });
}

TEST(CounterTakes, WeightIsTakenSteadyFreshAndPositiveAsLitresAtTheDensity)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { std::optional<CounterReading> last; double density; std::optional<double> litres; } cases[] = {
        {weighing(12.34, true), 1.03, 11.98},  // worked by hand; none: refused
        {weighing(10, true), 1.032, 9.69}, {weighing(10.30515, true), 1.03, 10.01},
        {weighing(20.6, std::nullopt), 1.03, 20.00}, {weighing(20.6, true, 120), 1.03, 20.00},
        {weighing(20.6, true, 121), 1.03, {}}, {weighing(20.6, false), 1.03, {}}, {weighing(0, true), 1.03, {}},
        {weighing(0.005, true), 1.03, {}}, {weighing(-1.2, true), 1.03, {}}, {weighing({}, true), 1.03, {}},
        {std::nullopt, 1.03, {}}, {weighing(20.6, true), 0, {}}, {weighing(20.6, true), 1.5, {}},
        {weighing(20.6, true), nan, {}},
    };
    for (const auto& c : cases) {
        const Take<double> got = takeWeight(c.last, kNow, c.density);
        EXPECT_EQ(got.value, c.litres) << "row " << &c - cases << ": " << got.refusal.toStdString();
        EXPECT_EQ(got.refusal.isEmpty(), got.value.has_value()) << "row " << &c - cases;
    }
    EXPECT_EQ(takeWeight(weighing(103, true), kNow).value, 100.0) << "the default density";
    expectCausesDistinct({std::nullopt, weighing(20.6, true, 300), weighing(20.6, false), weighing(-1, true), weighing({}, true)},
                          [](const auto& last) { return takeWeight(last, kNow); });
}

TEST(LineCollector, LinesEndWithCrLfOrBothAndComeWholeHoweverTheBytesAreCut)
{
    const QByteArray longest(LineCollector::kMaxLineBytes, 'x'), tooLong(LineCollector::kMaxLineBytes + 1, 'x');
    QByteArray burst;
    QStringList burstLines;
    for (int i = 0; i < 200; ++i)
        burst += (burstLines << QStringLiteral("ST,GS,+%1.00kg").arg(i)).last().toLatin1() + (i % 2 ? "\r\n" : "\n");
    const std::pair<std::vector<QByteArray>, QStringList> cases[] = {
        {{"a\nb\rc\r\nd\n"}, {"a", "b", "c", "d"}}, {{"FAT=3.85\r", "\nFAT=3.90\r", "\n"}, {"FAT=3.85", "FAT=3.90"}},
        {{"ST,GS,+00", "12.3", "4kg\r", "\nST,GS"}, {"ST,GS,+0012.34kg"}},  // an unended line waits
        {{"\r\n\r\n  \n\t\r\x02ST,GS,+0012.34kg\x03\r\n"}, {"ST,GS,+0012.34kg"}},  // blanks and STX/ETX dropped
        {{"Ya\xf0:\t3,85\n"}, {QString::fromUtf8("Yað:\t3,85")}}, {{longest + "\n"}, {QString::fromLatin1(longest)}},
        // An over-long line is dropped up to its end, however it is fed.
        {{tooLong + "tail\r\nok\r\n"}, {"ok"}}, {{longest, longest, "tail", "\nok\n"}, {"ok"}},
        {{"ok\n" + tooLong + tooLong, "\rnext\r"}, {"ok", "next"}}, {{burst}, burstLines},
    };
    for (const auto& c : cases) {
        LineCollector collector;
        QStringList got;
        for (const QByteArray& bytes : c.first)
            for (collector.feed(bytes); const std::optional<QString> line = collector.takeLine();) got << *line;
        EXPECT_EQ(got, c.second) << "row " << &c - cases;
    }
}

}  // namespace
