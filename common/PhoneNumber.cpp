#include "common/PhoneNumber.h"

#include "common/Conversions.h"

#include <array>

namespace {

// Display positions of the ten digit places in "(123)456-78-90".
constexpr std::array<int, kPhoneDigits> kPlaces = {1, 2, 3, 5, 6, 7, 9, 10, 12, 13};
// The seven after the optional area code.
constexpr int kFirstRequiredPlace = 3;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool holdsDigit(const QString& display, int position)
{
    return position < display.size() && isDigit(display[position]);
}

}  // namespace

QString phoneValue(const QString& displayText)
{
    QString value;
    for (const int position : kPlaces)
        value += holdsDigit(displayText, position) ? displayText[position] : QLatin1Char(' ');
    return value;
}

int firstMissingRequiredPlace(const QString& displayText)
{
    for (std::size_t i = kFirstRequiredPlace; i < kPlaces.size(); ++i)
        if (!holdsDigit(displayText, kPlaces[i])) return kPlaces[i];
    return -1;
}

QString phoneStoredText(const QString& value)
{
    QString digits;
    for (const QChar c : value)
        if (isDigit(c)) digits += c;
    return digits.isEmpty() ? QString() : generalNumber(parseDecimal(digits));
}

PhoneDigit phoneDigitKey(const QString& displayText, int caret, int selection, QChar digit)
{
    bool digitBefore = false;
    bool placeFrom = false;
    for (const int position : kPlaces) {
        if (position < caret && holdsDigit(displayText, position)) digitBefore = true;
        if (position >= caret) placeFrom = true;
    }
    if (digit == QLatin1Char('0') && !digitBefore) return PhoneDigit::Drop;
    if (!placeFrom && selection == 0) return PhoneDigit::Refuse;
    return PhoneDigit::Insert;
}

QString phoneDisplayText(const QString& stored, QChar blank)
{
    QString digits;
    for (const QChar c : stored)
        if (isDigit(c)) digits += c;
    if (digits.size() > kPhoneDigits) return stored;

    bool zero = true;
    for (const QChar c : digits)
        if (c != QLatin1Char('0')) zero = false;
    if (zero) digits.clear();

    QString display = QLatin1Char('(') + QString(3, blank) + QLatin1Char(')') + QString(3, blank)
                      + QLatin1Char('-') + QString(2, blank) + QLatin1Char('-') + QString(2, blank);
    // A number without its area code fills the places from the right.
    const auto offset = kPhoneDigits - digits.size();
    for (qsizetype i = 0; i < digits.size(); ++i) display[kPlaces[offset + i]] = digits[i];
    return display;
}
