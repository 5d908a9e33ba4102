#include "store/MoveLedger.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/PgConnection.h"
#include "store/Schema.h"
#include "store/ServerSql.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "store/EngineHandle.h"

#include <QFile>

#include <QDateTime>

#include <libpq-fe.h>

#include <cstring>

namespace {

constexpr int kRowsPerFetch = 20000;

[[noreturn]] void refuse(const QString& why)
{
    const std::string text = why.toStdString();
    throw DatabaseError(DatabaseError::kNotEngine, text);
}

// One field as COPY's text format reads it; numbers with every digit.
void appendField(QByteArray& line, const Statement& row, int column, const QString& table, qint64 key)
{
    switch (row.columnType(column)) {
    case Statement::Type::Null:
        line += "\\N";
        return;
    case Statement::Type::Integer:
        line += QByteArray::number(row.columnInteger(column));
        return;
    case Statement::Type::Real:
        line += QByteArray::number(row.columnReal(column), 'g', 17);
        return;
    default:
        break;
    }
    const QByteArrayView text = row.columnBytes(column);
    if (text.contains('\0'))
        refuse(QStringLiteral("%1 tablosunun %2 numaralı kaydındaki bir metinde sunucunun saklayamadığı boş karakter (\\0) var; "
                              "o kaydı düzeltip yeniden taşıyın.").arg(table).arg(key));
    for (const char c : text) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += c;
        }
    }
}

// Every field of every row, in the order of their keys, read alike from both.
QString rowsInKeyOrder(const schema::Table& table)
{
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(table.fieldNames().join(QStringLiteral(", ")), QLatin1String(table.name), table.keyField());
}

void copyTable(const Connection& file, PgConnection& server, const schema::Table& table, qint64& rows)
{
    const QStringList fields = table.fieldNames();
    const QString name = QString::fromLatin1(table.name);
    Statement read(file, rowsInKeyOrder(table));
    pg_conn* conn = server.handle();
    {
        PgResult start(PQexec(conn, QStringLiteral("COPY %1 (%2) FROM STDIN").arg(name, fields.join(QStringLiteral(", "))).toUtf8().constData()));
        if (PQresultStatus(start.get()) != PGRES_COPY_IN) refuse(QString::fromUtf8(PQerrorMessage(conn)).trimmed());
    }
    QByteArray buffer;
    const auto send = [&] {
        if (PQputCopyData(conn, buffer.constData(), static_cast<int>(buffer.size())) != 1) refuse(QString::fromUtf8(PQerrorMessage(conn)));
        buffer.clear();
    };
    while (read.step()) {
        const qint64 key = read.columnInteger(0);
        for (int column = 0; column < fields.size(); ++column) {
            if (column > 0) buffer += '\t';
            appendField(buffer, read, column, name, key);
        }
        buffer += '\n';
        ++rows;
        if (buffer.size() > (1 << 20)) send();
    }
    send();
    if (PQputCopyEnd(conn, nullptr) != 1) refuse(QString::fromUtf8(PQerrorMessage(conn)));
    PgResult result(PQgetResult(conn));
    const bool copied = PQresultStatus(result.get()) == PGRES_COMMAND_OK;
    const QString why = QString::fromUtf8(PQresultErrorMessage(result.get())).trimmed();
    while (PGresult* rest = PQgetResult(conn)) PQclear(rest);
    if (!copied) refuse(QStringLiteral("%1 tablosu sunucuya yazılamadı: %2").arg(name, why));
}

// The next key the file would give: past every key it ever gave, also
// those of rows deleted since.
void carryKeys(const Connection& file, PgConnection& server, const schema::Table& table)
{
    Statement given(file, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?1"));
    given.bind(1, QString::fromLatin1(table.name));
    const qint64 fileNext = given.step() ? given.columnInteger(0) : 0;
    server.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), GREATEST(?1, (SELECT COALESCE(MAX(%2), 0) FROM %1)) + 1, false)")
                    .arg(QString::fromLatin1(table.name).toLower(), table.keyField().toLower()),
                {fileNext});
}

bool sameField(const Statement& fileRow, int column, const PGresult* server, int row)
{
    if (PQgetisnull(server, row, column)) return fileRow.columnType(column) == Statement::Type::Null;
    const char* text = PQgetvalue(server, row, column);
    switch (fileRow.columnType(column)) {
    case Statement::Type::Null:
        return false;
    case Statement::Type::Integer:
        return QByteArray(text).toLongLong() == fileRow.columnInteger(column) && PQftype(server, column) != kPgFloat8;
    case Statement::Type::Real: {
        const double stored = QByteArray(text).toDouble();
        const double original = fileRow.columnReal(column);
        return std::memcmp(&stored, &original, sizeof stored) == 0;
    }
    default:
        return QByteArrayView(text) == fileRow.columnBytes(column);
    }
}

QString compareTable(const Connection& file, PgConnection& server, const schema::Table& table)
{
    const QStringList fields = table.fieldNames();
    const QString name = QString::fromLatin1(table.name);
    Statement fileRows(file, rowsInKeyOrder(table));
    server.run(QStringLiteral("DECLARE karsilastir NO SCROLL CURSOR FOR ") + rowsInKeyOrder(table), {});
    qint64 count = 0;
    bool fileHasMore = fileRows.step();
    for (;;) {
        PgResult chunk = server.run(QStringLiteral("FETCH %1 FROM karsilastir").arg(kRowsPerFetch), {});
        const int rows = PQntuples(chunk.get());
        for (int row = 0; row < rows; ++row, ++count) {
            if (!fileHasMore) refuse(QStringLiteral("%1 tablosunda sunucuda dosyadakinden çok kayıt var.").arg(name));
            for (int column = 0; column < fields.size(); ++column)
                if (!sameField(fileRows, column, chunk.get(), row))
                    refuse(QStringLiteral("%1 tablosunun %2 numaralı kaydının %3 alanı sunucuda dosyadakinden farklı: %4")
                               .arg(name).arg(fileRows.columnInteger(0)).arg(fields[column], QString::fromUtf8(PQgetvalue(chunk.get(), row, column))));
            fileHasMore = fileRows.step();
        }
        if (rows < kRowsPerFetch) break;
    }
    server.run(QStringLiteral("CLOSE karsilastir"), {});
    if (fileHasMore) refuse(QStringLiteral("%1 tablosunda sunucuda dosyadakinden az kayıt var.").arg(name));
    return QStringLiteral("%1: %2 satır, hepsi aynı").arg(name).arg(count);
}

const QString kMovedTable = QStringLiteral("Defter_Tasindi");

// A small table of its own outside the schema's versions, as the identity's:
// a program that does not know it reads the file as before.
// Written past the read-only opening a file marked before gets: a ledger may
// be moved again.
void markMoved(const QString& filePath, const QString& place)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(filePath).constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    const DatabaseHandle file(raw);
    if (rc != SQLITE_OK) refuse(QStringLiteral("%1 dosyasına taşındığı yazılamadı: %2").arg(filePath, QString::fromUtf8(sqlite3_errstr(rc))));
    Statement(file.get(), QStringLiteral("PRAGMA synchronous=EXTRA")).run();
    Transaction marking(file.get());
    Statement(file.get(), QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Sunucu TEXT NOT NULL, Zaman TEXT NOT NULL)").arg(kMovedTable)).run();
    Statement mark(file.get(), QStringLiteral("INSERT INTO %1 (Sunucu, Zaman) VALUES (?1, ?2)").arg(kMovedTable));
    mark.bind(1, place);
    mark.bind(2, QDateTime::currentDateTime());
    mark.run();
    marking.commit();
}

}  // namespace

QString movedTo(sqlite3* db)
{
    Statement table(db, QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = '%1'").arg(kMovedTable));
    if (!table.step()) return {};
    Statement last(db, QStringLiteral("SELECT Sunucu, Zaman FROM %1 ORDER BY rowid DESC LIMIT 1").arg(kMovedTable));
    if (!last.step()) return {};
    const QDateTime when = QDateTime::fromString(last.column(1).toString(), kStoredMomentFormat);
    return QStringLiteral("%1 (%2)").arg(last.column(0).toString(), when.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}

void tidyServerTables(PgConnection& server)
{
    server.script(QStringLiteral("VACUUM (ANALYZE) ") + serverTables(server).join(QStringLiteral(", ")));
}

MovedLedger moveLedgerToServer(const QString& filePath, const QString& conninfo)
{
    Connection file;
    file.open(filePath);
    PgConnection server;
    // A million rows take longer than a window's statement may: the move,
    // on its own connection, has no time limit.
    server.setAnswerLimit(0);
    server.open(conninfo, serverSessionScript({}, {}, {}) + QStringLiteral(" SET statement_timeout = 0; SET lock_timeout = 0;"));
    if (!serverTables(server).isEmpty())
        refuse(QStringLiteral("Sunucudaki %1 veritabanı boş değil; defter yalnız boş bir veritabanına taşınır.")
                   .arg(QString::fromUtf8(PQdb(server.handle()))));
    MovedLedger moved;
    server.script(QStringLiteral("BEGIN"));
    try {
        createServerTables(server);
        for (const schema::Table& table : schema::tables()) copyTable(file, server, table, moved.rows);
        for (const schema::Table& table : schema::tables()) carryKeys(file, server, table);
        finishServerLedger(server);
        for (const schema::Table& table : schema::tables()) moved.tables << compareTable(file, server, table);
        server.script(QStringLiteral("COMMIT"));
    } catch (...) {
        if (server.inTransaction()) server.script(QStringLiteral("ROLLBACK"));
        throw;
    }
    markMoved(filePath, QStringLiteral("%1, veritabanı %2").arg(QString::fromUtf8(PQhost(server.handle())), QString::fromUtf8(PQdb(server.handle()))));
    // The screens' plans want statistics and a visibility map from the first
    // query on, not once the server's own vacuum gets round to a million new rows.
    tidyServerTables(server);
    return moved;
}
