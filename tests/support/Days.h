#pragma once

#include <QDate>
#include <QList>

// Every day from `from` to `to`, both included, oldest first.
inline QList<QDate> everyDay(const QDate& from, const QDate& to)
{
    QList<QDate> days;
    for (QDate d = from; d <= to; d = d.addDays(1)) days << d;
    return days;
}
