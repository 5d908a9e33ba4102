#pragma once

#include <QString>

// The telephone pattern (999)000-00-00: ten digit places, the three in
// parentheses optional. Qt's mask digits are the reverse of that pattern's.
inline const QString kPhoneInputMask = QStringLiteral("(000)999-99-99;_");
inline constexpr int kPhoneDigits = 10;

// The box's value from its display text: the ten digit places in order,
// a blank where a place is unfilled.
QString phoneValue(const QString& displayText);
// Caret position (in the display text) of the first required place left
// unfilled, -1 when all seven are there.
int firstMissingRequiredPlace(const QString& displayText);
// What is stored for a value: its decimal parse in the general number form
// (an empty value stores "0", a leading 0 is dropped).
QString phoneStoredText(const QString& value);
// A stored number laid into the pattern, its digits filling the places from
// the right; blank places show as blank. "0" and empty give an empty pattern.
QString phoneDisplayText(const QString& stored, QChar blank);
