#include "common/Chart.h"

#include <gtest/gtest.h>

namespace {

// Round steps a reader counts along, from 0 or below to the highest value or above.
TEST(Chart, AnAxisRunsOverRoundStepsWithZeroOnIt)
{
    const struct {
        double lowest, highest;
        AxisScale scale;
    } cases[] = {
        {0, 2106.8, {0, 2500, 500}},
        {1800, 2106.8, {0, 2500, 500}},  // bars stand on 0
        {-120.5, 6000, {-2000, 6000, 2000}},
        {-30, -4, {-30, 0, 10}},
        {0, 7, {0, 8, 2}},
        {0, 0, {0, 1, 1}},  // nothing to show
    };
    for (const auto& c : cases) {
        const AxisScale scale = axisScale(c.lowest, c.highest);
        EXPECT_DOUBLE_EQ(scale.low, c.scale.low) << c.lowest << ".." << c.highest;
        EXPECT_DOUBLE_EQ(scale.high, c.scale.high) << c.lowest << ".." << c.highest;
        EXPECT_DOUBLE_EQ(scale.step, c.scale.step) << c.lowest << ".." << c.highest;
    }
}

TEST(Chart, TheChosenCategorysValuesAreWrittenOut)
{
    ChartData chart;
    chart.titles = {QStringLiteral("01.12.2026"), QStringLiteral("02.12.2026")};
    chart.bars = {{QStringLiteral("Toplanan"), QStringLiteral("L"), {2106.8, 1234.5}},
                  {QStringLiteral("Fabrika"), QStringLiteral("L"), {2086.0, std::nullopt}}};
    chart.line = ChartSeries{QStringLiteral("Fark Tutarı"), QStringLiteral("TL"), {-5780.744}};
    const struct {
        int category;
        const char* text;
    } cases[] = {
        {0, "01.12.2026  ·  Toplanan 2.106,80 L  ·  Fabrika 2.086,00 L  ·  Fark Tutarı -5.780,74 TL"},
        {1, "02.12.2026  ·  Toplanan 1.234,50 L  ·  Fabrika —  ·  Fark Tutarı —"},
        {2, ""},
        {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(chosenValues(chart, c.category), QString::fromUtf8(c.text)) << c.category;
}

}  // namespace
