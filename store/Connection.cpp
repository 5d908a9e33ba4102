#include "store/Connection.h"

#include "store/DatabaseError.h"
#include "store/EngineHandle.h"
#include "store/FaultText.h"
#include "store/MoveLedger.h"
#include "store/NewFile.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"
#include "store/Schema.h"
#include "store/StartGuard.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "store/Upgrade.h"
#include "store/TurkishCollation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTimeZone>

#include <libpq-fe.h>

#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// The engine's file layer for every open; empty for its default.
std::string& fileLayer()
{
    static std::string name;
    return name;
}

[[noreturn]] void failFile(const QString& path, int code, sqlite3* db)
{
    failFile(path, code, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code)));
}

// Every write to the file's own tables is refused; the temporary ones of
// a read stay free.
int refuseWrites(void*, int action, const char*, const char*, const char* database, const char*)
{
    switch (action) {
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_ALTER_TABLE:
    case SQLITE_ANALYZE:
    case SQLITE_REINDEX:
        return database && std::strcmp(database, "temp") == 0 ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_OK;
    }
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

void execute(const QString& path, sqlite3* db, const QString& sql)
{
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) failStart(path, rc, QString::fromUtf8(sqlite3_errmsg(db)));
}

// A write cut off half-way (a power cut) leaves a hot journal that only a
// writer may roll back; reading the file once with write access does it.
void rollBackInterruptedWrite(const QString& path)
{
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READWRITE);
    execute(path, db.get(), QStringLiteral("SELECT count(*) FROM sqlite_schema;"));
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void createServerTables(PgConnection& server)
{
    server.script(serverTablesScript());
}

void finishServerLedger(PgConnection& server)
{
    server.script(serverFinishScript());
}

QStringList serverTables(PgConnection& server)
{
    QStringList names;
    for (const PgConnection::Row& row :
         server.exec(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() ORDER BY 1")))
        names << row.value(0).toString();
    return names;
}

Connection::ServerOutcome Connection::openServer(const QString& conninfo, const std::function<bool(const QString& question)>& askCreate)
{
    close();
    auto server = std::make_unique<PgConnection>();
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    server->open(conninfo, serverSessionScript(user, QSysInfo::machineHostName(), QString::fromUtf8(QTimeZone::systemTimeZoneId())));
    const QString database = QString::fromUtf8(PQdb(server->handle()));
    const auto refuse = [&](const QString& why) {
        const std::string text = QStringLiteral("%1 veritabanı açılamadı: %2").arg(database, why).toStdString();
        throw DatabaseError(DatabaseError::kNotEngine, text);
    };
    const bool hasVersion = !server->exec(QStringLiteral("SELECT to_regclass('kovanta_surum')")).value(0).value(0).isNull();
    if (!hasVersion) {
        if (!serverTables(*server).isEmpty()) refuse(QStringLiteral("içinde bu programın defteri değil, başka tablolar var."));
        if (!askCreate(QStringLiteral("Sunucudaki %1 veritabanı boş.\nİçinde yeni, boş bir defter oluşturulsun mu?").arg(database)))
            return ServerOutcome::Declined;
        // One transaction: a creation cut off leaves the database empty.
        server->script(QStringLiteral("BEGIN"));
        createServerTables(*server);
        server->script(schema::offeredDeductions());
        finishServerLedger(*server);
        server->script(QStringLiteral("COMMIT"));
    }
    const auto version = [&] { return static_cast<int>(server->exec(QStringLiteral("SELECT max(Surum) FROM Kovanta_Surum")).value(0).value(0).toLongLong()); };
    if (version() < schema::kVersion) {
        // One desk upgrades; another starting meanwhile waits for it and
        // finds it done.
        server->script(QStringLiteral("BEGIN; LOCK TABLE Kovanta_Surum IN EXCLUSIVE MODE"));
        try {
            const int found = version();
            if (found < schema::kVersion && found > 0) server->script(serverUpgradeScript(found));
            server->script(QStringLiteral("COMMIT"));
        } catch (...) {
            if (server->inTransaction()) server->script(QStringLiteral("ROLLBACK"));
            throw;
        }
    }
    if (version() != schema::kVersion)
        refuse(QStringLiteral("defterin sürümü (%1) bu programınki (%2) değil; programın yeni sürümünü kurun.").arg(version()).arg(schema::kVersion));
    server_ = std::move(server);
    conninfo_ = conninfo;
    return ServerOutcome::Opened;
}

PgConnection& Connection::server() const
{
    if (!server_) throw DatabaseError(DatabaseError::kNotEngine, "Sunucu bağlantısı açık değil");
    return *server_;
}

QString Connection::place() const
{
    if (!server_) return path_;
    const QString host = QString::fromUtf8(PQhost(server_->handle()));
    return QStringLiteral("Sunucu %1, veritabanı %2").arg(host, QString::fromUtf8(PQdb(server_->handle())));
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
    const auto validate = [&] { return validatedVersion(openHandle(path, SQLITE_OPEN_READONLY).get(), path); };
    int version = 0;
    try {
        version = validate();
    } catch (const DatabaseError& error) {
        if (error.code() != SQLITE_READONLY_ROLLBACK) throw;
        rollBackInterruptedWrite(path);
        version = validate();
    }
    // Serialized: the daily copy reads through it from another thread.
    DatabaseHandle db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX);
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
    if (version < schema::kVersion) upgrade(db.get(), path, version);
    registerTurkishCollation(db.get());
    registerTurkishLower(db.get());
    db_ = db.release();
    path_ = path;
    readMoveMark();
}

void Connection::readMoveMark()
{
    movedTo_ = ::movedTo(handle());
    // Desks go on writing to the server; this file no longer changes.
    if (!movedTo_.isEmpty()) sqlite3_set_authorizer(db_, refuseWrites, nullptr);
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
            Transaction creation(db.get());
            execute(fresh, db.get(), schema::creationScript());
            creation.commit();
        }
        const QString why = placeUnderName(fresh, path);
        if (!why.isEmpty()) failFile(path, SQLITE_CANTOPEN, why);
        linked = true;
        removeFresh();
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
    server_.reset();
    conninfo_.clear();
    movedTo_.clear();
}

sqlite3* Connection::handle() const
{
    if (server_) throw DatabaseError(DatabaseError::kNotEngine, "Bu işlem yalnız dosyadaki defterde yapılır");
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
