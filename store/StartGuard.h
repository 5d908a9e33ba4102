#pragma once

#include <QString>

// Checks made at start-up before the engine opens the file, and the
// start-up's refusals, each naming the file.

// How long a start waits for another program's lock, as a save does.
inline constexpr int kLockWaitMs = 5000;

[[noreturn]] void failFile(const QString& path, int code, const QString& text);
// The engine's refusal at start-up, said in Turkish where it is a file fault.
[[noreturn]] void failStart(const QString& path, int code, const QString& engineText);

// What stands at the database's place must be a file this program may write,
// in a folder it may write.
void checkPlace(const QString& path);
// Refuses a journal beside the file that does not belong to it.
void refuseForeignJournal(const QString& path);
