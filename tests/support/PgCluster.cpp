#include "PgCluster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <pwd.h>
#include <unistd.h>

namespace {

// Only the folder tells one cluster's socket from another's, so every
// cluster can use the standard port.
constexpr int kPort = 5432;
const QString kDatabase = QStringLiteral("kovanta");

QString tail(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).right(2000);
}

}  // namespace

PgCluster::PgCluster(Commits commits) : dir_(QDir::tempPath() + QStringLiteral("/kovanta-pg-XXXXXX"))
{
    binDir_ = qEnvironmentVariable("KOVANTA_PG_BINDIR", QStringLiteral("/usr/lib/postgresql/15/bin"));
    for (const char* program : {"initdb", "pg_ctl", "createdb"}) {
        if (!QFileInfo(binDir_ + u'/' + QLatin1String(program)).isExecutable()) {
            absent_ = QStringLiteral("no PostgreSQL server programs in %1 (install postgresql-15, or set "
                                     "KOVANTA_PG_BINDIR)")
                          .arg(binDir_);
            return;
        }
    }
    // The server refuses to run as root; then it runs as postgres.
    asPostgres_ = geteuid() == 0;
    if (asPostgres_) {
        const passwd* postgres = getpwnam("postgres");
        if (!postgres) {
            absent_ = QStringLiteral("running as root and there is no postgres user to run the server as");
            return;
        }
        if (!dir_.isValid() || chown(QFile::encodeName(dir_.path()).constData(), postgres->pw_uid, postgres->pw_gid) != 0) {
            failure_ = QStringLiteral("cannot make a folder for the cluster owned by postgres in %1").arg(QDir::tempPath());
            return;
        }
    } else if (!dir_.isValid()) {
        failure_ = QStringLiteral("cannot make a folder for the cluster in %1").arg(QDir::tempPath());
        return;
    }
    const QString data = dir_.filePath(QStringLiteral("data"));
    if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("postgres"),
                                        QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                        QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--lc-messages=C"),
                                        QStringLiteral("--locale-provider=icu"), QStringLiteral("--icu-locale=tr-TR"),
                                        QStringLiteral("--no-sync")}))
        return;
    const QString options = QStringLiteral("-c listen_addresses='' -k %1 -p %2 %3")
                                .arg(dir_.path())
                                .arg(kPort)
                                .arg(commits == Commits::Durable ? QStringLiteral("-c fsync=on -c synchronous_commit=on")
                                                                 : QStringLiteral("-c fsync=off"));
    started_ = run(QStringLiteral("pg_ctl"), {QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-D"), data,
                                              QStringLiteral("-l"), dir_.filePath(QStringLiteral("server.log")),
                                              QStringLiteral("-o"), options});
    if (!started_) {
        failure_ += QStringLiteral("\nserver log:\n") + tail(dir_.filePath(QStringLiteral("server.log")));
        return;
    }
    run(QStringLiteral("createdb"), {QStringLiteral("-h"), dir_.path(), QStringLiteral("-p"), QString::number(kPort),
                                     QStringLiteral("-U"), QStringLiteral("postgres"), kDatabase});
}

PgCluster::~PgCluster()
{
    if (started_)
        run(QStringLiteral("pg_ctl"), {QStringLiteral("stop"), QStringLiteral("-w"), QStringLiteral("-m"),
                                       QStringLiteral("fast"), QStringLiteral("-D"), dir_.filePath(QStringLiteral("data"))});
}

QString PgCluster::conninfo() const
{
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=postgres").arg(dir_.path()).arg(kPort).arg(kDatabase);
}

bool PgCluster::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    // The postgres user may not be allowed into the test's own folder.
    process.setWorkingDirectory(dir_.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = binDir_ + u'/' + program;
    if (asPostgres_)
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                             QStringLiteral("--"), path} + arguments);
    else
        process.start(path, arguments);
    const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    if (!ok && failure_.isEmpty())
        failure_ = QStringLiteral("%1 %2 failed:\n%3")
                       .arg(program, arguments.join(u' '), QString::fromLocal8Bit(process.readAll()));
    return ok;
}
