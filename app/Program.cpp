#include "app/Program.h"

#include "common/MonthPeriod.h"
#include "app/LedgerPlace.h"
#include "store/Backup.h"
#include "store/JetFile.h"
#include "store/DatabaseError.h"
#include "store/LedgerIdentity.h"
#include "store/ServerCopy.h"
#include "store/ServerSql.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

#include <sqlite3.h>
#include <sys/stat.h>

#include <optional>

// What a copy in the background did, told back on the program's thread.
struct CopyRun {
    QDate day;
    QString databasePath;
    std::optional<DailyBackup> copy;
    QString failure;
    // What the copies take when the disk is running out of room.
    QString room;
    QString identity;
    QString secondFolder;
    std::optional<DailyBackup> second;
    QString secondFailure;
    // Said ahead of how the copy went, which would otherwise hide it.
    QString note;
};

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

bool reachable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString megabytes(qint64 bytes)
{
    return QLocale(QLocale::Turkish).toString(static_cast<double>(bytes) / (1 << 20), 'f', 0) + QStringLiteral(" MB");
}

}  // namespace

QString copiesRoomNote(qint64 freeBytes, qint64 ledgerBytes, qint64 copiesBytes)
{
    if (freeBytes < 0 || freeBytes >= 2 * ledgerBytes) return {};
    return QStringLiteral("Diskte %1 boş yer kaldı, yedekler %2 yer kaplıyor.").arg(megabytes(freeBytes), megabytes(copiesBytes));
}

bool Program::takeOverOldFile(const QString& path, const QDate& today)
{
    QString found;
    try {
        found = oldLedgerFound(JetFile(path));
    } catch (const JetRefused& refused) {
        throw std::runtime_error(QStringLiteral("%1 eski Windows programının veritabanı gibi görünüyor, ama aktarılamaz: %2. Dosyaya "
                                                "dokunulmadı.")
                                     .arg(path, QString::fromUtf8(refused.what()))
                                     .toStdString());
    }
    if (!dialogs_.confirm(QStringLiteral("%1\n\nBu defter bu programa aktarılsın mı? Eski dosya aynı klasörde %2 adıyla, hiçbir şeyi "
                                         "değiştirilmeden saklanır.")
                              .arg(found, QFileInfo(keptOldFilePath(path, today)).fileName())))
        return false;
    FolderTakenOver done;
    try {
        const auto progress = dialogs_.showProgress(QStringLiteral("Eski programın defteri aktarılıyor ve eski dosyayla karşılaştırılıyor..."));
        done = takeOverIntoFolder(path, path, {}, today, progress);
    } catch (const TakeOverStopped& stopped) {
        // Given up by the user: said plainly, and the program ends as after Hayır.
        dialogs_.message(QString::fromUtf8(stopped.what()) + QStringLiteral(" Eski dosyaya dokunulmadı."));
        return false;
    }
    // A long list would not fit on the screen: the file holds it whole.
    QStringList lines = done.taken.summary(path).split(QLatin1Char('\n'));
    constexpr int kShownLines = 20;
    if (lines.size() > kShownLines) {
        lines = lines.mid(0, kShownLines);
        lines << QStringLiteral("…");
    }
    if (!done.summaryPath.isEmpty()) lines << QStringLiteral("Özetin tamamı: %1").arg(done.summaryPath);
    lines << QStringLiteral("Eski dosya: %1").arg(done.keptOld);
    dialogs_.message(lines.join(QLatin1Char('\n')));
    return true;
}

bool Program::start(const QString& databasePath, const QDate& today)
{
    settleTakeOverLeftovers(databasePath, today);
    if (looksLikeJetFile(databasePath) && !takeOverOldFile(databasePath, today)) return false;
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
    // A copy named after a later day: the clock went back (a dead clock
    // battery). Today's data is copied all the same.
    const QDate latest = latestBackupDay(databasePath);
    if (latest > today)
        dialogs_.message(QStringLiteral("Bilgisayarın tarihi geri gitmiş görünüyor: bugün %1, ama %2 tarihli bir yedek "
                                        "var. Tarihi ve saati düzeltin; bugünün verisi yine de yedeklenecek.")
                             .arg(shortDate(today), shortDate(latest)));
    screens = std::make_unique<ScreenSet>(AnaMenuF.sutConnection, dialogs_);
    AnaMenuF.attach(*screens);
    return true;
}

bool Program::startOnServer(const QString& conninfo)
{
    const auto ask = [this](const QString& question) { return dialogs_.confirm(question); };
    for (;;) {
        try {
            if (AnaMenuF.sutConnection.openServer(conninfo, ask) == Connection::ServerOutcome::Declined) return false;
            break;
        } catch (const DatabaseError& error) {
            if (!isLostServer(error.code())) throw;
            if (!dialogs_.confirm(QStringLiteral("Defterin bulunduğu sunucuya bağlanılamadı (%1).\n\n%2\n\nYeniden denensin mi?")
                                      .arg(conninfo, QString::fromUtf8(error.what()))))
                return false;
        }
    }
    screens = std::make_unique<ScreenSet>(AnaMenuF.sutConnection, dialogs_);
    AnaMenuF.attach(*screens);
    return true;
}

void Program::copyIfDue(const QDate& today)
{
    if (copying_.running() || !AnaMenuF.sutConnection.isOpen()) return;
    if (AnaMenuF.sutConnection.isServer()) {
        // The server's copy is taken on the desk, beside where the file would be.
        if (triedDay_ == today) return;
        triedDay_ = today;
        auto run = std::make_shared<CopyRun>(CopyRun{today, kDatabasePath});
        const QString conninfo = AnaMenuF.sutConnection.conninfo();
        startCopy(run, QStringLiteral("Sunucudaki defterin günlük yedeği alınıyor ve denetleniyor..."), [run, conninfo](const std::atomic<bool>& stop) {
            run->copy = makeServerDailyCopy(conninfo, CopyShelf::beside(run->databasePath), run->day, &stop);
        });
        return;
    }
    auto run = std::make_shared<CopyRun>(CopyRun{today, AnaMenuF.sutConnection.path()});
    const bool copyDue = triedDay_ != today;
    const bool secondDue = !secondCopyFolder.isEmpty() && secondTriedDay_ != today;
    // Looked at before every copy: a stick taken out leaves its mount
    // folder on the database's own disk.
    if (secondDue)
        run->secondFailure = reachable(secondCopyFolder)
                                 ? secondFolderDoubt(secondCopyFolder)
                                 : QStringLiteral("Yedek klasörüne (%1) şu an ulaşılamıyor.").arg(secondCopyFolder);
    if (secondDue && run->secondFailure.isEmpty()) run->secondFolder = secondCopyFolder;
    if (!copyDue && run->secondFolder.isEmpty()) {
        if (!run->secondFailure.isEmpty()) status(run->secondFailure);
        return;
    }
    // Made at the ledger's first copy, so that every copy carries it.
    try {
        const LedgerIdentity identity = ledgerIdentity(AnaMenuF.sutConnection);
        run->identity = identity.value;
        if (!identity.copiedFrom.isEmpty())
            run->note = QStringLiteral("Bu defter %1 dosyasından kopyalanmış; yedekleri onunkilerle karışmasın diye kendi kimliğini aldı.")
                            .arg(identity.copiedFrom);
    } catch (...) {
        if (!run->secondFolder.isEmpty())
            run->secondFailure = QStringLiteral("Defterin kimliği yazılamadığı için yedek klasörüne kopya alınmadı: ") + currentFailure();
        run->secondFolder.clear();
    }
    triedDay_ = today;
    if (!run->secondFolder.isEmpty()) secondTriedDay_ = today;
    const Connection& connection = AnaMenuF.sutConnection;
    startCopy(run, QStringLiteral("Günlük yedek alınıyor ve denetleniyor..."), [run, &connection](const std::atomic<bool>& stop) {
        run->copy = makeDailyBackup(connection, run->day, &stop);
        const CopyShelf beside = CopyShelf::beside(run->databasePath);
        run->room = copiesRoomNote(QStorageInfo(beside.folder).bytesAvailable(), QFileInfo(run->databasePath).size(),
                                   copiesSize(beside));
        if (run->secondFolder.isEmpty() || run->copy->outcome == DailyBackup::Outcome::Damaged) return;
        try {
            run->second = copyToShelf(run->copy->file, CopyShelf::second(run->secondFolder, run->databasePath, run->identity),
                                      run->day, &stop);
        } catch (const DatabaseError& error) {
            run->secondFailure = (error.code() & 0xff) == SQLITE_FULL
                                     ? QStringLiteral("Yedek klasörü (%1) dolu: eski dosyaları silin ya da daha büyük bir "
                                                      "bellek kullanın.")
                                           .arg(run->secondFolder)
                                     : QStringLiteral("Yedek klasörüne yazılamadı: ") + QString::fromUtf8(error.what());
        } catch (...) {
            run->secondFailure = QStringLiteral("Yedek klasörüne yazılamadı: ") + currentFailure();
        }
    });
}

void Program::startCopy(const std::shared_ptr<CopyRun>& run, const QString& saying,
                        std::function<void(const std::atomic<bool>& stop)> work)
{
    status(saying);
    copying_.start(std::move(work), [this, run](const QString& failure) {
        run->failure = failure;
        tellCopy(*run);
    });
}

void Program::tellCopy(const CopyRun& run)
{
    const QString& databasePath = run.databasePath;
    QStringList ahead;
    if (!AnaMenuF.sutConnection.movedTo().isEmpty()) ahead << QStringLiteral("Dosya yalnız okunur: defter sunucuya taşındı.");
    if (!run.note.isEmpty()) ahead << run.note;
    const auto status = [&](const QString& text) { this->status((ahead + QStringList{text}).join(QLatin1Char(' '))); };
    if (!run.failure.isEmpty()) {
        // The day's work goes on; the next start tries again.
        status(QStringLiteral("Günlük yedek alınamadı."));
        dialogs_.message(QStringLiteral("Günlük yedek alınamadı; program çalışmaya devam ediyor, yedek bir sonraki açılışta "
                                        "yeniden denenecek.\n\n%1")
                             .arg(run.failure));
        return;
    }
    if (run.copy->outcome == DailyBackup::Outcome::Damaged) {
        const QString copy = newestBackup(databasePath);
        status(QStringLiteral("Günlük yedek denetimden geçmedi."));
        dialogs_.message(
            QStringLiteral("Veritabanının bakıma ihtiyacı var: bugünün yedeği denetimden geçmedi, çünkü %1 "
                           "dosyasında bozulma bulundu. Bozuk yedek saklanmadı.\n\n%2\n\nDenetimin bulduğu:\n%3")
                .arg(databasePath,
                     copy.isEmpty() ? QStringLiteral("Yedek klasöründe (%1) sağlam bir yedek yok.").arg(backupFolder(databasePath))
                                    : restoreAdvice(databasePath, copy),
                     run.copy->problem));
        return;
    }
    QString line = QStringLiteral("Günlük yedek alındı ve denetlendi: %1").arg(QFileInfo(run.copy->file).fileName());
    if (!run.secondFailure.isEmpty())
        line += QStringLiteral("; ") + run.secondFailure;
    else if (run.second && run.second->outcome == DailyBackup::Outcome::Damaged)
        line += QStringLiteral("; yedek klasöründeki kopya denetimden geçmedi, saklanmadı.");
    else if (run.second)
        line += QStringLiteral("; kopyası %1 içinde.").arg(QFileInfo(run.second->file).absolutePath());
    // The disk running short is said first: a long line is cut at its end.
    status(run.room.isEmpty() ? line : run.room + QLatin1Char(' ') + line);
}

void Program::status(const QString& text)
{
    if (onCopyStatus) onCopyStatus(text);
}

QString Program::secondFolderDoubt(const QString& folder) const
{
    struct stat chosen {};
    struct stat data {};
    const QString dataFolder = QFileInfo(AnaMenuF.sutConnection.path()).absolutePath();
    if (::stat(QFile::encodeName(folder).constData(), &chosen) != 0 ||
        ::stat(QFile::encodeName(dataFolder).constData(), &data) != 0 || chosen.st_dev != data.st_dev)
        return {};
    return QStringLiteral("%1 klasörü veritabanıyla aynı diskte; o disk bozulursa bu yedekler de gider. "
                          "Yedek klasörünü başka bir diskte (bir USB bellekte) seçin.")
        .arg(folder);
}
