#include "store/Backup.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/FaultText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

// The days of the copies in the order they were made, oldest first: the
// clock may have said anything when they were.
QString orderFile(const QString& databasePath)
{
    return QDir(QFileInfo(databasePath).dir().filePath(QStringLiteral("Yedek")))
        .filePath(baseName(databasePath) + QStringLiteral("-sira.txt"));
}

QStringList madeInOrder(const QString& databasePath)
{
    QFile order(orderFile(databasePath));
    if (QFileInfo(order.fileName()).isSymLink() || !order.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(order.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void noteMade(const QString& databasePath, const QDate& day)
{
    QStringList made = madeInOrder(databasePath);
    made.removeAll(day.toString(kDayFormat));
    made << day.toString(kDayFormat);
    QSaveFile order(orderFile(databasePath));
    if (order.open(QIODevice::WriteOnly)) {
        order.write(made.mid(std::max<qsizetype>(0, made.size() - 64)).join(QLatin1Char('\n')).toLatin1());
        order.commit();
    }
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
    // The copy made last, by the order the copies were made in; copies
    // older than that record, by their day.
    const QList<QDate> days = backupDays(databasePath);
    const QStringList made = madeInOrder(databasePath);
    for (auto name = made.crbegin(); name != made.crend(); ++name) {
        const QDate day = QDate::fromString(*name, kDayFormat);
        if (days.contains(day)) return backupFile(databasePath, day);
    }
    return days.isEmpty() ? QString() : backupFile(databasePath, days.first());
}

QDate latestBackupDay(const QString& databasePath)
{
    const QList<QDate> days = backupDays(databasePath);
    return days.isEmpty() ? QDate() : days.first();
}

DailyBackup makeDailyBackup(const Connection& connection, const QDate& today)
{
    const QString databasePath = connection.path();
    const QString target = backupFile(databasePath, today);
    DailyBackup result;
    result.file = target;
    // Only a regular file of our own counts as the day's copy; a link or
    // anything else at its name is named and left alone.
    const QFileInfo there(target);
    if (there.isSymLink() || (there.exists() && !there.isFile()))
        failCopy(target, SQLITE_CANTOPEN, QStringLiteral("yedeğin adında bir bağlantı ya da başka bir şey duruyor; "
                                                         "dokunulmadı, yedek alınmadı"));
    if (there.exists()) return result;

    if (!QDir().mkpath(backupFolder(databasePath)))
        failCopy(backupFolder(databasePath), SQLITE_CANTOPEN, QStringLiteral("yedek klasörü oluşturulamadı"));
    // Written under a passing name, created here and now as a new regular
    // file (never through a link), and put under the day's name only once
    // checked and only where nothing stands: a copy under a day's name is
    // always a whole, sound one.
    const QString fresh = target + QStringLiteral(".yeni");
    const QByteArray freshName = QFile::encodeName(fresh);
    if (QFileInfo(fresh).isFile() && !QFileInfo(fresh).isSymLink()) QFile::remove(fresh);  // left by a cut copy
    const int made = ::open(freshName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made < 0)
        failCopy(fresh, errno == ENOSPC ? SQLITE_FULL : SQLITE_CANTOPEN,
                 QStringLiteral("yedek dosyası yeni olarak oluşturulamadı: ") + QString::fromLocal8Bit(std::strerror(errno)));
    ::close(made);
    QStringList findings;
    {
        sqlite3* copy = nullptr;
        int rc = sqlite3_open_v2(freshName.constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
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
    // A hard link is made only where nothing stands, link or file.
    if (::link(freshName.constData(), QFile::encodeName(target).constData()) != 0) {
        const int why = errno;
        QFile::remove(fresh);
        failCopy(target, SQLITE_CANTOPEN,
                 QStringLiteral("yedek dosyası adlandırılamadı: ") + QString::fromLocal8Bit(std::strerror(why)));
    }
    QFile::remove(fresh);
    result.outcome = DailyBackup::Outcome::Made;
    noteMade(databasePath, today);

    // The copy just made stays, whatever the clock says of its day.
    const QList<QDate> days = backupDays(databasePath);
    const QList<QDate> kept = keptBackupDays(days);
    for (const QDate& day : days)
        if (!kept.contains(day) && day != today && !QFileInfo(backupFile(databasePath, day)).isSymLink())
            QFile::remove(backupFile(databasePath, day));
    return result;
}
