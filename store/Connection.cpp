#include "store/Connection.h"

#include "store/DatabaseError.h"
#include "store/Schema.h"
#include "store/Statement.h"
#include "store/TurkishCollation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace {

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
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    DatabaseHandle db(raw);
    if (rc != SQLITE_OK) failFile(path, rc, db.get());
    return db;
}

void execute(const QString& path, sqlite3* db, const QString& sql)
{
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) failFile(path, rc, db);
}

// Reads the file without writing to it: a file that is not this program's
// database, misses a table or a field, or was written by a newer version of
// the program, is refused before any write access. Returns its version.
int validate(const QString& path)
{
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READONLY);
    sqlite3_extended_result_codes(db.get(), 1);
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
        failFile(path, error.code(), QString::fromUtf8(error.what()));
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

void Connection::open(const QString& path)
{
    close();
    int version = 0;
    try {
        version = validate(path);
    } catch (const DatabaseError& error) {
        if (error.code() != SQLITE_READONLY_ROLLBACK) throw;
        rollBackInterruptedWrite(path);
        version = validate(path);
    }
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READWRITE);
    // A misspelt "name" must fail as an unknown field, not pass as a text.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // After every post the file alone holds everything, so a copy is a backup.
    execute(path, db.get(), QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"));
    sqlite3_busy_timeout(db.get(), 5000);
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

    const QString journal = path + QStringLiteral("-journal");
    const bool journalExisted = QFileInfo::exists(journal);
    // Creating the empty file ourselves, exclusively, keeps a file that
    // appeared in the meantime from being written over.
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            failFile(path, SQLITE_CANTOPEN, file.errorString());
    }
    try {
        {
            DatabaseHandle db = openHandle(path, SQLITE_OPEN_READWRITE);
            execute(path, db.get(), QStringLiteral("PRAGMA journal_mode=DELETE;"));
            execute(path, db.get(), QStringLiteral("BEGIN;\n") + schema::creationScript() + QStringLiteral("COMMIT;"));
        }
        open(path);
    } catch (...) {
        close();
        if (!journalExisted) QFile::remove(journal);
        QFile::remove(path);
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
    if (!db_) throw DatabaseError(SQLITE_MISUSE, "The database is not open");
    return db_;
}

void Connection::fail(int code) const
{
    throw DatabaseError(code, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
}

StartOutcome openOrCreate(Connection& connection, const QString& path,
                          const std::function<bool(const QString& question)>& askCreate)
{
    if (!QFileInfo::exists(path)) {
        const QString question =
            QStringLiteral("%1 veritabanı dosyası bulunamadı.\nYeni, boş bir veritabanı oluşturulsun mu?").arg(path);
        if (!askCreate(question)) return StartOutcome::Declined;
        connection.createNew(path);
        return StartOutcome::Opened;
    }
    connection.open(path);
    return StartOutcome::Opened;
}
