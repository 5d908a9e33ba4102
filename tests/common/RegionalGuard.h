#pragma once

#include "common/Regional.h"

// Switches the regional settings for one test and puts the previous ones
// back, even when an assertion leaves the test early.
class RegionalGuard {
public:
    explicit RegionalGuard(const RegionalSettings& settings) : saved_(regional()) { setRegional(settings); }
    ~RegionalGuard() { setRegional(saved_); }
    RegionalGuard(const RegionalGuard&) = delete;
    RegionalGuard& operator=(const RegionalGuard&) = delete;

private:
    RegionalSettings saved_;
};

// Decimal point and comma grouping: the Turkish rules with the two
// separators exchanged.
inline RegionalSettings pointDecimalSettings()
{
    RegionalSettings s;
    s.decimalSeparator = QLatin1Char('.');
    s.thousandSeparator = QLatin1Char(',');
    return s;
}
