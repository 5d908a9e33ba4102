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
// What is stored for a value: its digits as a number in the general form
// (a leading 0 is dropped); a value without digits stores empty.
QString phoneStoredText(const QString& value);

// What a digit typed into the box does: a 0 typed before any digit is the
// trunk prefix and is dropped ("0532 111 22 33" is 532 111 22 33); a digit
// with no place left after the caret is refused rather than lost.
enum class PhoneDigit { Insert, Drop, Refuse };
PhoneDigit phoneDigitKey(const QString& displayText, int caret, int selection, QChar digit);
inline const QString kPhoneTooLong =
    QStringLiteral("Telefon numarası en çok 10 hanedir (alan kodu ile, baştaki 0 olmadan). Fazla hane alınmadı.");
// A stored number laid into the pattern, its digits filling the places from
// the right; blank places show as blank. "0" and empty give an empty pattern.
QString phoneDisplayText(const QString& stored, QChar blank);
