#include "store/SqlText.h"

#include <gtest/gtest.h>

TEST(SqlText, PiecesAreWrittenAsTheEngineReadsThem)
{
    struct Case {
        QString actual;
        QString expected;
    };
    const Case cases[] = {
        {dateLiteral(QDate(2024, 2, 1)), "'2024-02-01'"},
        {dateLiteral(QDate(2021, 12, 31)), "'2021-12-31'"},
        {dayFilter(QDate(2024, 2, 1)), "WHERE Tarih='2024-02-01'"},
        {periodFilter(QDate(2024, 2, 1), QDate(2024, 2, 29)), "WHERE (Tarih>='2024-02-01' AND Tarih<='2024-02-29')"},
        {kindLine(LedgerKind::Intake), "AND Gelir_Gider='S'"},
        {kindLine(LedgerKind::Payment), "AND Gelir_Gider='O'"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual.toStdString(), c.expected.toStdString());
}
