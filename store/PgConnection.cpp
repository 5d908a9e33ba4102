#include "store/PgConnection.h"

#include "store/DatabaseError.h"
#include "store/FaultText.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>

#include <libpq-fe.h>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void failConnection(pg_conn* conn, int code = DatabaseError::kNotEngine)
{
    const std::string text = QString::fromUtf8(PQerrorMessage(conn)).trimmed().toStdString();
    throw DatabaseError(code, text);
}

// A statement past the session's time limit, or a lock wait past its limit:
// the server is there but busy or held, so the window is given its answer.
bool isNoAnswer(const char* state)
{
    return state && (std::strcmp(state, "57014") == 0 || std::strcmp(state, "55P03") == 0);
}

[[noreturn]] void failResult(pg_conn* conn, PGresult* result)
{
    // The fields live in the result, so they are copied before it is freed.
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const char* primaryField = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const int code = state ? sqlStateCode(state) : DatabaseError::kNotEngine;
    const std::string primary = primaryField ? primaryField : "";
    const std::string whole = QString::fromUtf8(PQresultErrorMessage(result)).trimmed().toStdString();
    const bool noAnswer = isNoAnswer(state);
    PQclear(result);
    if (!primaryField) failConnection(conn);  // lost connection: no server message
    if (noAnswer) {
        const QString text = QStringLiteral("Defterin bulunduğu sunucu yanıt vermiyor, son işlem yapılmadı. Girdiğiniz bilgiler kutularda "
                                            "duruyor: sunucu yoğun olabilir ya da kayıt başka bir masada açık tutuluyor olabilir; "
                                            "biraz sonra yeniden saklayın.\n\n") + QString::fromStdString(whole);
        throw DatabaseError(code, text.toStdString(), primary);
    }
    throw DatabaseError(code, whole.empty() ? primary : whole, primary);
}

double parseDouble(const char* text)
{
    // The server writes NaN and the infinities as words.
    const QByteArray t(text);
    if (t == "NaN") return std::nan("");
    if (t == "Infinity") return HUGE_VAL;
    if (t == "-Infinity") return -HUGE_VAL;
    return t.toDouble();
}

QVariant valueOf(PGresult* result, int row, int column)
{
    if (PQgetisnull(result, row, column)) return QVariant();
    const char* text = PQgetvalue(result, row, column);
    switch (PQftype(result, column)) {
    case kPgBool: return QVariant(text[0] == 't');
    case kPgInt2:
    case kPgInt4:
    case kPgInt8:
    case kPgOid: return QVariant(QByteArray(text).toLongLong());
    case kPgFloat4:
    case kPgFloat8: return QVariant(parseDouble(text));
    case kPgDate: return QVariant(QDate::fromString(QString::fromLatin1(text), Qt::ISODate));
    case kPgTimestamp: return QVariant(QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs));
    case kPgBytea: {
        size_t length = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
        QByteArray value(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length));
        PQfreemem(bytes);
        return QVariant(value);
    }
    default: return QVariant(QString::fromUtf8(text, PQgetlength(result, row, column)));
    }
}

// One parameter as the server receives it: numbers in binary so no digit is
// lost to formatting, the rest as text the server parses by the column's type.
struct Param {
    unsigned type = 0;
    QByteArray bytes;
    bool null = false;
    bool binary = false;
};

template <typename T>
QByteArray bigEndian(T value)
{
    auto bits = std::bit_cast<std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>>(value);
    QByteArray out(sizeof bits, Qt::Uninitialized);
    for (int i = sizeof bits - 1; i >= 0; --i, bits >>= 8) out[i] = static_cast<char>(bits & 0xff);
    return out;
}

Param paramOf(const QVariant& value)
{
    Param p;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr: p.null = true; break;
    case QMetaType::Bool:
        p.type = kPgBool;
        p.bytes = value.toBool() ? "t" : "f";
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        p.type = kPgFloat8;
        p.binary = true;
        p.bytes = bigEndian(value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        p.type = kPgInt8;
        p.binary = true;
        p.bytes = bigEndian(static_cast<std::int64_t>(value.toLongLong()));
        break;
    case QMetaType::QDate:
        p.null = !value.toDate().isValid();
        p.type = kPgDate;
        p.bytes = value.toDate().toString(Qt::ISODate).toLatin1();
        break;
    case QMetaType::QDateTime:
        p.null = !value.toDateTime().isValid();
        p.type = kPgTimestamp;
        // To the second, as the file keeps a moment.
        p.bytes = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
        break;
    case QMetaType::QByteArray:
        p.type = kPgBytea;
        p.binary = true;
        p.bytes = value.toByteArray();
        break;
    default:
        // Untyped: the server infers it from where the placeholder stands.
        p.bytes = value.toString().toUtf8();
    }
    return p;
}

}  // namespace

QString serverPlaceholders(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    int largest = 0;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        const auto copyUntil = [&](qsizetype end) {
            out += QStringView(sql).mid(i, end - i);
            i = end;
        };
        if (c == u'\'' || c == u'"') {
            // A doubled quote inside is part of the text.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            copyUntil(j > n ? n : j);
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            copyUntil(end < 0 ? n : end);
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            copyUntil(end < 0 ? n : end + 2);
        } else if (c == u'?') {
            qsizetype j = i + 1;
            while (j < n && sql[j].isDigit()) ++j;
            const int number = j > i + 1 ? QStringView(sql).mid(i + 1, j - i - 1).toInt() : largest + 1;
            largest = std::max(largest, number);
            out += u'$' + QString::number(number);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

int sqlStateCode(const char* sqlState)
{
    int code = 0;
    for (int i = 0; i < 5 && sqlState[i]; ++i) code |= ((sqlState[i] - '0') & 0x3f) << (6 * i);
    return code;
}

void ClearResult::operator()(pg_result* result) const
{
    PQclear(result);
}

PgConnection::~PgConnection()
{
    close();
}

namespace {

pg_conn* connect(const QString& conninfo)
{
    // A server that does not answer is given up after a few seconds; the
    // connection text may say otherwise, and being later it wins.
    const QByteArray given = conninfo.toUtf8();
    const char* const keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* const values[] = {"5", "Orvalin Kovanta", given.constData(), nullptr};
    return PQconnectdbParams(keywords, values, 1);
}

}  // namespace

void PgConnection::open(const QString& conninfo, const QString& session)
{
    close();
    pg_conn* conn = connect(conninfo);
    if (!conn) throw DatabaseError(DatabaseError::kNotEngine, "libpq: out of memory");
    if (PQstatus(conn) != CONNECTION_OK) {
        // The desk's or the server's set-up is what fails here, so the
        // collector is told in Turkish what to mend, ahead of libpq's words.
        const QString engineText = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        PQfinish(conn);
        const QString sentence = serverConnectionSentence(engineText);
        const QString text = sentence.isEmpty() ? engineText : sentence + QStringLiteral("\n\n") + engineText;
        throw DatabaseError(sqlStateCode("08006"), text.toStdString(), engineText.toStdString());
    }
    conn_ = conn;
    session_ = session;
    startSession();
}

void PgConnection::startSession()
{
    if (PQsetClientEncoding(conn_, "UTF8") != 0) failConnection(conn_);
    // Servers before 12 print doubles rounded unless asked for every digit.
    // No window waits on the server without a limit: a statement or a lock
    // wait past it ends in an error; the caller's session may set others.
    script(QStringLiteral("SET extra_float_digits = 3; SET statement_timeout = %1; SET lock_timeout = %2; ")
               .arg(kStatementLimitMs)
               .arg(kLockLimitMs) +
           session_);
}

void PgConnection::close()
{
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
}

bool PgConnection::connected() const
{
    return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

bool PgConnection::reconnect()
{
    if (!conn_) return false;
    if (connected()) return true;
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) return false;
    try {
        startSession();
    } catch (const DatabaseError&) {
        return false;
    }
    return connected();
}

int PgConnection::socket() const
{
    return connected() ? PQsocket(conn_) : -1;
}

bool PgConnection::inTransaction() const
{
    if (!conn_) return false;
    const PGTransactionStatusType status = PQtransactionStatus(conn_);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

void PgConnection::failLost() const
{
    const QString engineText = conn_ ? QString::fromUtf8(PQerrorMessage(conn_)).trimmed() : QString();
    const QString text = QStringLiteral("Defterin bulunduğu sunucuya ulaşılamadı, son işlem yapılmadı. Girdiğiniz bilgiler kutularda "
                                        "duruyor: sunucunun açık, ağın bağlı olduğunu denetleyin; program kendiliğinden yeniden "
                                        "bağlanır, bağlanınca yeniden saklayın.\n\n") + engineText;
    throw DatabaseError(sqlStateCode("08006"), text.toStdString(), engineText.toStdString());
}

PgResult PgConnection::run(const QString& serverText, const QVariantList& params)
{
    if (!conn_) throw DatabaseError(DatabaseError::kNotEngine, "no server connection is open");
    // Outside a transaction a lost connection is made again at once; inside
    // one, what the transaction did is gone, and the error says so.
    if (PQstatus(conn_) != CONNECTION_OK && !reconnect()) failLost();
    std::vector<Param> bound;
    bound.reserve(static_cast<size_t>(params.size()));
    for (const QVariant& value : params) bound.push_back(paramOf(value));
    std::vector<unsigned> types;
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const Param& p : bound) {
        // A text goes as a C string: what follows a zero character would be
        // lost without a word, so the text is refused whole instead.
        if (!p.binary && !p.null && p.bytes.contains('\0')) {
            const std::string why = "Yazılanlardan birinde sunucunun saklayamadığı boş karakter (\\0) var, son işlem yapılmadı. "
                                    "Girdiğiniz bilgiler kutularda duruyor: o karakteri silip yeniden saklayın.";
            throw DatabaseError(DatabaseError::kNotEngine, why);
        }
        types.push_back(p.type);
        values.push_back(p.null ? nullptr : p.bytes.constData());
        lengths.push_back(static_cast<int>(p.bytes.size()));
        formats.push_back(p.binary ? 1 : 0);
    }
    const QByteArray text = serverText.toUtf8();
    if (!PQsendQueryParams(conn_, text.constData(), static_cast<int>(bound.size()), types.data(), values.data(), lengths.data(),
                           formats.data(), 0))
        return checked(PgResult());
    return checked(awaitResult());
}

PgResult PgConnection::awaitResult()
{
    // As PQexec gives it: the last result, or the first error; but a server
    // that sends nothing within the limit is given up, so no window waits
    // on a stopped one for ever.
    QElapsedTimer clock;
    clock.start();
    PGresult* kept = nullptr;
    for (;;) {
        while (!PQisBusy(conn_)) {
            PGresult* next = PQgetResult(conn_);
            if (!next) return PgResult(kept);
            const ExecStatusType status = PQresultStatus(next);
            if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH) {
                PQclear(kept);
                return PgResult(next);
            }
            if (kept && PQresultStatus(kept) == PGRES_FATAL_ERROR) {
                PQclear(next);
                continue;
            }
            PQclear(kept);
            kept = next;
        }
        const qint64 left = answerLimitMs_ > 0 ? answerLimitMs_ - clock.elapsed() : -1;
        if (answerLimitMs_ > 0 && left <= 0) {
            PQclear(kept);
            // The socket shut makes the connection lost for libpq too: the
            // next statement connects again.
            ::shutdown(PQsocket(conn_), SHUT_RDWR);
            PQconsumeInput(conn_);
            const QString text = QStringLiteral("Defterin bulunduğu sunucu yanıt vermiyor, son işlem yapılmadı. Girdiğiniz bilgiler kutularda "
                                                "duruyor: sunucunun çalıştığını denetleyin; program kendiliğinden yeniden bağlanır, "
                                                "bağlanınca yeniden saklayın.");
            throw DatabaseError(sqlStateCode("08006"), text.toStdString());
        }
        pollfd ready{PQsocket(conn_), POLLIN, 0};
        const int waited = ::poll(&ready, 1, static_cast<int>(std::min<qint64>(left, 1000)));
        if (waited < 0 && errno != EINTR) break;
        if (PQconsumeInput(conn_) == 0) break;
    }
    PQclear(kept);
    return PgResult();
}

PgResult PgConnection::checked(PgResult result) const
{
    if (PQstatus(conn_) != CONNECTION_OK) failLost();
    if (!result) failConnection(conn_);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) failResult(conn_, result.release());
    return result;
}

PgResult PgConnection::script(const QString& statements)
{
    if (!conn_) throw DatabaseError(DatabaseError::kNotEngine, "no server connection is open");
    if (PQstatus(conn_) != CONNECTION_OK && !reconnect()) failLost();
    if (!PQsendQuery(conn_, statements.toUtf8().constData())) return checked(PgResult());
    return checked(awaitResult());
}

bool PgConnection::takeNotices(QSet<QString>& payloads)
{
    if (!connected()) return false;
    const int own = PQbackendPID(conn_);
    // Read until the socket has nothing more, so one call takes a whole
    // flood; a flood that never ends is left for the next call.
    for (int round = 0; round < kNoticeRounds; ++round) {
        if (PQconsumeInput(conn_) == 0 || !connected()) return false;
        bool any = false;
        while (PGnotify* notice = PQnotifies(conn_)) {
            any = true;
            // Our own saves were told as they were made.
            if (notice->be_pid != own) payloads.insert(QString::fromUtf8(notice->extra));
            PQfreemem(notice);
        }
        if (!any) break;
    }
    return true;
}

QList<PgConnection::Row> PgConnection::exec(const QString& sql, const QVariantList& params)
{
    PgResult result = run(serverPlaceholders(sql), params);
    QList<Row> rows;
    const int rowCount = PQntuples(result.get()), columnCount = PQnfields(result.get());
    rows.reserve(rowCount);
    for (int r = 0; r < rowCount; ++r) {
        Row row;
        row.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c) row.append(valueOf(result.get(), r, c));
        rows.append(std::move(row));
    }
    return rows;
}
