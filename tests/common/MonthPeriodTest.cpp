#include "common/MonthPeriod.h"

#include "QtPrinters.h"
#include "RegionalGuard.h"

#include <gtest/gtest.h>

namespace {

TEST(MonthPeriod, DaysInMonthFollowTheGregorianCalendar)
{
    const struct {
        int year, month, days;
    } cases[] = {
        {1900, 2, 28}, {2000, 2, 29}, {2023, 2, 28}, {2024, 2, 29}, {2100, 2, 28}, {2400, 2, 29},
        {2021, 1, 31}, {2021, 3, 31}, {2021, 4, 30}, {2021, 5, 31}, {2021, 6, 30}, {2021, 7, 31},
        {2021, 8, 31}, {2021, 9, 30}, {2021, 10, 31}, {2021, 11, 30}, {2021, 12, 31},
        {2021, 0, 0}, {2021, 13, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(daysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(MonthPeriod, RunsFromTheFirstToTheLastDayOfTheMonth)
{
    const struct {
        QDate day, first, last;
    } cases[] = {
        {QDate(2024, 2, 15), QDate(2024, 2, 1), QDate(2024, 2, 29)},
        {QDate(2023, 2, 28), QDate(2023, 2, 1), QDate(2023, 2, 28)},
        {QDate(1900, 2, 1), QDate(1900, 2, 1), QDate(1900, 2, 28)},
        {QDate(2000, 2, 10), QDate(2000, 2, 1), QDate(2000, 2, 29)},
        {QDate(2021, 12, 31), QDate(2021, 12, 1), QDate(2021, 12, 31)},
        {QDate(2021, 4, 1), QDate(2021, 4, 1), QDate(2021, 4, 30)},
    };
    for (const auto& c : cases) {
        const MonthPeriod p = monthPeriod(c.day);
        EXPECT_EQ(p.day, c.day);
        EXPECT_EQ(p.first, c.first) << c.day.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(p.last, c.last) << c.day.toString(Qt::ISODate).toStdString();
    }
}

TEST(MonthPeriod, MonthNames)
{
    const char* names[] = {"Ocak", "Şubat", "Mart", "Nisan", "Mayıs", "Haziran",
                           "Temmuz", "Ağustos", "Eylül", "Ekim", "Kasım", "Aralık"};
    for (int month = 1; month <= 12; ++month) EXPECT_EQ(monthName(month), QString::fromUtf8(names[month - 1])) << month;
    EXPECT_EQ(monthName(0), QString());
    EXPECT_EQ(monthName(13), QString());
}

TEST(MonthPeriod, CaptionsNameMonthAndYearBeforeTheScreensSuffix)
{
    const struct {
        QDate day;
        const char* suffix;
        const char* caption;
    } cases[] = {
        {QDate(2021, 3, 5), "-Aylık Süt Girişi", "Mart-2021-Aylık Süt Girişi"},
        {QDate(2021, 3, 5), "-Aylık Yapılan Ödeme ve Diğer İşlemler", "Mart-2021-Aylık Yapılan Ödeme ve Diğer İşlemler"},
        {QDate(2021, 3, 5), "-Aylık Fabrika Teslim Bilgileri", "Mart-2021-Aylık Fabrika Teslim Bilgileri"},
        {QDate(2021, 12, 1), "-Aylık Süt Girişi", "Aralık-2021-Aylık Süt Girişi"},
        {QDate(2021, 12, 31), "-Aylık Fabrika Teslim Bilgileri", "Aralık-2021-Aylık Fabrika Teslim Bilgileri"},
        {QDate(2024, 2, 29), "-Aylık Süt Girişi", "Şubat-2024-Aylık Süt Girişi"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(monthCaption(c.day, QString::fromUtf8(c.suffix)), QString::fromUtf8(c.caption));

    // The year has no thousands mark whatever the settings.
    const RegionalGuard point(pointDecimalSettings());
    EXPECT_EQ(monthCaption(QDate(2021, 8, 9), QStringLiteral("-x")), QString::fromUtf8("Ağustos-2021-x"));
}

TEST(MonthPeriod, ShortDateHasTwoDigitDayAndMonth)
{
    EXPECT_EQ(shortDate(QDate(2021, 3, 5)), QStringLiteral("05.03.2021"));
    EXPECT_EQ(shortDate(QDate(1999, 12, 31)), QStringLiteral("31.12.1999"));
}

}  // namespace
