#include "ledger/Rows.h"

#include <gtest/gtest.h>

namespace {

Money lira(const char* text)
{
    return Money::fromStored(QString::fromLatin1(text).toDouble());
}

// Every money figure of the day is to the kuruş, the halves add up to the
// day, and each margin is the factory value less the purchase value.
TEST(FactoryDay, TheHalvesAddUpToTheDayAndEveryMarginIsFactoryLessPurchase)
{
    const struct {
        const char* what;
        double sabahTutar, aksamTutar;  // exact sums of the day's rows
        double fiyat, sabahFabrika, aksamFabrika;
        const char *toplanan, *sabahToplanan, *aksamToplanan, *fabrika, *sabahFabrikaTutar, *kar;
    } cases[] = {
        // Rounded per half the day would be 2.585,61; its rows add up to 2.585,60.
        {"halves that round up apart", 1350.475, 1235.125, 13.5, 100, 91.5, "2585.60", "1350.48", "1235.12", "2585.25", "1350.00", "-0.35"},
        {"no milk taken", 0, 0, 12, 10, 0, "0", "0", "0", "120", "120", "120"},
        {"no price: no factory value", 50, 50, 0, 10, 10, "100", "50", "50", "0", "0", "-100"},
        {"only an evening delivery", 10, 20, 2, 0, 100, "30", "10", "20", "200", "0", "170"},
    };
    for (const auto& c : cases) {
        const Money sabah = Money::fromStored(c.sabahTutar);
        const FactoryDay day = factoryDay({1, 1, sabah, sabah + Money::fromStored(c.aksamTutar)}, c.fiyat, c.sabahFabrika, c.aksamFabrika);
        EXPECT_EQ(day.toplananTutar, lira(c.toplanan)) << c.what;
        EXPECT_EQ(day.sabahToplananTutar, lira(c.sabahToplanan)) << c.what;
        EXPECT_EQ(day.aksamToplananTutar, lira(c.aksamToplanan)) << c.what;
        EXPECT_EQ(day.fabrikaTutar, lira(c.fabrika)) << c.what;
        EXPECT_EQ(day.sabahFabrikaTutar, lira(c.sabahFabrikaTutar)) << c.what;
        EXPECT_EQ(day.kar, lira(c.kar)) << c.what;
        EXPECT_EQ(day.sabahToplananTutar + day.aksamToplananTutar, day.toplananTutar) << c.what;
        EXPECT_EQ(day.sabahFabrikaTutar + day.aksamFabrikaTutar, day.fabrikaTutar) << c.what;
        EXPECT_EQ(day.sabahKar + day.aksamKar, day.kar) << c.what;
        EXPECT_EQ(day.fabrikaTutar - day.toplananTutar, day.kar) << c.what;
    }
}

}  // namespace
