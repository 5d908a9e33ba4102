#pragma once

#include <QDate>
#include <QString>

int daysInMonth(int year, int month);
// "Ocak" … "Aralık"
QString monthName(int month);

// The calendar month of a day, both ends included.
struct MonthPeriod {
    QDate day;
    QDate first;
    QDate last;
};
MonthPeriod monthPeriod(const QDate& day);

// The month page caption: month name, "-", the year, then the suffix, which
// begins with its own "-": "Mart-2021-Aylık Süt Girişi".
QString monthCaption(const QDate& day, const QString& suffix);

// The day in the short date form, 05.03.2021.
QString shortDate(const QDate& day);
