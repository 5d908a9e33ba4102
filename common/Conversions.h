#pragma once

#include <QString>
#include <stdexcept>

// A text that is not a number, with the conversion's own English text.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Keeps a sign in first place, the digits and the decimal separator, drops
// everything else, and reads the rest; nothing kept reads as 0. Throws
// "'%s' is not a valid floating point value".
double parseDecimal(const QString& text);
// Keeps a sign in first place and the digits. Throws
// "'%s' is not a valid integer value".
int parseInteger(const QString& text);

// No grouping, the decimal separator, only the digits needed (at most 15
// significant ones): 1234.5 gives 1234,5.
QString generalNumber(double value);

// One of the patterns "#,##0.00", "#,###.00", "#.##" and "#.00". A half
// rounds away from zero on the value as written to 15 significant digits.
QString formatFloat(const char* pattern, double value);
