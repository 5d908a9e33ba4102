#include "store/Backup.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/FaultText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>

namespace {

const QString kDayFormat = QStringLiteral("yyyy-MM-dd");
constexpr int kDailyCopies = 14;
constexpr int kMonthlyCopies = 12;
constexpr int kProblemLines = 5;

QString baseName(const QString& databasePath)
{
    return QFileInfo(databasePath).completeBaseName();
}

[[noreturn]] void failCopy(const QString& file, int code, const QString& engineText)
{
    throw DatabaseError(code, (file + QStringLiteral(": ") + QString::fromStdString(engineErrorText(code, engineText, FaultMoment::Copy)))
                                  .toStdString());
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

}  // namespace

QString backupFolder(const QString& databasePath)
{
    return QFileInfo(databasePath).dir().filePath(QStringLiteral("Yedek"));
}

QString backupFile(const QString& databasePath, const QDate& day)
{
    return QDir(backupFolder(databasePath))
        .filePath(QStringLiteral("%1-%2.mdb").arg(baseName(databasePath), day.toString(kDayFormat)));
}

QList<QDate> backupDays(const QString& databasePath)
{
    const QRegularExpression pattern(QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2})\\.mdb$")
                                         .arg(QRegularExpression::escape(baseName(databasePath))));
    QList<QDate> days;
    const QStringList names = QDir(backupFolder(databasePath)).entryList(QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch()) continue;
        const QDate day = QDate::fromString(match.captured(1), kDayFormat);
        if (day.isValid()) days << day;
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
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
    const QList<QDate> days = backupDays(databasePath);
    return days.isEmpty() ? QString() : backupFile(databasePath, days.first());
}

DailyBackup makeDailyBackup(const Connection& connection, const QDate& today)
{
    const QString databasePath = connection.path();
    const QString target = backupFile(databasePath, today);
    DailyBackup result;
    result.file = target;
    if (QFileInfo::exists(target)) return result;

    if (!QDir().mkpath(backupFolder(databasePath)))
        failCopy(backupFolder(databasePath), SQLITE_CANTOPEN, QStringLiteral("yedek klasörü oluşturulamadı"));
    // Written under a passing name and renamed once checked, so a copy under
    // a day's name is always a whole, sound one.
    const QString fresh = target + QStringLiteral(".yeni");
    QFile::remove(fresh);
    QStringList findings;
    {
        sqlite3* copy = nullptr;
        int rc = sqlite3_open_v2(QFile::encodeName(fresh).constData(), &copy,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_backup* backup = sqlite3_backup_init(copy, "main", connection.handle(), "main");
            if (backup) {
                const int step = sqlite3_backup_step(backup, -1);
                const int finish = sqlite3_backup_finish(backup);
                rc = step == SQLITE_DONE ? finish : step;
            } else {
                rc = sqlite3_errcode(copy);
            }
        }
        const int primary = rc & 0xff;
        if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
            findings << QString::fromUtf8(sqlite3_errstr(rc));
        } else if (rc != SQLITE_OK) {
            const QString text = QString::fromUtf8(copy ? sqlite3_errmsg(copy) : sqlite3_errstr(rc));
            sqlite3_close_v2(copy);
            QFile::remove(fresh);
            QFile::remove(fresh + QStringLiteral("-journal"));
            failCopy(target, rc, text);
        }
        if (findings.isEmpty()) findings = integrityFindings(copy);
        sqlite3_close_v2(copy);
    }
    if (findings != QStringList{QStringLiteral("ok")}) {
        QFile::remove(fresh);
        QFile::remove(fresh + QStringLiteral("-journal"));
        result.outcome = DailyBackup::Outcome::Damaged;
        result.file.clear();
        result.problem = findings.mid(0, kProblemLines).join(QLatin1Char('\n'));
        return result;
    }
    if (!QFile::rename(fresh, target)) {
        QFile::remove(fresh);
        failCopy(target, SQLITE_CANTOPEN, QStringLiteral("yedek dosyası adlandırılamadı"));
    }
    result.outcome = DailyBackup::Outcome::Made;

    const QList<QDate> days = backupDays(databasePath);
    const QList<QDate> kept = keptBackupDays(days);
    for (const QDate& day : days)
        if (!kept.contains(day)) QFile::remove(backupFile(databasePath, day));
    return result;
}
