#include "common/Conversions.h"

#include "common/Regional.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>

namespace {

[[noreturn]] void failFloat(const QString& kept)
{
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(kept).toStdString());
}

[[noreturn]] void failInteger(const QString& kept)
{
    throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(kept).toStdString());
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool isSign(QChar c) { return c == QLatin1Char('+') || c == QLatin1Char('-'); }

// A finite number as its 15 significant decimal digits: value =
// 0.d1d2...d15 * 10^(exponent + 1). Every display form starts from this
// string, so a value shows the digits it was typed with even where the
// binary value lies just below a half (2.675 is 2.67499999...).
struct Decimal15 {
    bool negative = false;
    std::string digits;  // 15 digits, the first non-zero unless the value is 0
    int exponent = 0;    // of the first digit
};

Decimal15 toDecimal15(double value)
{
    Decimal15 d;
    d.negative = std::signbit(value);
    char buffer[64];
    // "d.dddddddddddddde+XX", correctly rounded and independent of the C locale.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exponent = std::stoi(text.substr(e + 1));
    if (value == 0.0) d.exponent = 0;
    return d;
}

QString notFinite(double value)
{
    if (std::isnan(value)) return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// Adds one to a string of decimal digits.
void increment(std::string& digits)
{
    for (auto i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

QString grouped(const std::string& whole, QChar separator)
{
    QString out;
    const auto n = static_cast<int>(whole.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += QLatin1Char(whole[i]);
    }
    return out;
}

}  // namespace

bool isGroupMark(const QString& text, qsizetype at)
{
    if (at < 0 || at >= text.size() || text[at] != regional().thousandSeparator) return false;
    qsizetype digits = 0;
    while (at + 1 + digits < text.size() && isDigit(text[at + 1 + digits])) ++digits;
    return digits == 3;
}

bool isDecimalMark(const QString& text, qsizetype at)
{
    if (at < 0 || at >= text.size()) return false;
    const RegionalSettings& r = regional();
    return text[at] == r.decimalSeparator || (text[at] == r.thousandSeparator && !isGroupMark(text, at));
}

double parseDecimal(const QString& text)
{
    const QChar separator = regional().decimalSeparator;
    QString kept;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((i == 0 && isSign(c)) || isDigit(c)) kept += c;
        else if (isDecimalMark(text, i)) kept += separator;
    }
    if (kept.isEmpty()) return 0.0;

    // Built by hand for from_chars: no sign, no locale, and both sides of
    // the separator may be empty (",5", "5,", ",").
    std::string number;
    bool negative = false;
    bool seenSeparator = false;
    bool seenDigit = false;
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const QChar c = kept[i];
        if (isSign(c)) {
            negative = c == QLatin1Char('-');
        } else if (c == separator) {
            if (seenSeparator) failFloat(kept);
            seenSeparator = true;
            number += '.';
        } else {
            seenDigit = true;
            number += static_cast<char>(c.unicode());
        }
    }
    if (!seenDigit && !seenSeparator) failFloat(kept);  // a lone sign
    if (!seenDigit) return negative ? -0.0 : 0.0;
    if (number.front() == '.') number.insert(number.begin(), '0');
    if (number.back() == '.') number += '0';

    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    // Too many digits for a double: no number the screens can hold.
    if (result.ec != std::errc() || result.ptr != number.data() + number.size()) failFloat(kept);
    return negative ? -value : value;
}

int parseInteger(const QString& text)
{
    QString kept;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((i == 0 && isSign(c)) || isDigit(c)) kept += c;
    }
    if (kept.isEmpty()) return 0;

    const bool negative = kept.front() == QLatin1Char('-');
    const std::string digits = (isSign(kept.front()) ? kept.mid(1) : kept).toStdString();
    if (digits.empty()) failInteger(kept);
    long long magnitude = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (result.ec != std::errc()) failInteger(kept);
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT_MIN || value > INT_MAX) failInteger(kept);
    return static_cast<int>(value);
}

QString perLitreText(double price)
{
    const bool fine = std::llround(std::abs(price) * 10000) % 100 != 0;
    return formatFloat(fine ? kRatePattern : kAmountPattern, price);
}

// Plain digits from 0.00001 up to below 10^15. Outside that range (which no
// amount, price or year reaches) an exponent form: the significant digits
// with the decimal separator after the first, "E", and the exponent without
// leading zeros, such as 1E15 or -2,5E-6. That form does not read back
// through parseDecimal.
QString generalNumber(double value)
{
    if (!std::isfinite(value)) return notFinite(value);
    if (value == 0.0) return QStringLiteral("0");  // -0 too

    const QChar separator = regional().decimalSeparator;
    const Decimal15 d = toDecimal15(value);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    QString out = d.negative ? QStringLiteral("-") : QString();
    if (d.exponent >= 15 || d.exponent < -5) {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1) {
            out += separator;
            out += QString::fromLatin1(digits.substr(1));
        }
        out += QStringLiteral("E%1").arg(d.exponent);
        return out;
    }
    if (d.exponent < 0) {
        out += QLatin1Char('0');
        out += separator;
        out += QString(-d.exponent - 1, QLatin1Char('0'));
        out += QString::fromLatin1(digits);
        return out;
    }
    const auto wholeLength = static_cast<std::size_t>(d.exponent) + 1;
    if (digits.size() <= wholeLength) {
        out += QString::fromLatin1(digits);
        out += QString(static_cast<qsizetype>(wholeLength - digits.size()), QLatin1Char('0'));
        return out;
    }
    out += QString::fromLatin1(digits.substr(0, wholeLength));
    out += separator;
    out += QString::fromLatin1(digits.substr(wholeLength));
    return out;
}

QString formatHundredths(const NumberPattern& pattern, qint64 hundredths)
{
    const RegionalSettings& r = regional();
    const quint64 size = hundredths < 0 ? 0 - static_cast<quint64>(hundredths) : static_cast<quint64>(hundredths);
    std::string whole = std::to_string(size / 100);
    if (whole == "0" && !pattern.forceWholeDigit) whole.clear();
    const auto cents = static_cast<int>(size % 100);
    QString out = hundredths < 0 ? QStringLiteral("-") : QString();
    out += pattern.grouped ? grouped(whole, r.thousandSeparator) : QString::fromLatin1(whole);
    out += r.decimalSeparator;
    out += QLatin1Char(static_cast<char>('0' + cents / 10));
    out += QLatin1Char(static_cast<char>('0' + cents % 10));
    return out;
}

namespace {

// The value in hundredths (or the units of the decimals asked) as its
// digits round it (half away from zero on the fifteen significant digits),
// without sign and leading zeros.
std::string hundredthsDigits(const Decimal15& d, int decimals = 2)
{
    const int keep = d.exponent + 1 + decimals;
    std::string units;
    if (keep >= static_cast<int>(d.digits.size())) {
        units = d.digits + std::string(static_cast<std::size_t>(keep) - d.digits.size(), '0');
    } else if (keep >= 0) {
        units = d.digits.substr(0, static_cast<std::size_t>(keep));
        if (d.digits[static_cast<std::size_t>(keep)] >= '5') increment(units);
    }
    const auto firstNonZero = units.find_first_not_of('0');
    return firstNonZero == std::string::npos ? std::string() : units.substr(firstNonZero);
}

}  // namespace

qint64 shownHundredths(double value)
{
    if (!std::isfinite(value)) return 0;
    // Away from a half hundredth the double rounds as its fifteen digits do;
    // only near one are the digits needed.
    if (std::abs(value) < 1e9) {
        const double hundredths = value * 100;
        const double fraction = std::abs(hundredths - std::trunc(hundredths));
        if (std::abs(fraction - 0.5) > 1e-3) return std::llround(hundredths);
    }
    const Decimal15 d = toDecimal15(value);
    const std::string units = hundredthsDigits(d);
    // Beyond what a ledger holds (a damaged row): held at a bound, so a sum stays a number.
    constexpr qint64 kBound = 100'000'000'000'000'000;
    const qint64 magnitude = units.empty() ? 0 : units.size() > 17 ? kBound : std::stoll(units);
    return d.negative ? -magnitude : magnitude;
}

QString formatFloat(const NumberPattern& pattern, double value)
{
    const NumberPattern* shape = &pattern;
    if (!std::isfinite(value)) return notFinite(value);

    const int decimals = shape->decimals;
    const Decimal15 d = toDecimal15(value);
    std::string units = hundredthsDigits(d, decimals);
    const bool negative = d.negative && !units.empty();
    if (units.size() < static_cast<std::size_t>(decimals) + 1) units.insert(0, decimals + 1 - units.size(), '0');
    std::string whole = units.substr(0, units.size() - decimals);
    std::string fraction = units.substr(units.size() - decimals);
    if (whole == "0" && !shape->forceWholeDigit) whole.clear();
    if (!shape->fixedDecimals)
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();

    const RegionalSettings& r = regional();
    QString out = negative ? QStringLiteral("-") : QString();
    out += shape->grouped ? grouped(whole, r.thousandSeparator) : QString::fromLatin1(whole);
    if (!fraction.empty()) {
        out += r.decimalSeparator;
        out += QString::fromLatin1(fraction);
    }
    return out;
}
