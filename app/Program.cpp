#include "app/Program.h"

#include "common/MonthPeriod.h"
#include "store/Backup.h"
#include "store/DatabaseError.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {

// How to put a copy back, said wherever a copy is named.
QString restoreAdvice(const QString& databasePath, const QString& copy)
{
    return QStringLiteral("En son sağlam yedek: %1\nGeri yüklemek için programı kapatın, %2 dosyasını başka bir "
                          "klasöre taşıyın, yedeği onun yerine %3 adıyla kopyalayın ve yanında %2-journal dosyası "
                          "varsa silin.")
        .arg(copy, databasePath, QFileInfo(databasePath).fileName());
}

bool isDamage(int code)
{
    return (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB;
}

}  // namespace

bool Program::start(const QString& databasePath, const QDate& today)
{
    StartOutcome outcome = StartOutcome::Declined;
    try {
        outcome = openOrCreate(AnaMenuF.sutConnection, databasePath,
                               [this](const QString& question) { return dialogs_.confirm(question); });
    } catch (const DatabaseError& error) {
        const QString copy = newestBackup(databasePath);
        if (!isDamage(error.code()) || copy.isEmpty()) throw;
        throw DatabaseError(error.code(), (QString::fromUtf8(error.what()) + QStringLiteral("\n\n") +
                                           restoreAdvice(databasePath, copy))
                                              .toStdString());
    }
    if (outcome == StartOutcome::Declined) return false;
    backUp(databasePath, today);
    screens = std::make_unique<ScreenSet>(AnaMenuF.sutConnection, dialogs_);
    AnaMenuF.attach(screens->forms);
    return true;
}

void Program::backUp(const QString& databasePath, const QDate& today)
{
    const bool firstToday = !QFileInfo::exists(backupFile(databasePath, today));
    if (firstToday && onLongWork)
        onLongWork(QStringLiteral("Günlük yedek alınıyor ve denetleniyor, lütfen bekleyin..."));
    QString told;
    try {
        const DailyBackup backup = makeDailyBackup(AnaMenuF.sutConnection, today);
        if (backup.outcome == DailyBackup::Outcome::Damaged) {
            const QString copy = newestBackup(databasePath);
            told = QStringLiteral("Veritabanının bakıma ihtiyacı var: bugünün yedeği denetimden geçmedi, çünkü %1 "
                                  "dosyasında bozulma bulundu. Bozuk yedek saklanmadı.\n\n%2\n\nDenetimin bulduğu:\n%3")
                       .arg(databasePath,
                            copy.isEmpty()
                                ? QStringLiteral("Yedek klasöründe (%1) sağlam bir yedek yok.").arg(backupFolder(databasePath))
                                : restoreAdvice(databasePath, copy),
                            backup.problem);
        }
    } catch (const DatabaseError& error) {
        // The day's work goes on; the next start tries again.
        told = QStringLiteral("Günlük yedek alınamadı; program çalışmaya devam ediyor, yedek bir sonraki açılışta "
                              "yeniden denenecek.\n\n%1")
                   .arg(QString::fromUtf8(error.what()));
    }
    if (firstToday && onLongWork) onLongWork(QString());
    // A copy named after a later day: the clock went back (a dead clock
    // battery). Today's data was copied all the same.
    const QDate latest = latestBackupDay(databasePath);
    if (latest > today)
        told = QStringLiteral("Bilgisayarın tarihi geri gitmiş görünüyor: bugün %1, ama %2 tarihli bir yedek var. "
                              "Tarihi ve saati düzeltin; bugünün verisi yine de yedeklendi.%3")
                   .arg(shortDate(today), shortDate(latest), told.isEmpty() ? QString() : QStringLiteral("\n\n") + told);
    if (!told.isEmpty()) dialogs_.message(told);
}
