#pragma once

#include "store/Backup.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <atomic>

// The steps every kind of daily copy takes on its shelf, whatever writes and
// checks the copy itself.
namespace shelving {

void removeFresh(const QString& fresh);

// Removes what copies cut off by a crash left under the passing name.
void removeCutCopies(const CopyShelf& shelf);

// True when the day's copy is there; throws DatabaseError when something
// else stands at its name.
bool dayCopyThere(const CopyShelf& shelf, const QString& target);

// The passing name for the day's copy, created as a new empty regular file.
QString freshFileFor(const CopyShelf& shelf, const QString& target, int* openFile = nullptr);

// Keeps the written copy under the day's name when findings are just "ok"
// (empty: the file's own check runs), notes it as made and applies the
// keeping rule; otherwise removes it and reports it Damaged.
DailyBackup keepChecked(const QString& fresh, const CopyShelf& shelf, const QDate& today, QStringList findings,
                        const std::atomic<bool>* stop);

}  // namespace shelving
