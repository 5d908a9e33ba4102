#pragma once

#include <QString>

struct sqlite3;

// Lower-cases with the Turkish table: "I" becomes "ı", "İ" becomes "i"; of
// the other capitals only the Latin ones change ("Â" stays).
QString turkishLowerLetters(QString text);

// Registers the ICU Turkish collation on the connection under the name
// kTurkishCollation. Throws DatabaseError when ICU or the engine refuses.
void registerTurkishCollation(sqlite3* db);
// Registers kTurkishLower(text), the same lower-casing, for the searches
// made in SQL. Throws DatabaseError when the engine refuses.
void registerTurkishLower(sqlite3* db);
