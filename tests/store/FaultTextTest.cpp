#include "store/FaultText.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// During work the entry waits in its boxes and the sentence says so; the
// day's copy at the start has no boxes to speak of.
TEST(FaultText, OnlyWorkSpeaksOfTheBoxes)
{
    for (const int code : {SQLITE_FULL, SQLITE_READONLY, SQLITE_BUSY, SQLITE_IOERR_WRITE, SQLITE_CANTOPEN}) {
        EXPECT_TRUE(faultSentence(code, FaultMoment::Work).contains(QStringLiteral("kutularda"))) << code;
        const QString copy = faultSentence(code, FaultMoment::Copy);
        EXPECT_FALSE(copy.isEmpty()) << code;
        EXPECT_FALSE(copy.contains(QStringLiteral("kutu"))) << copy.toStdString();
    }
    EXPECT_TRUE(faultSentence(SQLITE_CONSTRAINT).isEmpty()) << "not a file fault: the engine's text alone";
}

}  // namespace
