#pragma once

#include <QString>

class Query;

// Trims blanks and control characters, then lower-cases with the Turkish
// table: "I" becomes "ı", "İ" becomes "i".
QString turkishLower(const QString& text);

// The text in paragraphs of at most `longest` characters, each broken after
// its last blank where it has one, in time proportional to the text.
QString inParagraphs(const QString& text, qsizetype longest);

// The text without its control characters (tabs, line breaks, DEL…).
QString withoutControlCharacters(const QString& text);

// The capital a name box writes for a letter typed at the start of a word;
// any other character comes back unchanged.
QChar turkishCapital(QChar letter);

// Moves the query to the next row, after the current one and wrapping
// around, whose field contains text (Turkish lower-cased on both sides).
// Every row is tried, the starting row last. Returns whether a row matched.
bool findNext(Query& query, const QString& field, const QString& text);
