#pragma once

#include <QString>
#include <functional>

struct sqlite3;

// The one connection to the program's database file.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file of this program. Nothing is created and a file
    // that is not this program's database is left untouched: the error names
    // the file and carries the engine's text.
    void open(const QString& path);
    // Creates the folder, the file and the four tables, then opens it.
    void createNew(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const QString& path() const { return path_; }

    sqlite3* handle() const;
    // Throws DatabaseError with the connection's last error text.
    [[noreturn]] void fail(int code) const;

private:
    void configure();

    sqlite3* db_ = nullptr;
    QString path_;
};

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
