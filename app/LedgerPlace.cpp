#include "app/LedgerPlace.h"

#include "store/Connection.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>

namespace {

const QString kServerKey = QStringLiteral("Defter/Sunucu");

QSettings folderSettings()
{
    return QSettings(QFileInfo(kDatabasePath).absolutePath() + QStringLiteral("/Kovanta.ini"), QSettings::IniFormat);
}

}  // namespace

QString savedServer()
{
    return folderSettings().value(kServerKey).toString();
}

bool holdsPassword(const QString& conninfo)
{
    static const QRegularExpression password(QStringLiteral("(^|\\s)password\\s*=|://[^/@]*:[^/@]*@"));
    return password.match(conninfo).hasMatch();
}

bool saveServer(const QString& conninfo)
{
    if (holdsPassword(conninfo)) return false;
    QSettings settings = folderSettings();
    if (conninfo.trimmed().isEmpty())
        settings.remove(kServerKey);
    else
        settings.setValue(kServerKey, conninfo.trimmed());
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString serverOf(QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--sunucu"));
    if (at < 0 || at + 1 >= arguments.size()) return savedServer();
    const QString server = arguments.at(at + 1);
    arguments.remove(at, 2);
    return server;
}
