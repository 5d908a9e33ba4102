#include "ledger/Draft.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A figure shown from the store (or none), then the box's texts one after
// another as the collector's keys or the box's own rewriting leave them:
// what a save stores, or that it is refused.
TEST(FigureField, AFigureNotRetypedIsStoredBitForBitAndATypedOneAsTyped)
{
    const struct {
        const char* what;
        std::optional<double> stored;
        std::vector<const char*> texts;
        std::optional<double> saved;  // none: refused
    } cases[] = {
        {"untouched, shown rounded", 12.345, {}, 12.345},
        {"three-decimal price", 9.095, {}, 9.095},
        {"rewritten on entering and leaving", 100.125, {"100,13", "100,13"}, 100.125},
        {"retyped digit by digit", 12.345, {"1", "12", "12,", "12,3", "12,35"}, 12.35},
        {"emptied", 12.345, {""}, 0},
        {"a figure too small to show", 0.001, {}, 0.001},
        {"typed, grouped", std::nullopt, {"1.234,5"}, 1234.5},
        {"the largest figure", std::nullopt, {"999.999.999,99"}, 999999999.99},
        {"beyond what a sum holds", std::nullopt, {"1.000.000.000.000"}, std::nullopt},
        {"no number", std::nullopt, {"12,3,4"}, std::nullopt},
    };
    for (const auto& c : cases) {
        FigureField box;
        if (c.stored) box.show(*c.stored);
        for (const char* text : c.texts) box.setText(QString::fromUtf8(text));
        if (!c.saved) {
            EXPECT_THROW(box.value(), ConversionError) << c.what;
            continue;
        }
        EXPECT_TRUE(sameBits(box.value(), *c.saved)) << c.what << ": " << box.value();
    }
}

}  // namespace
