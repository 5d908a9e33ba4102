#include "store/SqlText.h"

#include "store/Statement.h"

QString dateLiteral(const QDate& date)
{
    return QLatin1Char('\'') + date.toString(kStoredDateFormat) + QLatin1Char('\'');
}

QString dayFilter(const QDate& day)
{
    return QStringLiteral("WHERE Tarih=") + dateLiteral(day);
}

QString periodFilter(const QDate& from, const QDate& to)
{
    return QStringLiteral("WHERE (Tarih>=") + dateLiteral(from) + QStringLiteral(" AND Tarih<=") + dateLiteral(to) +
           QLatin1Char(')');
}

QString kindLine(LedgerKind kind)
{
    return QStringLiteral("AND Gelir_Gider='") + kindCode(kind) + QLatin1Char('\'');
}
