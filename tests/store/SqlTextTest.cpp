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
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual.toStdString(), c.expected.toStdString());
}
