#pragma once

#include <QString>
#include <QtGlobal>

// Money as the program adds it up for a person: each stored amount taken
// as the exact decimal its double shows to eight places, summed without
// binary error, and rounded to the kuruş (a half away from zero) when shown.
class Money {
public:
    Money() = default;
    // The largest figure an entry takes: sums of many of them still fit.
    static constexpr double kLargest = 999'999'999.99;
    // Throws std::range_error, in Turkish, for a figure beyond what Money
    // holds exactly (about 92 milliard): never a wrong amount.
    static Money fromStored(double value);
    // What the SQL "CAST(ROUND(x * 1e8) AS INTEGER)" makes of a stored
    // amount, summed exactly by the engine: the same as fromStored.
    static Money fromUnits(qint64 units)
    {
        Money m;
        m.units_ = units;
        return m;
    }
    static Money fromKurus(qint64 kurus) { return fromUnits(kurus * kUnitsPerKurus); }
    bool operator==(const Money&) const = default;

    Money operator+(const Money& other) const { return fromUnits(units_ + other.units_); }
    Money operator-(const Money& other) const { return fromUnits(units_ - other.units_); }
    Money& operator+=(const Money& other) { units_ += other.units_; return *this; }
    Money negated() const { return fromUnits(-units_); }
    Money times(qint64 count) const { return fromUnits(units_ * count); }

    // Whole kuruş, a half rounded away from zero.
    qint64 kurus() const;
    Money rounded() const { return fromKurus(kurus()); }
    bool isZero() const { return kurus() == 0; }
    // The amount as a double, the nearest one to its decimal: how a figure
    // worked out in Money is stored.
    double toDouble() const { return static_cast<double>(units_) / 1e8; }
    bool isNegative() const { return kurus() < 0; }
    // "#,##0.00" of the rounded amount: 1.234,56.
    QString text() const;
    // Without thousand marks, for a spreadsheet: 1234,56.
    QString plainText() const;

private:
    static constexpr qint64 kUnitsPerKurus = 1'000'000;
    qint64 units_ = 0;  // hundred-millionths of a lira
};
