#include "common/MonthPeriod.h"

#include "common/Conversions.h"
#include "common/Regional.h"

#include <array>

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return days[static_cast<std::size_t>(month - 1)];
}

QString monthName(int month)
{
    static const std::array<QString, 12> names = {
        QStringLiteral("Ocak"),    QStringLiteral("Şubat"),   QStringLiteral("Mart"),
        QStringLiteral("Nisan"),   QStringLiteral("Mayıs"),   QStringLiteral("Haziran"),
        QStringLiteral("Temmuz"),  QStringLiteral("Ağustos"), QStringLiteral("Eylül"),
        QStringLiteral("Ekim"),    QStringLiteral("Kasım"),   QStringLiteral("Aralık"),
    };
    if (month < 1 || month > 12) return QString();
    return names[static_cast<std::size_t>(month - 1)];
}

MonthPeriod monthPeriod(const QDate& day)
{
    if (!day.isValid()) return {day, QDate(), QDate()};
    return {day, QDate(day.year(), day.month(), 1),
            QDate(day.year(), day.month(), daysInMonth(day.year(), day.month()))};
}

QString monthCaption(const QDate& day, const QString& suffix)
{
    return monthName(day.month()) + QLatin1Char('-') + generalNumber(day.year()) + suffix;
}

QString shortDate(const QDate& day) { return day.toString(regional().shortDateFormat); }
