#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <memory>

struct sqlite3;
class PgConnection;

// The one connection to the program's ledger: its database file, or a
// database on a server that several desks share.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file of this program. Nothing is created and a file
    // that is not this program's database is left untouched: the error names
    // the file and carries the engine's text.
    void open(const QString& path);
    // Creates the folder, the file and the four tables, then opens it.
    void createNew(const QString& path);
    // Opens the ledger in a server's database, named by libpq's connection
    // text; an empty database is made a ledger when askCreate says so.
    // Throws DatabaseError (isLostServer for a server not reached).
    enum class ServerOutcome { Opened, Declined };
    ServerOutcome openServer(const QString& conninfo, const std::function<bool(const QString& question)>& askCreate);
    void close();
    bool isOpen() const { return db_ != nullptr || server_ != nullptr; }
    // The file's path; empty for a server's ledger.
    const QString& path() const { return path_; }
    bool isServer() const { return server_ != nullptr; }
    PgConnection& server() const;
    const QString& conninfo() const { return conninfo_; }
    // Where the ledger is, for a person: the file, or the server and database.
    QString place() const;
    // Where a file's ledger was moved (the server and when); such a file is
    // opened read-only. Empty otherwise.
    const QString& movedTo() const { return movedTo_; }
    // Reads it again, for a file just moved while open.
    void readMoveMark();
    // Rows as this program showed them for a correction or deletion, by
    // "table:key" (see rememberShown).
    QHash<QString, QVariantMap>& shownRows() const { return shownRows_; }

    sqlite3* handle() const;
    // Throws DatabaseError with the connection's last error text.
    [[noreturn]] void fail(int code) const;

private:
    void configure();

    sqlite3* db_ = nullptr;
    QString path_;
    std::unique_ptr<PgConnection> server_;
    QString conninfo_;
    QString movedTo_;
    mutable QHash<QString, QVariantMap> shownRows_;
};

// An empty server database made a ledger: the tables, then the rows the
// caller puts in (none, or a file's), then the keys, indexes and notices.
// Each step is its own; the caller holds the transaction.
void createServerTables(PgConnection& server);
void finishServerLedger(PgConnection& server);
// The tables the server database holds, by name; none in an empty one.
QStringList serverTables(PgConnection& server);

// The engine's file layer (a registered VFS name) for every later open;
// nullptr for the engine's own. Only tests that model disk faults set it.
void setEngineFileLayer(const char* vfsName);

// The database file, relative to the working directory.
inline const QString kDatabasePath = QStringLiteral("AnaData/Kovanta.mdb");

enum class StartOutcome { Opened, Declined };

// Start-up: opens the file, or when it is missing asks (through askCreate)
// whether to create a new, empty database. Throws DatabaseError for a file
// that cannot be used.
StartOutcome openOrCreate(Connection& connection, const QString& path,
                          const std::function<bool(const QString& question)>& askCreate);
