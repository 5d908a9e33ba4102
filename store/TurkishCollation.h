#pragma once

struct sqlite3;

// Registers the ICU Turkish collation on the connection under the name
// kTurkishCollation. Throws DatabaseError when ICU or the engine refuses.
void registerTurkishCollation(sqlite3* db);
