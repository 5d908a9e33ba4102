#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <atomic>

class Connection;

// Daily copies of the database, made with the engine's online backup (a
// consistent copy even of a file with a write under way) and checked before
// they are kept. They live in the folder "Yedek" beside the database, one per
// day, named after the database and the day: Kovanta-2026-12-09.mdb.

struct DailyBackup {
    enum class Outcome { AlreadyMade, Made, Damaged };
    Outcome outcome = Outcome::AlreadyMade;
    // The copy of the day (Made, AlreadyMade).
    QString file;
    // What the check found (Damaged); the copy was not kept.
    QString problem;
};

// A folder of daily copies of one database, kept by the same rule wherever
// it is: beside the database, or in a second place on another disk.
struct CopyShelf {
    QString folder;
    QString baseName;  // the database's name: "Kovanta"
    // The ledger's identity where shelves of several ledgers may stand side
    // by side: a copy there is taken as the day's, or dropped by the keeping
    // rule, only when it carries the same identity. Empty beside the
    // database, whose folder is its own.
    QString identity;
    // The copies' kind: ".mdb" for the file's own, ".dump" for the server's.
    // Each kind has its own days, keeping rule and order of making.
    QString extension = QStringLiteral(".mdb");

    static CopyShelf beside(const QString& databasePath);
    // The ledger's own folder in a second place shared with other ledgers:
    // named after the ledger's folder, for people, and its identity
    // ("Koy-3f9a..."), found by the identity alone when the folder was renamed.
    static CopyShelf second(const QString& place, const QString& databasePath, const QString& identity);
    QString file(const QDate& day) const;
};

QString backupFolder(const QString& databasePath);
QString backupFile(const QString& databasePath, const QDate& day);

// Both makers first remove what copies cut off by a crash or a closed
// program left under a passing name (".yeni"), of any day.

// When the day has no copy yet: copies (the engine's online backup, a few
// pages at a time, so saves through the same connection go on meanwhile and
// land in the copy too), checks the copy with integrity_check, keeps it only
// when sound, then drops the copies the keeping rule no longer wants. Throws
// DatabaseError when no copy could be written at all (the folder or the disk
// refused, or stop was set).
DailyBackup makeDailyBackup(const Connection& connection, const QDate& today,
                            const std::atomic<bool>* stop = nullptr);

// Puts the day's checked copy on another shelf (a second disk) the same way:
// a new regular file, checked, kept by the keeping rule there.
DailyBackup copyToShelf(const QString& checkedCopy, const CopyShelf& shelf, const QDate& today,
                        const std::atomic<bool>* stop = nullptr);

// The keeping rule: the newest 14 days with a copy, and the newest copy of
// each of the 12 newest months that have one. Returns the days kept.
QList<QDate> keptBackupDays(const QList<QDate>& days);

// The room the shelf's copies take, in bytes.
qint64 copiesSize(const CopyShelf& shelf);

// The days that have a copy on the shelf, newest first.
QList<QDate> backupDays(const CopyShelf& shelf);
QList<QDate> backupDays(const QString& databasePath);

// The copy made last (every kept copy passed its check), whatever the days
// in the names say; empty when none.
QString newestBackup(const QString& databasePath);

// The latest day a copy is named after: later than today, the clock went back.
QDate latestBackupDay(const QString& databasePath);
