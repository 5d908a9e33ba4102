#include "common/Money.h"

#include "common/Conversions.h"

#include <cmath>
#include <stdexcept>

Money Money::fromStored(double value)
{
    if (!(std::abs(value) < 9e10))
        throw std::range_error(QStringLiteral("Tutar hesaplanamayacak kadar büyük: %1").arg(QString::number(value, 'g', 17)).toStdString());
    // Eight decimals carry every product of a two-decimal price and litre
    // count exactly, and the binary noise of a stored double is far below.
    if (std::abs(value) < 1e7) return fromUnits(std::llround(value * 1e8));
    return fromUnits(QString::number(value, 'f', 8).remove(QLatin1Char('.')).toLongLong());
}

qint64 Money::kurus() const
{
    const qint64 whole = (qAbs(units_) + kUnitsPerKurus / 2) / kUnitsPerKurus;
    return units_ < 0 ? -whole : whole;
}

QString Money::text() const
{
    return formatHundredths(kAmountPattern, kurus());
}

QString Money::plainText() const
{
    return formatHundredths(kPlainPattern, kurus());
}
