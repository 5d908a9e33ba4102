#include "store/SqlText.h"

#include "store/Statement.h"

QString dateLiteral(const QDate& date)
{
    return QLatin1Char('\'') + date.toString(kStoredDateFormat) + QLatin1Char('\'');
}
