#include "store/SqlText.h"

#include "store/Connection.h"
#include "store/Statement.h"

QString dateLiteral(const QDate& date)
{
    return QLatin1Char('\'') + date.toString(kStoredDateFormat) + QLatin1Char('\'');
}

QString SqlDialect::units(const QString& amount) const
{
    // The server's float to bigint cast rounds halves to even; trunc after
    // adding a signed half rounds them away from zero, as the file's ROUND.
    if (server) return QStringLiteral("CAST(trunc(%1 * 1e8 + sign(%1) * 0.5) AS BIGINT)").arg(amount);
    return QStringLiteral("CAST(ROUND(%1 * 1e8) AS INTEGER)").arg(amount);
}

QString SqlDialect::exactBalanceSum() const
{
    return QStringLiteral("COALESCE(%1, 0) - COALESCE(%2, 0)")
        .arg(unitsSum(QStringLiteral("Gelir_Toplam_Tutar")), unitsSum(QStringLiteral("Gider_Tutari")));
}

QString SqlDialect::returning(const QString& key) const
{
    return server ? QStringLiteral(" RETURNING ") + key : QString();
}

QString SqlDialect::identifier(const QString& name) const
{
    // The server keeps the unquoted names the tables were made with in lower case.
    QString quoted = server ? name.toLower() : name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

const SqlDialect& dialectOf(const Connection& connection)
{
    return connection.isServer() ? kServerDialect : kFileDialect;
}
