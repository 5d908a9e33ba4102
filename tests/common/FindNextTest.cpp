#include "common/TurkishText.h"

#include "TempDatabase.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/TableCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A list of accounts in the order given, read through a real query over
// a new database.
struct AccountList {
    explicit AccountList(const std::vector<const char*>& names)
    {
        TableCursor table(db.connection, schema::cariler());
        table.open();
        int code = 0;
        for (const char* name : names)
            table.append()
                .setField(QStringLiteral("Kodu"), QString::number(++code))
                .setField(QStringLiteral("Adi"), QString::fromUtf8(name))
                .post();
        query.open();
    }

    TempDatabase db;
    Query query{db.connection, {QStringLiteral("SELECT * FROM Cariler ORDER BY CID;")}};
};

struct Search {
    const char* text;
    bool matched;
    int row;  // 0-based, where the cursor ends
    bool eof;
};

struct Case {
    const char* what;
    std::vector<const char*> rows;
    int start;        // 0-based starting row
    bool startAtEnd;  // the end flag set on the last row
    std::vector<Search> searches;
};

TEST(FindNext, MovesThroughTheListInItsOrder)
{
    const Case cases[] = {
        {"next match after the current row, then wrapping around",
         {"ALİ CAN", "KARA ALİ", "VELİ"}, 0, false,
         {{"ali", true, 1, false}, {"ali", true, 0, false}}},
        {"a match on the last row is found twice",
         {"ALİ CAN", "CEM", "KARA ALİ"}, 2, false,
         {{"ali", true, 2, true}, {"ali", true, 0, false}}},
        {"reaching the last row, then trying it again",
         {"ALİ CAN", "CEM", "KARA ALİ"}, 1, false,
         {{"ali", true, 2, false}, {"ali", true, 2, true}, {"ali", true, 0, false}, {"ali", true, 2, false}}},
        {"the starting row is tried last",
         {"ALİ", "CEM", "VELİ"}, 0, false,
         {{"ali", true, 0, false}}},
        {"dotless and dotted i differ",
         {"CEM", "IŞIK", "VELİ"}, 0, false,
         {{"ış", true, 1, false}, {"is", false, 1, false}}},
        {"both sides lower-cased, the search text trimmed",
         {"Veli", "Kara Ali"}, 0, false,
         {{" ALİ ", true, 1, false}, {"ALI", false, 1, false}}},
        {"no match anywhere leaves the cursor where it started",
         {"ALİ CAN", "CEM", "VELİ"}, 1, false,
         {{"zz", false, 1, false}}},
        {"an empty search text matches nothing",
         {"ALİ CAN", "KARA ALİ", "VELİ"}, 1, false,
         {{"", false, 1, false}, {" \t", false, 1, false}}},
        {"with the end flag set the search starts from the first row",
         {"CEM", "VELİ", "KARA ALİ"}, 2, true,
         {{"ali", true, 2, false}}},
        {"with the end flag set and no match, the last row is tried again",
         {"CEM", "VELİ", "KARA ALİ"}, 2, true,
         {{"zz", false, 2, true}}},
        {"a single row",
         {"ALİ"}, 0, false,
         {{"ali", true, 0, true}, {"ali", true, 0, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AccountList list(c.rows);
        Query& query = list.query;
        query.moveTo(c.start);
        if (c.startAtEnd) query.next();
        ASSERT_EQ(query.currentRow(), c.start);
        ASSERT_EQ(query.eof(), c.startAtEnd);

        for (const auto& s : c.searches) {
            SCOPED_TRACE(s.text);
            EXPECT_EQ(findNext(query, QStringLiteral("Adi"), QString::fromUtf8(s.text)), s.matched);
            EXPECT_EQ(query.currentRow(), s.row);
            EXPECT_EQ(query.eof(), s.eof);
        }
    }
}

TEST(FindNext, AnEmptyListChangesNothing)
{
    AccountList list({});
    const bool eof = list.query.eof();
    EXPECT_FALSE(findNext(list.query, QStringLiteral("Adi"), QStringLiteral("ali")));
    EXPECT_EQ(list.query.currentRow(), -1);
    EXPECT_EQ(list.query.eof(), eof);
}

}  // namespace
