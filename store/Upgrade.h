#pragma once

#include <QString>

struct sqlite3;

// Reads the file (opened read-only) without writing to it: a file that is not
// this program's database, misses a table or a field, or was written by a
// newer version of the program, is refused. Returns its version.
int validatedVersion(sqlite3* db, const QString& path);

// Brings a file of an earlier version up to this one, whole or not at all.
void upgrade(sqlite3* db, const QString& path, int fromVersion);
