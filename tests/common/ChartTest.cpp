#include "common/Chart.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Round steps a reader counts along, from 0 or below to the highest value or above.
TEST(Chart, AnAxisRunsOverRoundStepsWithZeroOnIt)
{
    const struct { double lowest, highest; AxisScale scale; } cases[] = {
        {0, 2106.8, {0, 2500, 500}},   {1800, 2106.8, {0, 2500, 500}}, {-120.5, 6000, {-2000, 6000, 2000}},
        {-30, -4, {-30, 0, 10}},       {0, 7, {0, 8, 2}},              {0, 0, {0, 1, 1}},
    };
    for (const auto& c : cases) {
        const AxisScale s = axisScale(c.lowest, c.highest);
        EXPECT_EQ((std::vector<double>{s.low, s.high, s.step}), (std::vector<double>{c.scale.low, c.scale.high, c.scale.step}))
            << c.lowest << ".." << c.highest;
    }
}

}  // namespace
