#include "store/Connection.h"

#include "store/DatabaseError.h"
#include "store/FaultText.h"
#include "store/Schema.h"
#include "store/Statement.h"
#include "store/TurkishCollation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>

namespace {

// The engine's file layer for every open; empty for its default.
std::string& fileLayer()
{
    static std::string name;
    return name;
}

// How long a start waits for another program's lock, as a save does.
constexpr int kLockWaitMs = 5000;

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, CloseDatabase>;

[[noreturn]] void failFile(const QString& path, int code, const QString& text)
{
    throw DatabaseError(code, (path + QStringLiteral(": ") + text).toStdString());
}

[[noreturn]] void failFile(const QString& path, int code, sqlite3* db)
{
    failFile(path, code, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code)));
}

DatabaseHandle openHandle(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags,
                                   fileLayer().empty() ? nullptr : fileLayer().c_str());
    DatabaseHandle db(raw);
    if (rc != SQLITE_OK) failFile(path, rc, db.get());
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), kLockWaitMs);
    return db;
}

// The engine's refusal at start-up, said in Turkish where it is a file fault.
[[noreturn]] void failStart(const QString& path, int code, const QString& engineText)
{
    QString sentence;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        sentence = QStringLiteral("dosyayı başka bir program kilitli tutuyor; %1 saniye beklendi, bırakılmadı. "
                                  "Dosyayı açan programı (yedekleme, virüs tarayıcı, başka bir Orvalin Kovanta) "
                                  "kapatıp programı yeniden başlatın.")
                       .arg(kLockWaitMs / 1000);
        break;
    case SQLITE_READONLY:
        sentence = QStringLiteral("dosya salt okunur açılabildi; bu durumda hiçbir kayıt saklanamaz. Dosyaya ve "
                                  "klasörüne yazma izni verip programı yeniden başlatın.");
        break;
    case SQLITE_NOTADB:
        sentence = QStringLiteral("dosya bir Orvalin Kovanta veritabanı değil ya da başı bozuk. Dosyaya dokunulmadı.");
        break;
    case SQLITE_CORRUPT:
        sentence = QStringLiteral("veritabanı dosyası bozuk. Dosyaya dokunulmadı.");
        break;
    default:
        sentence = faultSentence(code);
    }
    if (sentence.isEmpty()) failFile(path, code, engineText);
    failFile(path, code, sentence + QStringLiteral("\n\n") + engineText);
}

void execute(const QString& path, sqlite3* db, const QString& sql)
{
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) failStart(path, rc, QString::fromUtf8(sqlite3_errmsg(db)));
}

// What stands at the database's place must be a file this program may write,
// in a folder it may write (the journal goes beside the file); anything else
// is named before the engine sees it, so a pipe cannot hang the start and a
// read-only file cannot open into a program whose every save fails.
void checkPlace(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        failFile(path, SQLITE_CANTOPEN, QStringLiteral("veritabanı dosyası bulunamadı."));
    if (info.isDir())
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("bu ad bir klasörün, veritabanı dosyası değil. Klasörü başka bir yere taşıyın ya da "
                                "adını değiştirin ve veritabanı dosyasını yerine koyun."));
    if (!info.isFile())
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("bu ad sıradan bir dosyanın değil (aygıt, boru ya da kırık bağlantı). Onu kaldırın "
                                "ve veritabanı dosyasını yerine koyun."));
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), R_OK) != 0)
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("dosya okunamıyor (okuma izni yok). Dosyaya okuma ve yazma izni verip programı "
                                "yeniden başlatın."));
    if (::access(native.constData(), W_OK) != 0)
        failFile(path, SQLITE_READONLY,
                 QStringLiteral("dosya salt okunur; bu durumda hiçbir kayıt saklanamaz. Dosyanın özelliklerinden "
                                "salt okunur işaretini kaldırıp (yazma izni verip) programı yeniden başlatın."));
    const QString folder = info.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        failFile(path, SQLITE_READONLY,
                 QStringLiteral("dosyanın klasörü (%1) salt okunur; her kayıt bu klasörde geçici bir dosya açar, "
                                "bu durumda hiçbir kayıt saklanamaz. Klasöre yazma izni verip programı yeniden "
                                "başlatın.")
                     .arg(folder));
}

quint32 bigEndian(const QByteArray& bytes, qint64 offset)
{
    if (offset + 4 > bytes.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + offset);
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

bool isPowerOfTwoIn(quint32 value, quint32 low, quint32 high)
{
    return value >= low && value <= high && (value & (value - 1)) == 0;
}

// A journal left beside the file is rolled into it at the next open. That is
// right after a crash and ruinous beside an older copy put back from a backup:
// the journal's saved first page carries the change counter the file had when
// the interrupted write began, which the file still has (or has one more).
// Returns an empty text when the journal belongs to the file, or may be
// ignored; otherwise why it does not.
QString foreignJournal(const QString& path)
{
    QFile journal(path + QStringLiteral("-journal"));
    if (!journal.exists() || journal.size() == 0 || !journal.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = journal.read(qint64(64) << 20);
    static const QByteArray magic = QByteArray::fromHex("d9d505f920a163d7");
    // Without the magic the engine takes the journal for a finished one and
    // leaves the file alone.
    if (!bytes.startsWith(magic)) return {};
    quint32 records = bigEndian(bytes, 8);
    const quint32 initialPages = bigEndian(bytes, 16);
    const quint32 sector = bigEndian(bytes, 20);
    const quint32 pageSize = bigEndian(bytes, 24);
    if (!isPowerOfTwoIn(sector, 32, 65536) || !isPowerOfTwoIn(pageSize, 512, 65536)) return {};
    const qint64 recordSize = qint64(pageSize) + 8;
    if (records == 0xffffffffu) records = quint32((journal.size() - sector) / recordSize);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(100);
    const quint32 counter = bigEndian(head, 24);

    for (quint32 i = 0; i < records; ++i) {
        const qint64 at = qint64(sector) + qint64(i) * recordSize;
        if (at + recordSize > bytes.size()) break;
        if (bigEndian(bytes, at) != 1) continue;
        const quint32 saved = bigEndian(bytes, at + 4 + 24);
        if (counter == saved || counter == saved + 1) return {};
        return QStringLiteral("dosyanın değişiklik sayacı %1, günlükteki %2").arg(counter).arg(saved);
    }
    // Nothing of the first page in it: the write was cut off before the
    // engine had saved anything to roll back, and the file has not grown or
    // shrunk since; rolling back then only sets the size it already has.
    if (records == 0 && fileSize == qint64(initialPages) * pageSize) return {};
    return QStringLiteral("günlükte dosyanın ilk sayfası yok, dosya %1 sayfa, günlük %2 sayfalık bir dosyanın")
        .arg(fileSize / pageSize)
        .arg(initialPages);
}

void refuseForeignJournal(const QString& path)
{
    const QString why = foreignJournal(path);
    if (why.isEmpty()) return;
    const QString journal = path + QStringLiteral("-journal");
    failFile(path, SQLITE_CANTOPEN,
             QStringLiteral("yanındaki %1 dosyası bu veritabanı dosyasına ait değil (%2). Büyük olasılıkla eski bir "
                            "yedek geri yüklenirken yanında kalmış; açılsaydı dosyayı bozardı. İki dosyaya da "
                            "dokunulmadı. Yedeği siz geri yüklediyseniz programı kapalıyken %1 dosyasını silin ya da "
                            "başka bir klasöre taşıyın ve programı yeniden başlatın; yüklemediyseniz dosyalara "
                            "dokunmadan yardım isteyin.")
                 .arg(journal, why));
}

// Reads the file without writing to it: a file that is not this program's
// database, misses a table or a field, or was written by a newer version of
// the program, is refused before any write access. Returns its version.
int validate(const QString& path)
{
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READONLY);
    bool ours = false;
    int version = 0;
    try {
        Statement mark(db.get(), QStringLiteral("PRAGMA application_id"));
        ours = mark.step() && mark.column(0).toInt() == schema::kApplicationId;
        Statement versionMark(db.get(), QStringLiteral("PRAGMA user_version"));
        version = versionMark.step() ? versionMark.column(0).toInt() : 0;
        if (ours) {
            for (const schema::Table& table : schema::tables())
                Statement(db.get(), QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                                        .arg(table.fieldNames().join(QStringLiteral(", ")), QString::fromLatin1(table.name)));
        }
    } catch (const DatabaseError& error) {
        if (error.code() == SQLITE_READONLY_ROLLBACK) throw;
        failStart(path, error.code(), QString::fromStdString(error.engineText()));
    }
    if (!ours) failFile(path, SQLITE_NOTADB, QStringLiteral("bu dosya Orvalin Kovanta veritabanı değil"));
    if (version > schema::kVersion)
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("bu dosya programın daha yeni bir sürümüyle yazılmış (dosya sürümü %1, bu program %2). "
                                "Dosyaya dokunulmadı; programın yeni sürümünü kurun.")
                     .arg(version)
                     .arg(schema::kVersion));
    return version;
}

// A write cut off half-way (a power cut) leaves a hot journal that only a
// writer may roll back; reading the file once with write access does it.
void rollBackInterruptedWrite(const QString& path)
{
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READWRITE);
    execute(path, db.get(), QStringLiteral("SELECT count(*) FROM sqlite_schema;"));
}

}  // namespace

Connection::~Connection()
{
    close();
}

void setEngineFileLayer(const char* vfsName)
{
    fileLayer() = vfsName ? vfsName : "";
}

void Connection::open(const QString& path)
{
    close();
    checkPlace(path);
    refuseForeignJournal(path);
    int version = 0;
    try {
        version = validate(path);
    } catch (const DatabaseError& error) {
        if (error.code() != SQLITE_READONLY_ROLLBACK) throw;
        rollBackInterruptedWrite(path);
        version = validate(path);
    }
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READWRITE);
    if (sqlite3_db_readonly(db.get(), "main") == 1)
        failStart(path, SQLITE_READONLY, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
    // A misspelt "name" must fail as an unknown field, not pass as a text.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // After every post the file alone holds everything. EXTRA syncs the
    // folder after the journal is deleted: without it a power cut soon after
    // a save can bring the journal back and the next start undoes the save.
    // No memory map: a read error or a file cut short under a mapped read
    // kills the program instead of reaching the error box.
    execute(path, db.get(), QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=EXTRA;"));
    if (version < schema::kVersion)
        execute(path, db.get(), QStringLiteral("BEGIN;\n") + schema::upgradeScript(version) + QStringLiteral("COMMIT;"));
    registerTurkishCollation(db.get());
    db_ = db.release();
    path_ = path;
}

void Connection::createNew(const QString& path)
{
    close();
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        failFile(path, SQLITE_CANTOPEN, QStringLiteral("dosya zaten var; üzerine yeni veritabanı yazılmaz"));
    if (!QDir().mkpath(info.absolutePath()))
        failFile(path, SQLITE_CANTOPEN, QStringLiteral("klasör oluşturulamadı"));

    // The tables are made in a file beside it and linked under the real name
    // only when complete, so a creation cut off by a crash leaves no file the
    // next start would refuse: it offers to create it again.
    const QString fresh = path + QStringLiteral(".yeni");
    const auto removeFresh = [&] {
        QFile::remove(fresh + QStringLiteral("-journal"));
        QFile::remove(fresh);
    };
    removeFresh();
    bool linked = false;
    try {
        {
            DatabaseHandle db = openHandle(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            execute(fresh, db.get(), QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=EXTRA;"));
            execute(fresh, db.get(), QStringLiteral("BEGIN;\n") + schema::creationScript() + QStringLiteral("COMMIT;"));
        }
        // link() never replaces a file that appeared in the meantime; a FAT
        // stick has no links, and there a rename after a last look will do.
        const QByteArray from = QFile::encodeName(fresh), to = QFile::encodeName(path);
        if (::link(from.constData(), to.constData()) == 0) {
            linked = true;
            removeFresh();
        } else if (errno != EEXIST && !QFileInfo::exists(path) && ::rename(from.constData(), to.constData()) == 0) {
            linked = true;
        } else {
            failFile(path, SQLITE_CANTOPEN, QString::fromLocal8Bit(strerror(errno)));
        }
        const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        open(path);
    } catch (...) {
        close();
        removeFresh();
        if (linked) QFile::remove(path);
        throw;
    }
}

void Connection::close()
{
    // Statistics for the tables this run searched, when they have none or
    // the tables have grown well past them: the report's plans depend on them.
    if (db_) sqlite3_exec(db_, "PRAGMA optimize;", nullptr, nullptr, nullptr);
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    path_.clear();
}

sqlite3* Connection::handle() const
{
    if (!db_) throw DatabaseError(SQLITE_MISUSE, "Veritabanı açık değil");
    return db_;
}

void Connection::fail(int code) const
{
    const QString engineText = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
    throw DatabaseError(code, engineErrorText(code, engineText), engineText.toStdString());
}

StartOutcome openOrCreate(Connection& connection, const QString& path,
                          const std::function<bool(const QString& question)>& askCreate)
{
    const QFileInfo info(path);
    // An empty file is what a creation cut off by a crash left before
    // creations were made whole; it holds nothing and is offered again.
    if (info.isFile() && !info.isSymLink() && info.size() == 0 && !QFileInfo::exists(path + QStringLiteral("-journal"))) {
        const QString question = QStringLiteral("%1 veritabanı dosyası boş (oluşturulması yarım kalmış).\n"
                                                "Yeni, boş bir veritabanı oluşturulsun mu?")
                                     .arg(path);
        if (!askCreate(question)) return StartOutcome::Declined;
        if (!QFile::remove(path)) failFile(path, SQLITE_CANTOPEN, QStringLiteral("boş dosya silinemedi"));
        connection.createNew(path);
        return StartOutcome::Opened;
    }
    if (!info.exists() && !info.isSymLink()) {
        const QString question =
            QStringLiteral("%1 veritabanı dosyası bulunamadı.\nYeni, boş bir veritabanı oluşturulsun mu?").arg(path);
        if (!askCreate(question)) return StartOutcome::Declined;
        connection.createNew(path);
        return StartOutcome::Opened;
    }
    connection.open(path);
    // What a creation killed after its link may have left beside the file.
    QFile::remove(path + QStringLiteral(".yeni-journal"));
    QFile::remove(path + QStringLiteral(".yeni"));
    return StartOutcome::Opened;
}
