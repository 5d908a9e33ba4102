#include "ledger/Draft.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A figure shown from the store, then the box's texts one after another as
// the collector's keys or the box's own rewriting leave them.
TEST(FigureField, AFigureNotRetypedIsStoredBitForBit)
{
    const struct {
        const char* what;
        double stored;
        std::vector<const char*> texts;
        double saved;
    } cases[] = {
        {"untouched, shown rounded", 12.345, {}, 12.345},
        {"three-decimal price", 9.095, {}, 9.095},
        {"rewritten on entering and leaving", 100.125, {"100,13", "100,13"}, 100.125},
        {"retyped digit by digit", 12.345, {"1", "12", "12,", "12,3", "12,35"}, 12.35},
        {"typed over with another figure", 12.345, {"13"}, 13},
        {"emptied", 12.345, {""}, 0},
        {"a figure too small to show", 0.001, {}, 0.001},
    };
    for (const auto& c : cases) {
        FigureField box;
        box.show(c.stored);
        for (const char* text : c.texts) box.setText(QString::fromUtf8(text));
        EXPECT_TRUE(sameBits(box.value(), c.saved)) << c.what << ": " << box.value();
    }
}

TEST(FigureField, ATypedFigureIsReadAndAnUnreadableOrHugeOneRefused)
{
    const struct {
        const char* text;
        bool refused;
        double value;
    } cases[] = {
        {"1.234,5", false, 1234.5},
        {"", false, 0},
        {"999.999.999,99", false, 999999999.99},
        {"1.000.000.000.000", true, 0},
        {"12,3,4", true, 0},
    };
    for (const auto& c : cases) {
        FigureField box;
        box.setText(QString::fromUtf8(c.text));
        if (c.refused) {
            EXPECT_THROW(box.value(), ConversionError) << c.text;
        } else {
            EXPECT_DOUBLE_EQ(box.value(), c.value) << c.text;
        }
    }
    // Shown again from the store after typing, it is the stored figure again.
    FigureField box;
    box.setText(QStringLiteral("5"));
    box.show(7.125);
    EXPECT_FALSE(box.typed());
    EXPECT_EQ(box.value(), 7.125);
}

}  // namespace
