#include "common/Money.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Sums a person checks by hand: each stored double taken as the decimal it
// shows, no binary drift, a half rounded away from zero once.
TEST(Money, SumsOfStoredAmountsRoundOnceToTheKurus)
{
    const struct {
        std::vector<double> amounts;
        qint64 kurus;
        const char* shown;
    } cases[] = {
        {{}, 0, "0,00"},
        {{0.1, 0.2}, 30, "0,30"},
        {{151.29, 151.29, 151.29}, 45387, "453,87"},
        {{1234.555}, 123456, "1.234,56"},                // a stored ...,555 is no ...,5549 to the program
        {{-1234.555}, -123456, "-1.234,56"},
        {{0.005, 0.005}, 1, "0,01"},                     // rounded once, after the sum
        {{16.455885, 16.455885}, 3291, "32,91"},
        {{1e7, -0.004}, 1000000000, "10.000.000,00"},
        {{80158.475, -0.001}, 8015847, "80.158,47"},
    };
    for (const auto& c : cases) {
        Money sum;
        for (const double a : c.amounts) sum += Money::fromStored(a);
        EXPECT_EQ(sum.kurus(), c.kurus) << c.shown;
        EXPECT_EQ(sum.text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(sum.isZero(), c.kurus == 0);
        EXPECT_EQ(sum.isNegative(), c.kurus < 0);
        EXPECT_EQ(sum.negated().kurus(), -c.kurus);
    }
    EXPECT_EQ(Money::fromKurus(-123456).plainText(), QStringLiteral("-1234,56"));
}

}  // namespace
