#include "store/Backup.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/EngineHandle.h"
#include "store/FaultText.h"
#include "store/LedgerIdentity.h"
#include "store/NewFile.h"
#include "store/ShelfKeeping.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

const QString kDayFormat = QStringLiteral("yyyy-MM-dd");
constexpr int kDailyCopies = 14;
constexpr int kMonthlyCopies = 12;
constexpr int kProblemLines = 5;
// Pages copied at a time: a save waits at most this long for the copy.
constexpr int kPagesPerStep = 256;

[[noreturn]] void failCopy(const QString& file, int code, const QString& engineText)
{
    throw DatabaseError(code, (file + QStringLiteral(": ") + QString::fromStdString(engineErrorText(code, engineText, FaultMoment::Copy)))
                                  .toStdString());
}

bool stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load();
}

// The copy's own findings; "ok" when it is sound.
QStringList integrityFindings(sqlite3* db)
{
    QStringList findings;
    // A larger cache halves the check of a ten-year ledger.
    sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    sqlite3_stmt* check = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    while (rc == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW)
        findings << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
    const int done = sqlite3_finalize(check);
    if (rc != SQLITE_OK || done != SQLITE_OK) findings << QString::fromUtf8(sqlite3_errmsg(db));
    return findings;
}

QStringList checkedFindings(const QString& file, const std::atomic<bool>* stop)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr);
    const DatabaseHandle db(raw);
    if (rc != SQLITE_OK) return {QString::fromUtf8(sqlite3_errmsg(db.get()))};
    // A program closed during the check does not wait for its end.
    if (stop)
        sqlite3_progress_handler(
            db.get(), 10000, [](void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; },
            const_cast<std::atomic<bool>*>(stop));
    return integrityFindings(db.get());
}

// The days of the copies in the order they were made, oldest first: the
// clock may have said anything when they were.
QString orderFile(const CopyShelf& shelf)
{
    // The file's copies keep the name they always had.
    const QString kind = shelf.extension == CopyShelf().extension ? QString() : QLatin1Char('-') + shelf.extension.mid(1);
    return QDir(shelf.folder).filePath(shelf.baseName + kind + QStringLiteral("-sira.txt"));
}

QStringList madeInOrder(const CopyShelf& shelf)
{
    QFile order(orderFile(shelf));
    if (QFileInfo(order.fileName()).isSymLink() || !order.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(order.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void noteMade(const CopyShelf& shelf, const QDate& day)
{
    QStringList made = madeInOrder(shelf);
    made.removeAll(day.toString(kDayFormat));
    made << day.toString(kDayFormat);
    const QByteArray text = made.mid(std::max<qsizetype>(0, made.size() - 64)).join(QLatin1Char('\n')).toLatin1();
    // Without it the copies rank by their days' names, so a failure here
    // loses nothing the copies hold.
    replaceWhole(orderFile(shelf), [&text](QIODevice& file) { return file.write(text) == text.size(); });
}

// A copy on the shelf that belongs to its ledger: beside the database every
// one does; in a shared place only one carrying the ledger's identity.
bool ledgersOwn(const CopyShelf& shelf, const QString& copy)
{
    return shelf.identity.isEmpty() || fileIdentity(copy) == shelf.identity;
}

}  // namespace

namespace shelving {

void removeFresh(const QString& fresh)
{
    QFile::remove(fresh);
    QFile::remove(fresh + QStringLiteral("-journal"));
}

// What copies cut off by a crash or a closed program left: a day's copy
// under its passing name, with its journal.
void removeCutCopies(const CopyShelf& shelf)
{
    const QRegularExpression cut(QStringLiteral("^%1-\\d{4}-\\d{2}-\\d{2}%2\\.yeni(-journal)?$")
                                     .arg(QRegularExpression::escape(shelf.baseName), QRegularExpression::escape(shelf.extension)));
    const QDir folder(shelf.folder);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (cut.match(name).hasMatch()) QFile::remove(folder.filePath(name));
}

// Only a regular file of the ledger's own counts as the day's copy; a link,
// another ledger's copy or anything else at its name is named and left
// alone. True when the day's copy is there.
bool dayCopyThere(const CopyShelf& shelf, const QString& target)
{
    const QFileInfo there(target);
    if (there.isSymLink() || (there.exists() && !there.isFile()))
        failCopy(target, DatabaseError::kNotEngine, QStringLiteral("yedeğin adında bir bağlantı ya da başka bir şey duruyor; "
                                                         "dokunulmadı, yedek alınmadı"));
    if (there.exists() && !ledgersOwn(shelf, target))
        failCopy(target, DatabaseError::kNotEngine, QStringLiteral("yedeğin adında başka bir defterin yedeği duruyor; "
                                                         "dokunulmadı, yedek alınmadı"));
    return there.exists();
}

// Written under a passing name, created here and now as a new regular file
// (never through a link), and put under the day's name only once checked and
// only where nothing stands: a copy under a day's name is always a whole,
// sound one.
QString freshFileFor(const CopyShelf& shelf, const QString& target, int* openFile)
{
    if (!QDir().mkpath(shelf.folder)) failCopy(shelf.folder, SQLITE_CANTOPEN, QStringLiteral("yedek klasörü oluşturulamadı"));
    const QString fresh = target + QStringLiteral(".yeni");
    if (QFileInfo(fresh).isFile() && !QFileInfo(fresh).isSymLink()) removeFresh(fresh);  // left by a cut copy
    const int why = createNewFile(fresh, openFile);
    if (why == EEXIST || why == ELOOP)
        failCopy(fresh, DatabaseError::kNotEngine, QStringLiteral("yedeğin geçici adında bir bağlantı ya da başka bir şey "
                                                                  "duruyor; dokunulmadı, yedek alınmadı"));
    if (why != 0)
        failCopy(fresh, why == ENOSPC ? SQLITE_FULL : SQLITE_CANTOPEN,
                 QStringLiteral("yedek dosyası yeni olarak oluşturulamadı: ") + QString::fromLocal8Bit(std::strerror(why)));
    return fresh;
}

// Checks the written copy, keeps it under the day's name and applies the
// keeping rule to the shelf; the copy just made stays whatever the clock says.
DailyBackup keepChecked(const QString& fresh, const CopyShelf& shelf, const QDate& today, QStringList findings,
                        const std::atomic<bool>* stop)
{
    DailyBackup result;
    if (findings.isEmpty()) findings = checkedFindings(fresh, stop);
    if (stopped(stop)) {
        removeFresh(fresh);
        failCopy(shelf.file(today), SQLITE_INTERRUPT, QString::fromUtf8(sqlite3_errstr(SQLITE_INTERRUPT)));
    }
    if (findings != QStringList{QStringLiteral("ok")}) {
        removeFresh(fresh);
        result.outcome = DailyBackup::Outcome::Damaged;
        result.problem = findings.mid(0, kProblemLines).join(QLatin1Char('\n'));
        return result;
    }
    const QString target = shelf.file(today);
    const QString why = placeUnderName(fresh, target);
    if (!why.isEmpty()) {
        removeFresh(fresh);
        failCopy(target, DatabaseError::kNotEngine, QStringLiteral("yedek dosyası adlandırılamadı: ") + why);
    }
    result.outcome = DailyBackup::Outcome::Made;
    result.file = target;
    noteMade(shelf, today);

    const QList<QDate> days = backupDays(shelf);
    const QList<QDate> kept = keptBackupDays(days);
    for (const QDate& day : days)
        if (!kept.contains(day) && day != today && !QFileInfo(shelf.file(day)).isSymLink() && ledgersOwn(shelf, shelf.file(day)))
            QFile::remove(shelf.file(day));
    return result;
}

}  // namespace shelving

using namespace shelving;

CopyShelf CopyShelf::beside(const QString& databasePath)
{
    const QFileInfo database(databasePath);
    return {database.dir().filePath(QStringLiteral("Yedek")), database.completeBaseName(), {}};
}

CopyShelf CopyShelf::second(const QString& place, const QString& databasePath, const QString& identity)
{
    const QFileInfo database(databasePath);
    const QString suffix = QLatin1Char('-') + identity;
    for (const QFileInfo& folder : QDir(place).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        if (folder.fileName().endsWith(suffix) && !folder.isSymLink())
            return {folder.absoluteFilePath(), database.completeBaseName(), identity};
    // The folder the data folder lies in names the ledger for people; a
    // stick's file system refuses some letters a folder name may hold.
    QString people = QFileInfo(database.absolutePath()).dir().dirName();
    for (QChar& c : people)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_') && c != QLatin1Char(' ')) c = QLatin1Char('_');
    return {QDir(place).filePath(people + suffix), database.completeBaseName(), identity};
}

QString CopyShelf::file(const QDate& day) const
{
    return QDir(folder).filePath(QStringLiteral("%1-%2%3").arg(baseName, day.toString(kDayFormat), extension));
}

QString backupFolder(const QString& databasePath)
{
    return CopyShelf::beside(databasePath).folder;
}

QString backupFile(const QString& databasePath, const QDate& day)
{
    return CopyShelf::beside(databasePath).file(day);
}

QList<QDate> backupDays(const CopyShelf& shelf)
{
    const QRegularExpression pattern(
        QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2})%2$").arg(QRegularExpression::escape(shelf.baseName), QRegularExpression::escape(shelf.extension)));
    QList<QDate> days;
    const QStringList names = QDir(shelf.folder).entryList(QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch()) continue;
        const QDate day = QDate::fromString(match.captured(1), kDayFormat);
        if (day.isValid()) days << day;
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

qint64 copiesSize(const CopyShelf& shelf)
{
    qint64 size = 0;
    for (const QDate& day : backupDays(shelf)) size += QFileInfo(shelf.file(day)).size();
    return size;
}

QList<QDate> backupDays(const QString& databasePath)
{
    return backupDays(CopyShelf::beside(databasePath));
}

QList<QDate> keptBackupDays(const QList<QDate>& days)
{
    QList<QDate> newestFirst = days;
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    newestFirst.erase(std::unique(newestFirst.begin(), newestFirst.end()), newestFirst.end());
    QList<QDate> kept = newestFirst.mid(0, kDailyCopies);
    QSet<int> months;
    for (const QDate& day : newestFirst) {
        const int month = day.year() * 12 + day.month();
        if (months.contains(month)) continue;
        if (months.size() == kMonthlyCopies) break;
        months.insert(month);
        if (!kept.contains(day)) kept << day;
    }
    std::sort(kept.begin(), kept.end(), std::greater<>());
    return kept;
}

QString newestBackup(const QString& databasePath)
{
    // The copy made last, by the order the copies were made in; copies
    // older than that record, by their day.
    const CopyShelf shelf = CopyShelf::beside(databasePath);
    const QList<QDate> days = backupDays(shelf);
    const QStringList made = madeInOrder(shelf);
    for (auto name = made.crbegin(); name != made.crend(); ++name) {
        const QDate day = QDate::fromString(*name, kDayFormat);
        if (days.contains(day)) return shelf.file(day);
    }
    return days.isEmpty() ? QString() : shelf.file(days.first());
}

QDate latestBackupDay(const QString& databasePath)
{
    const QList<QDate> days = backupDays(databasePath);
    return days.isEmpty() ? QDate() : days.first();
}

DailyBackup makeDailyBackup(const Connection& connection, const QDate& today, const std::atomic<bool>* stop)
{
    const CopyShelf shelf = CopyShelf::beside(connection.path());
    removeCutCopies(shelf);
    const QString target = shelf.file(today);
    if (dayCopyThere(shelf, target)) return {DailyBackup::Outcome::AlreadyMade, target, {}};
    const QString fresh = freshFileFor(shelf, target);
    QStringList findings;
    int rc = SQLITE_OK;
    QString text;
    {
        sqlite3* raw = nullptr;
        rc = sqlite3_open_v2(QFile::encodeName(fresh).constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
        const DatabaseHandle copy(raw);
        BackupHandle backup(rc == SQLITE_OK ? sqlite3_backup_init(copy.get(), "main", connection.handle(), "main") : nullptr);
        if (rc == SQLITE_OK && !backup) rc = sqlite3_errcode(copy.get());
        // A step meets a save under way as busy or locked (a correction's
        // transaction on the same connection too, until its end): it waits
        // a moment and goes on.
        while (backup && (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED)) {
            rc = sqlite3_backup_step(backup.get(), kPagesPerStep);
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(10);
            if (stopped(stop)) rc = SQLITE_INTERRUPT;
        }
        // Finished before the copy's text is read: it carries the step's error.
        const int finished = sqlite3_backup_finish(backup.release());
        if (rc == SQLITE_DONE) rc = finished;
        text = QString::fromUtf8(copy && rc != SQLITE_INTERRUPT ? sqlite3_errmsg(copy.get()) : sqlite3_errstr(rc));
    }
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
        findings << QString::fromUtf8(sqlite3_errstr(rc));
    } else if (rc != SQLITE_OK) {
        removeFresh(fresh);
        failCopy(target, rc, text);
    }
    return keepChecked(fresh, shelf, today, findings, stop);
}

DailyBackup copyToShelf(const QString& checkedCopy, const CopyShelf& shelf, const QDate& today, const std::atomic<bool>* stop)
{
    removeCutCopies(shelf);
    const QString target = shelf.file(today);
    if (dayCopyThere(shelf, target)) return {DailyBackup::Outcome::AlreadyMade, target, {}};
    int made = -1;
    const QString fresh = freshFileFor(shelf, target, &made);
    QFile from(checkedCopy);
    int failure = from.open(QIODevice::ReadOnly) ? 0 : EIO;
    QString why = from.errorString();
    while (failure == 0 && !from.atEnd() && !stopped(stop)) {
        const QByteArray chunk = from.read(qint64(1) << 20);
        failure = chunk.isEmpty() ? EIO : writeAll(made, chunk.constData(), chunk.size());
    }
    if (failure == 0 && !stopped(stop) && ::fsync(made) != 0) failure = errno;
    if (failure != 0 && failure != EIO) why = systemErrorText(failure);
    ::close(made);
    if (failure != 0 || stopped(stop)) {
        removeFresh(fresh);
        // A full stick is said to be full, not faulty.
        failCopy(target, stopped(stop) ? SQLITE_INTERRUPT : failure == ENOSPC || failure == EDQUOT ? SQLITE_FULL : SQLITE_IOERR, why);
    }
    return keepChecked(fresh, shelf, today, {}, stop);
}
