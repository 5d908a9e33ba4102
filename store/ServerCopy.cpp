#include "store/ServerCopy.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/MoveLedger.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"
#include "store/ShelfKeeping.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <libpq-fe.h>

#include <functional>

using namespace shelving;

namespace {

// The programs of the server's own version write and read its copies best.
const QString kServerBinDir = QStringLiteral("/usr/lib/postgresql/15/bin");

QString programPath(const QString& name)
{
    const QString chosen = qEnvironmentVariable("KOVANTA_PG_BINDIR");
    if (!chosen.isEmpty()) return chosen + QLatin1Char('/') + name;
    const QString versioned = kServerBinDir + QLatin1Char('/') + name;
    if (QFileInfo(versioned).isExecutable()) return versioned;
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? name : found;
}

// The connection text as the programs get it. A password in it would be
// readable by anyone on the machine in their command line, so it goes
// through their environment instead.
struct ProgramLogin {
    QString conninfo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

QString quotedValue(const char* value)
{
    QString text = QString::fromUtf8(value);
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

ProgramLogin programLogin(const QString& conninfo)
{
    ProgramLogin login{conninfo};
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), nullptr);
    if (!options) return login;  // the program says what is wrong with it
    QStringList kept;
    bool password = false;
    for (PQconninfoOption* option = options; option->keyword; ++option) {
        if (!option->val) continue;
        if (qstrcmp(option->keyword, "password") == 0) {
            login.environment.insert(QStringLiteral("PGPASSWORD"), QString::fromUtf8(option->val));
            password = true;
        } else {
            kept << QString::fromUtf8(option->keyword) + QLatin1Char('=') + quotedValue(option->val);
        }
    }
    PQconninfoFree(options);
    if (password) login.conninfo = kept.join(QLatin1Char(' '));
    return login;
}

struct Outcome {
    bool started = false;
    bool succeeded = false;
    QByteArray output;
    QString errors;
};

// stop, when given, ends the program at once: closing the window never
// waits on a server that does not answer the copy.
Outcome runProgram(const QString& name, const QStringList& arguments, const QProcessEnvironment& environment,
                   const std::atomic<bool>* stop = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(programPath(name), arguments);
    Outcome outcome;
    outcome.started = process.waitForStarted(-1);
    if (!outcome.started) {
        outcome.errors = process.errorString();
        return outcome;
    }
    constexpr int kStopLookMs = 200;
    while (!process.waitForFinished(kStopLookMs) && process.state() != QProcess::NotRunning) {
        if (stop && *stop) {
            process.kill();
            process.waitForFinished(-1);
            outcome.errors = QStringLiteral("program kapanırken durduruldu");
            return outcome;
        }
    }
    outcome.output = process.readAllStandardOutput();
    outcome.errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    outcome.succeeded = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (outcome.errors.isEmpty() && !outcome.succeeded)
        outcome.errors = process.exitStatus() == QProcess::CrashExit ? process.errorString()
                                                                     : QStringLiteral("çıkış kodu %1").arg(process.exitCode());
    return outcome;
}

[[noreturn]] void failProgram(const QString& leadIn, const QString& name, const Outcome& outcome)
{
    const QString said = outcome.started ? outcome.errors
                                         : QStringLiteral("%1 çalıştırılamadı (%2): %3").arg(name, programPath(name), outcome.errors);
    throw DatabaseError(DatabaseError::kNotEngine, (leadIn + QStringLiteral(":\n") + said).toStdString(), said.toStdString());
}

// A name pg_restore takes as the copy's file, never as one of its options.
QString copyArgument(const QString& dumpFile)
{
    return QFileInfo(dumpFile).absoluteFilePath();
}

// pg_restore --list of the copy; throws when the program cannot run at all:
// that says nothing about the copy.
Outcome listing(const QString& dumpFile)
{
    const Outcome listed = runProgram(QStringLiteral("pg_restore"),
                                      {QStringLiteral("--list"), QStringLiteral("--"), copyArgument(dumpFile)},
                                      QProcessEnvironment::systemEnvironment());
    if (!listed.started) failProgram(QStringLiteral("Sunucu yedeği denetlenemedi"), QStringLiteral("pg_restore"), listed);
    return listed;
}

QStringList unreadable(const Outcome& listed)
{
    return QStringList{QStringLiteral("Sunucu yedeği okunamadı (pg_restore --list):")} +
           listed.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// What pg_restore finds reading the copy's table of contents: "ok" when it
// reads and lists the ledger's accounts table, else its words.
QStringList listingFindings(const QString& dumpFile)
{
    const Outcome listed = listing(dumpFile);
    if (!listed.succeeded) return unreadable(listed);
    // Lines such as "215; 1259 16385 TABLE public cariler postgres".
    static const QRegularExpression accounts(QStringLiteral("^\\d+; \\d+ \\d+ TABLE \\S+ Cariler "),
                                             QRegularExpression::CaseInsensitiveOption |
                                                 QRegularExpression::MultilineOption);
    if (!accounts.match(QString::fromUtf8(listed.output)).hasMatch())
        return {QStringLiteral("Sunucu yedeğinde Cariler tablosu yok: defterin yedeği değil ya da yarım kalmış")};
    return {QStringLiteral("ok")};
}

// Every object the program itself makes on a server ledger, as pg_restore
// --list names it ("TABLE cariler", "TRIGGER cariler cariler_degisti"),
// read from the very scripts that make them. The server folds unquoted
// names to lower case.
const QSet<QString>& ledgerEntries()
{
    static const QSet<QString> entries = [] {
        const QString script = serverTablesScript() + serverFinishScript();
        QSet<QString> made;
        const auto each = [&](const char* pattern, const std::function<void(const QRegularExpressionMatch&)>& take) {
            const QRegularExpression found(QString::fromLatin1(pattern), QRegularExpression::CaseInsensitiveOption);
            for (auto it = found.globalMatch(script); it.hasNext();) take(it.next());
        };
        each(R"(CREATE TABLE (\w+) \(((?:[^()]|\([^()]*\))*)\);)", [&](const QRegularExpressionMatch& m) {
            const QString table = m.captured(1).toLower();
            made << QStringLiteral("TABLE ") + table << QStringLiteral("TABLE DATA ") + table;
            if (m.captured(2).contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive))
                made << QStringLiteral("CONSTRAINT %1 %1_pkey").arg(table);
            static const QRegularExpression identity(QStringLiteral("(\\w+) \\w+ GENERATED BY DEFAULT AS IDENTITY"),
                                                     QRegularExpression::CaseInsensitiveOption);
            for (auto it = identity.globalMatch(m.captured(2)); it.hasNext();) {
                const QString sequence = QStringLiteral("%1_%2_seq").arg(table, it.next().captured(1).toLower());
                made << QStringLiteral("SEQUENCE ") + sequence << QStringLiteral("SEQUENCE SET ") + sequence;
            }
        });
        each(R"(CREATE (FUNCTION|AGGREGATE) (\w+\([^)]*\)))", [&](const QRegularExpressionMatch& m) {
            made << m.captured(1).toUpper() + QLatin1Char(' ') + m.captured(2).toLower();
        });
        each(R"(CREATE COLLATION (\w+))", [&](const QRegularExpressionMatch& m) { made << QStringLiteral("COLLATION ") + m.captured(1).toLower(); });
        each(R"(CREATE (?:UNIQUE )?INDEX (\w+) ON)", [&](const QRegularExpressionMatch& m) { made << QStringLiteral("INDEX ") + m.captured(1).toLower(); });
        each(R"(CREATE TRIGGER (\w+) [^;]*? ON (\w+) )", [&](const QRegularExpressionMatch& m) {
            made << QStringLiteral("TRIGGER %1 %2").arg(m.captured(2).toLower(), m.captured(1).toLower());
        });
        each(R"(ALTER TABLE (\w+) ADD CONSTRAINT (\w+))", [&](const QRegularExpressionMatch& m) {
            made << QStringLiteral("CONSTRAINT %1 %2").arg(m.captured(1).toLower(), m.captured(2).toLower());
        });
        return made;
    }();
    return entries;
}

// A function's text with what a dump changes folded away: the schema
// named, the dollar quotes' tags, the layout.
QString foldedDefinition(QString text)
{
    static const QRegularExpression quoteTag(QStringLiteral("\\$[A-Za-z_]*\\$"));
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    static const QRegularExpression aroundMarks(QStringLiteral(" ?([(),;]) ?"));
    text.replace(QLatin1String("public."), QString()).replace(quoteTag, QStringLiteral("$$")).replace(spaces, QStringLiteral(" "));
    return text.replace(aroundMarks, QStringLiteral("\\1")).trimmed();
}

// The functions and aggregates the program makes, by "name(args)", each
// with its whole definition folded.
const QHash<QString, QString>& ledgerFunctions()
{
    static const QHash<QString, QString> made = [] {
        const QString script = serverTablesScript() + serverFinishScript();
        QHash<QString, QString> all;
        static const QRegularExpression function(
            QStringLiteral("CREATE (?:FUNCTION (\\w+\\([^)]*\\))[^$]*\\$\\$.*?\\$\\$|AGGREGATE (\\w+\\([^)]*\\)) \\([^)]*\\));"),
            QRegularExpression::DotMatchesEverythingOption);
        for (auto it = function.globalMatch(script); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString name = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
            all.insert(name.toLower(), foldedDefinition(m.captured(0)));
        }
        return all;
    }();
    return made;
}

// Every function and aggregate of the listed entries must be written as
// the program writes it: under a ledger's name, another body could run as
// the restoring user from a trigger, an index or a default. Throws
// ForeignCopy naming the first that is not.
void refuseRewrittenFunctions(const QString& dumpFile, const QString& listFile)
{
    const Outcome script = runProgram(QStringLiteral("pg_restore"),
                                      {QStringLiteral("--schema-only"), QStringLiteral("--no-owner"), QStringLiteral("--use-list=") + listFile,
                                       QStringLiteral("--file=-"), QStringLiteral("--"), copyArgument(dumpFile)},
                                      QProcessEnvironment::systemEnvironment());
    if (!script.started) failProgram(QStringLiteral("Sunucu yedeği denetlenemedi"), QStringLiteral("pg_restore"), script);
    if (!script.succeeded) throw ForeignCopy(unreadable(script).join(QLatin1Char('\n')));
    // Each entry follows its heading "-- Name: tr_lower(text); Type: FUNCTION; Schema: public; Owner: -".
    static const QRegularExpression heading(QStringLiteral("^-- Name: (.*); Type: (FUNCTION|AGGREGATE); Schema: .*$"),
                                            QRegularExpression::MultilineOption);
    static const QRegularExpression nextHeading(QStringLiteral("^--\\n-- (?:Name|Data for Name): "), QRegularExpression::MultilineOption);
    const QString text = QString::fromUtf8(script.output);
    for (auto it = heading.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QRegularExpressionMatch end = nextHeading.match(text, m.capturedEnd());
        QStringList statement = text.mid(m.capturedEnd(), end.hasMatch() ? end.capturedStart() - m.capturedEnd() : -1).split(QLatin1Char('\n'));
        // pg_restore's own lines around the entry, never inside it.
        static const QRegularExpression between(QStringLiteral("^(\\s*|--.*|\\\\unrestrict \\w+|SET default_tablespace = '';|"
                                                               "SET default_table_access_method = heap;)$"));
        while (!statement.isEmpty() && between.match(statement.front()).hasMatch()) statement.removeFirst();
        while (!statement.isEmpty() && between.match(statement.back()).hasMatch()) statement.removeLast();
        const QString name = m.captured(1);
        const auto expected = ledgerFunctions().constFind(name);
        if (expected == ledgerFunctions().cend() || foldedDefinition(statement.join(QLatin1Char('\n'))) != *expected)
            throw ForeignCopy(QStringLiteral("Bu yedekteki %1 işlevi programın yazdığı gibi değil; yedek geri yüklenmedi, "
                                             "veritabanına hiçbir şey yazılmadı.")
                                  .arg(name));
    }
}

// The kinds of entry pg_restore --list shows, the longest first.
const QStringList kEntryKinds = {QStringLiteral("TABLE DATA"), QStringLiteral("SEQUENCE SET"), QStringLiteral("TABLE"),
                                 QStringLiteral("SEQUENCE"),   QStringLiteral("CONSTRAINT"),   QStringLiteral("INDEX"),
                                 QStringLiteral("TRIGGER"),    QStringLiteral("FUNCTION"),     QStringLiteral("AGGREGATE"),
                                 QStringLiteral("COLLATION")};

// The copy's table of contents when every entry in it is one of the ledger's
// own objects in the public schema, to hand to pg_restore --use-list so that
// nothing else can run; else throws ForeignCopy naming the first stranger.
QByteArray ledgerOnlyList(const QString& dumpFile)
{
    const Outcome listed = listing(dumpFile);
    if (!listed.succeeded) throw ForeignCopy(unreadable(listed).join(QLatin1Char('\n')));
    // "215; 1259 16385 TABLE public cariler postgres": id, catalog, object,
    // kind, schema, name, owner.
    static const QRegularExpression entry(QStringLiteral("^(\\d+); \\d+ \\d+ (.*)$"));
    QByteArray kept;
    bool accounts = false;
    const QString text = QString::fromUtf8(listed.output);
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char(';'))) continue;
        const QRegularExpressionMatch m = entry.match(line);
        QString named;
        if (m.hasMatch()) {
            const QString rest = m.captured(2);
            for (const QString& kind : kEntryKinds) {
                const QString lead = kind + QStringLiteral(" public ");
                if (!rest.startsWith(lead)) continue;
                // The owner is the last word, and a role name has no space.
                const QString tagAndOwner = rest.mid(lead.size());
                const qsizetype space = tagAndOwner.lastIndexOf(QLatin1Char(' '));
                named = kind + QLatin1Char(' ') + (space < 0 ? tagAndOwner : tagAndOwner.left(space));
                break;
            }
        }
        if (named.isEmpty() || !ledgerEntries().contains(named))
            throw ForeignCopy(QStringLiteral("Bu yedek yalnızca defterin kendi tablolarını tutmuyor; içinde defterin olmayan bir "
                                             "öğe var: %1\nYedek geri yüklenmedi, veritabanına hiçbir şey yazılmadı.")
                                  .arg(line.trimmed()));
        if (named == QLatin1String("TABLE cariler")) accounts = true;
        kept += line.toUtf8() + '\n';
    }
    if (!accounts)
        throw ForeignCopy(QStringLiteral("Sunucu yedeğinde Cariler tablosu yok: defterin yedeği değil ya da yarım kalmış. "
                                         "Veritabanına hiçbir şey yazılmadı."));
    return kept;
}

}  // namespace

bool connectionHoldsPassword(const QString& conninfo)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    PQfreemem(error);
    if (!options) {
        // It cannot connect as it is, but it could once mended: judged by its words.
        static const QRegularExpression named(QStringLiteral("password|://[^/@]*:[^/@]*@"), QRegularExpression::CaseInsensitiveOption);
        return named.match(conninfo).hasMatch();
    }
    bool found = false;
    for (PQconninfoOption* option = options; option->keyword; ++option) {
        if (!option->val) continue;
        // libpq has already decoded a URI's user:password@ and its %-escapes here.
        if (qstrcmp(option->keyword, "password") == 0) found = true;
        if (qstrcmp(option->keyword, "options") == 0 && QString::fromUtf8(option->val).contains(QLatin1String("password"), Qt::CaseInsensitive))
            found = true;
    }
    PQconninfoFree(options);
    return found;
}

QList<QPair<QString, QString>> connectionKeys(const QString& conninfo)
{
    QList<QPair<QString, QString>> keys;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), nullptr);
    if (!options) return keys;
    for (PQconninfoOption* option = options; option->keyword; ++option)
        if (option->val) keys.append({QString::fromUtf8(option->keyword), QString::fromUtf8(option->val)});
    PQconninfoFree(options);
    return keys;
}

CopyShelf serverCopies(const CopyShelf& shelf)
{
    CopyShelf dumps = shelf;
    dumps.extension = QStringLiteral(".dump");
    // A copy of the server carries no file identity to look for; the shelf's
    // folder is the ledger's own.
    dumps.identity.clear();
    return dumps;
}

DailyBackup makeServerDailyCopy(const QString& conninfo, const CopyShelf& shelf, const QDate& today, const std::atomic<bool>* stop)
{
    const CopyShelf dumps = serverCopies(shelf);
    removeCutCopies(dumps);
    const QString target = dumps.file(today);
    if (dayCopyThere(dumps, target)) return {DailyBackup::Outcome::AlreadyMade, target, {}};
    const QString fresh = freshFileFor(dumps, target);
    const ProgramLogin login = programLogin(conninfo);
    const Outcome dump = runProgram(QStringLiteral("pg_dump"),
                                    {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                                     QStringLiteral("--file=") + fresh, QStringLiteral("--dbname=") + login.conninfo},
                                    login.environment, stop);
    if (!dump.succeeded) {
        removeFresh(fresh);
        failProgram(QStringLiteral("Sunucudaki defterin yedeği alınamadı"), QStringLiteral("pg_dump"), dump);
    }
    QStringList findings;
    try {
        findings = listingFindings(fresh);
    } catch (const DatabaseError&) {
        removeFresh(fresh);
        throw;
    }
    return keepChecked(fresh, dumps, today, findings, nullptr);
}

void restoreServerCopy(const QString& conninfo, const QString& dumpFile)
{
    // A foreign copy is refused before the server is even reached.
    const QByteArray entries = ledgerOnlyList(dumpFile);
    QTemporaryFile list;
    if (!list.open() || list.write(entries) != entries.size() || !list.flush())
        throw DatabaseError(DatabaseError::kNotEngine, QStringLiteral("Geri yükleme listesi yazılamadı: %1").arg(list.errorString()).toStdString());
    refuseRewrittenFunctions(dumpFile, list.fileName());
    {
        PgConnection target;
        target.open(conninfo);
        const QStringList tables = serverTables(target);
        if (!tables.isEmpty())
            throw DatabaseError(DatabaseError::kNotEngine,
                                QStringLiteral("Veritabanı boş değil: %1. Yedek yalnızca tablosu olmayan bir "
                                               "veritabanına geri yüklenir; dokunulmadı.")
                                    .arg(tables.join(QStringLiteral(", ")))
                                    .toStdString());
    }
    const ProgramLogin login = programLogin(conninfo);
    // Only the entries checked above run, all in one transaction.
    const Outcome restore = runProgram(QStringLiteral("pg_restore"),
                                       {QStringLiteral("--exit-on-error"), QStringLiteral("--single-transaction"),
                                        QStringLiteral("--no-owner"), QStringLiteral("--no-password"),
                                        QStringLiteral("--use-list=") + list.fileName(),
                                        QStringLiteral("--dbname=") + login.conninfo, QStringLiteral("--"), copyArgument(dumpFile)},
                                       login.environment);
    if (!restore.succeeded) failProgram(QStringLiteral("Sunucu yedeği geri yüklenemedi"), QStringLiteral("pg_restore"), restore);
    PgConnection restored;
    restored.setAnswerLimit(0);
    restored.open(conninfo, QStringLiteral("SET statement_timeout = 0;"));
    tidyServerTables(restored);
}
