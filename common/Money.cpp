#include "common/Money.h"

#include "common/Conversions.h"

namespace {
constexpr qint64 kUnitsPerKurus = 1'000'000;
}

Money Money::fromStored(double value)
{
    // Eight decimals carry every product of a two-decimal price and litre
    // count exactly, and the binary noise of a stored double is far below.
    return fromUnits(QString::number(value, 'f', 8).remove(QLatin1Char('.')).toLongLong());
}

qint64 Money::kurus() const
{
    const qint64 whole = (qAbs(units_) + kUnitsPerKurus / 2) / kUnitsPerKurus;
    return units_ < 0 ? -whole : whole;
}

QString Money::text() const
{
    return formatFloat(kAmountPattern, static_cast<double>(kurus()) / 100);
}
