#include "common/DateTyping.h"

#include <gtest/gtest.h>

namespace {

// Keys as letters: digits, "." a separator, B Backspace, D Delete, H Home,
// E End, < and > the arrows left and right, ^ and v up and down.
DateText typeKeys(DateText text, const char* keys)
{
    for (const char* k = keys; *k; ++k) {
        switch (*k) {
        case '.': text = dateKeyPress(text, DateKey::Separator); break;
        case 'B': text = dateKeyPress(text, DateKey::Backspace); break;
        case 'D': text = dateKeyPress(text, DateKey::Delete); break;
        case 'H': text = dateKeyPress(text, DateKey::Home); break;
        case 'E': text = dateKeyPress(text, DateKey::End); break;
        case '<': text = dateKeyPress(text, DateKey::Left); break;
        case '>': text = dateKeyPress(text, DateKey::Right); break;
        case '^': text = dateKeyPress(text, DateKey::Up); break;
        case 'v': text = dateKeyPress(text, DateKey::Down); break;
        default: text = dateKeyPress(text, DateKey::Digit, QLatin1Char(*k));
        }
    }
    return text;
}

// A day the calendar does not have is kept as typed and names no day; it
// is never moved to a neighbouring one.
TEST(DateTyping, WhatIsTypedIsTheDayOrNoDayAtAll)
{
    const QDate start(2026, 12, 9);
    const struct {
        const char* keys;
        const char* shown;
        QDate day;  // invalid: no day
    } cases[] = {
        {"05.03.2021", "05.03.2021", {2021, 3, 5}},
        {"7.3.2021", "07.03.2021", {2021, 3, 7}},
        {"0503", "05.03.2026", {2026, 3, 5}},            // parts that fill themselves move on
        {"31.11.2026", "31.11.2026", {}},
        {"30.02.2026", "30.02.2026", {}},
        {"29.02.2028", "29.02.2028", {2028, 2, 29}},
        {"29.02.2027", "29.02.2027", {}},
        {"H31.05.2026", "31.05.2026", {2026, 5, 31}},     // Home, then the day
        {">>2025", "09.12.2025", {2025, 12, 9}},
        {"..26", "09.12.26", {2026, 12, 9}},              // a two-digit year is of this century
        {"..202", "09.12.202", {}},
        {"31.11.2026<B", "31..2026", {}},                 // Backspace empties the selected month
        {"31.11.2026<12", "31.12.2026", {2026, 12, 31}},  // the month mended
        {"31.11.2026<<D", ".11.2026", {}},
        {"31.12.2026H^", "01.01.2027", {2027, 1, 1}},
        {"1B5", "05.12.2026", {2026, 12, 5}},
        {"EvH", "09.12.2025", {2025, 12, 9}},
        {"00.", "00.12.2026", {}},
    };
    for (const auto& c : cases) {
        const DateText typed = typeKeys(DateText::of(start), c.keys);
        EXPECT_EQ(typed.display(), QString::fromUtf8(c.shown)) << c.keys;
        EXPECT_EQ(typed.date().value_or(QDate()), c.day) << c.keys;
    }
}

}  // namespace
