#pragma once

#include <QString>

// A Turkish IBAN: "TR", two check digits and 22 more digits, 26 characters.
inline constexpr int kIbanLength = 26;

// What is stored for a typed IBAN: without blanks, in capitals.
QString ibanStored(const QString& typed);
// Why a typed IBAN cannot be taken, in the collector's words; empty when it
// can. Nothing typed is no IBAN, and is taken.
QString ibanFault(const QString& typed);
// Grouped in fours for reading: "TR33 0006 1005 1978 6457 8413 26".
QString ibanGroups(const QString& iban);
