#include "store/ServerCopy.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/PgConnection.h"
#include "store/ShelfKeeping.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <libpq-fe.h>

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

Outcome runProgram(const QString& name, const QStringList& arguments, const QProcessEnvironment& environment)
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
    process.waitForFinished(-1);
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

// What pg_restore finds reading the copy's table of contents: "ok" when it
// reads and lists the ledger's accounts table, else its words. Throws when
// the program cannot run at all: that says nothing about the copy.
QStringList listingFindings(const QString& dumpFile)
{
    const Outcome listing = runProgram(QStringLiteral("pg_restore"), {QStringLiteral("--list"), dumpFile},
                                       QProcessEnvironment::systemEnvironment());
    if (!listing.started) failProgram(QStringLiteral("Sunucu yedeği denetlenemedi"), QStringLiteral("pg_restore"), listing);
    if (!listing.succeeded)
        return QStringList{QStringLiteral("Sunucu yedeği okunamadı (pg_restore --list):")} +
               listing.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Lines such as "215; 1259 16385 TABLE public cariler postgres".
    static const QRegularExpression accounts(QStringLiteral("^\\d+; \\d+ \\d+ TABLE \\S+ Cariler "),
                                             QRegularExpression::CaseInsensitiveOption |
                                                 QRegularExpression::MultilineOption);
    if (!accounts.match(QString::fromUtf8(listing.output)).hasMatch())
        return {QStringLiteral("Sunucu yedeğinde Cariler tablosu yok: defterin yedeği değil ya da yarım kalmış")};
    return {QStringLiteral("ok")};
}

}  // namespace

CopyShelf serverCopies(const CopyShelf& shelf)
{
    CopyShelf dumps = shelf;
    dumps.extension = QStringLiteral(".dump");
    // A copy of the server carries no file identity to look for; the shelf's
    // folder is the ledger's own.
    dumps.identity.clear();
    return dumps;
}

DailyBackup makeServerDailyCopy(const QString& conninfo, const CopyShelf& shelf, const QDate& today)
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
                                    login.environment);
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
    const QStringList findings = listingFindings(dumpFile);
    if (findings != QStringList{QStringLiteral("ok")})
        throw DatabaseError(DatabaseError::kNotEngine, findings.join(QLatin1Char('\n')).toStdString());
    const ProgramLogin login = programLogin(conninfo);
    const Outcome restore = runProgram(QStringLiteral("pg_restore"),
                                       {QStringLiteral("--exit-on-error"), QStringLiteral("--single-transaction"),
                                        QStringLiteral("--no-owner"), QStringLiteral("--no-password"),
                                        QStringLiteral("--dbname=") + login.conninfo, dumpFile},
                                       login.environment);
    if (!restore.succeeded) failProgram(QStringLiteral("Sunucu yedeği geri yüklenemedi"), QStringLiteral("pg_restore"), restore);
}
