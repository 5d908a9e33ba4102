#include "Ledger.h"
#include "TempDatabase.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/SqlText.h"
#include "store/TableCursor.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TableCursorTest : public ::testing::Test {
protected:
    TempDatabase db;
    TableCursor accounts{db.connection, schema::cariler()};

    void SetUp() override { accounts.open(); }

    qint64 addAccount(const QString& code, const QString& name)
    {
        return accounts.append().setField("Kodu", code).setField("Adi", name).post();
    }

    // The rows as the engine has them, read with plain SQL.
    std::vector<QVariantList> rows(const QString& sql, const QStringList& fields)
    {
        Query query(db.connection, {sql});
        query.open();
        std::vector<QVariantList> result;
        for (int row = 0; row < query.recordCount(); ++row) {
            QVariantList values;
            for (const QString& field : fields) values << query.valueAt(row, field);
            result.push_back(values);
        }
        return result;
    }

    std::vector<qint64> keys()
    {
        std::vector<qint64> result;
        for (const QVariantList& row : rows("SELECT CID FROM Cariler ORDER BY CID", {"CID"})) result.push_back(row[0].toLongLong());
        return result;
    }
};


}  // namespace

TEST_F(TableCursorTest, NewRowKeyIsReadBackAndIsTheRowsRealKey)
{
    const qint64 first = addAccount("A1", "Ali");
    const qint64 second = addAccount("B2", "Berk");
    EXPECT_GT(first, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(accounts.currentKey(), second);
    EXPECT_EQ(accounts.fieldValue("Kodu").toString(), "B2");

    const auto stored = rows("SELECT CID, Kodu FROM Cariler ORDER BY Kodu", {"CID", "Kodu"});
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][0].toLongLong(), first);
    EXPECT_EQ(stored[1][0].toLongLong(), second);

    // A row without any field set still gets its key.
    const qint64 empty = accounts.append().post();
    EXPECT_EQ(keys(), (std::vector<qint64>{first, second, empty}));
}

TEST_F(TableCursorTest, EditWritesOnlyTheFieldsSet)
{
    const qint64 key = accounts.append()
                           .setField("Kodu", "K7")
                           .setField("Adi", "Gül Aydın")
                           .setField("Birim_Fiyati", 11.5)
                           .setField("Mevki", "Yukarı")
                           .post();
    const qint64 other = addAccount("K8", "Öteki");

    ASSERT_TRUE(accounts.locate("CID", key));
    EXPECT_EQ(accounts.edit().setField("Birim_Fiyati", 12.25).setField("Aciklama", "zam").post(), key);
    EXPECT_EQ(accounts.currentKey(), key);

    const auto stored = rows("SELECT * FROM Cariler ORDER BY CID", {"CID", "Kodu", "Adi", "Birim_Fiyati", "Mevki", "Aciklama", "Koy"});
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], (QVariantList{key, "K7", QString::fromUtf8("Gül Aydın"), 12.25, QString::fromUtf8("Yukarı"), "zam", QVariant()}));
    EXPECT_EQ(stored[1], (QVariantList{other, "K8", QString::fromUtf8("Öteki"), QVariant(), QVariant(), QVariant(), QVariant()}));
}

TEST_F(TableCursorTest, FieldValuesAreStoredInTheirStoredForms)
{
    TableCursor ledger(db.connection, schema::sutGirisi());
    ledger.open();
    struct Case {
        const char* field;
        QVariant value;
        const char* type;
        QVariant stored;
    };
    const Case cases[] = {
        {"Tarih", QDate(2024, 2, 29), "text", "2024-02-29"},
        {"Tarih", QDate(2024, 3, 5), "text", "2024-03-05"},
        {"Aciklama", QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)), "text", "2024-03-05 07:08:09"},
        {"Sabah", 12.75, "real", 12.75},
        {"VerilenID", qlonglong(1) << 40, "integer", qlonglong(1) << 40},
        {"VerilenID", 7, "integer", 7},
        {"VerilenID", true, "integer", 1},
        {"VerilenID", false, "integer", 0},
        {"Kodu", QString::fromUtf8("Şükrü'nün"), "text", QString::fromUtf8("Şükrü'nün")},
        {"Kodu", QString("007"), "text", "007"},
        {"Aciklama", QVariant(), "null", QVariant()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value.toString().toStdString());
        const qint64 key = ledger.append().setField(c.field, c.value).post();
        const auto stored = rows(QStringLiteral("SELECT typeof(%1) AS t, %1 AS v FROM SutGirisi WHERE SGID=%2").arg(c.field).arg(key),
                                 {"t", "v"});
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0][0].toString().toStdString(), c.type);
        EXPECT_EQ(stored[0][1], c.stored);
        EXPECT_EQ(ledger.fieldValue(c.field), c.stored);
    }
}

TEST_F(TableCursorTest, SavingUnderTheKeyOfADeletedRowAppendsANewRow)
{
    const qint64 kept = addAccount("A1", "Ali");
    ASSERT_TRUE(accounts.locate("CID", kept));
    accounts.deleteCurrent();

    // The save pattern of every screen: edit when the key is found, else append.
    const bool found = accounts.locate("CID", kept);
    EXPECT_FALSE(found);
    RowWrite row = found ? accounts.edit() : accounts.append();
    const qint64 saved = row.setField("Kodu", "A1").setField("Adi", "Ali").post();
    EXPECT_NE(saved, kept);
    EXPECT_EQ(keys(), std::vector<qint64>{saved});
}

TEST_F(TableCursorTest, KeysAreNeverReusedAfterDeletingTheLastRow)
{
    addAccount("A", "a");
    const qint64 last = addAccount("B", "b");
    ASSERT_TRUE(accounts.locate("CID", last));
    accounts.deleteCurrent();
    EXPECT_GT(addAccount("C", "c"), last);

    // Nor after the table was emptied and the file opened again.
    const qint64 highest = keys().back();
    while (accounts.first()) accounts.deleteCurrent();
    const QString path = db.connection.path();
    db.connection.close();
    db.connection.open(path);
    TableCursor reopened(db.connection, schema::cariler());
    reopened.open();
    EXPECT_EQ(reopened.currentKey(), 0);
    EXPECT_GT(reopened.append().setField("Kodu", "D").post(), highest);
}

TEST_F(TableCursorTest, DeletingMovesToTheNextRowElseThePreviousElseNone)
{
    const qint64 a = addAccount("A", "a");
    const qint64 b = addAccount("B", "b");
    const qint64 c = addAccount("C", "c");

    struct Step {
        qint64 remove;
        qint64 after;
    };
    for (const Step& step : {Step{b, c}, Step{c, a}, Step{a, 0}}) {
        ASSERT_TRUE(accounts.locate("CID", step.remove));
        accounts.deleteCurrent();
        EXPECT_EQ(accounts.currentKey(), step.after) << "after deleting " << step.remove;
        EXPECT_FALSE(accounts.locate("CID", step.remove));
    }
    EXPECT_TRUE(keys().empty());
    EXPECT_THROW(accounts.deleteCurrent(), DatabaseError);
    EXPECT_THROW(accounts.edit(), DatabaseError);
    EXPECT_FALSE(accounts.fieldValue("Kodu").isValid());
}

TEST_F(TableCursorTest, LocateIsAWholeValueMatchAndLeavesTheCursorWhenNothingMatches)
{
    const qint64 apostrophe = addAccount("O'Brien", "Brian");
    const qint64 lower = addAccount("o'brien", "brian");
    const qint64 numeric = addAccount("12", "On iki");
    const qint64 duplicate = addAccount("O'Brien", "İkinci");
    ASSERT_TRUE(accounts.first());

    struct Case {
        const char* what;
        const char* field;
        QVariant value;
        qint64 key;  // 0: not found
    };
    const Case cases[] = {
        {"code with an apostrophe", "Kodu", QString("O'Brien"), apostrophe},
        {"other letter case", "Kodu", QString("o'brien"), lower},
        {"no partial match", "Kodu", QString("O'Bri"), 0},
        {"no case-blind match", "Kodu", QString("O'BRIEN"), 0},
        {"no trimming", "Kodu", QString(" 12"), 0},
        {"text field by number", "Kodu", 12, numeric},
        {"key by number", "CID", duplicate, duplicate},
        {"key by text", "CID", QString::number(lower), lower},
        {"name with Turkish letters", "Adi", QString::fromUtf8("İkinci"), duplicate},
        {"missing key", "CID", duplicate + 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(accounts.locate("CID", numeric));
        EXPECT_EQ(accounts.locate(c.field, c.value), c.key != 0);
        EXPECT_EQ(accounts.currentKey(), c.key != 0 ? c.key : numeric);
    }

    // The same code found through a query, both by its SQL text and by locate.
    Query query(db.connection, {"SELECT CID, Kodu FROM Cariler", "WHERE Kodu=?1", "ORDER BY CID"}, {QStringLiteral("O'Brien")});
    query.open();
    ASSERT_EQ(query.recordCount(), 2);
    EXPECT_EQ(query.value("CID").toLongLong(), apostrophe);
    Query all(db.connection, {"SELECT CID, Kodu FROM Cariler ORDER BY CID DESC"});
    all.open();
    ASSERT_TRUE(all.locate("Kodu", "O'Brien"));
    EXPECT_EQ(all.value("CID").toLongLong(), duplicate);
}

TEST_F(TableCursorTest, LocateByDayOnTheLedger)
{
    TableCursor ledger(db.connection, schema::sutGirisi());
    ledger.open();
    ledger.append().setField("Tarih", QDate(2024, 2, 28)).post();
    const qint64 leapDay = ledger.append().setField("Tarih", QDate(2024, 2, 29)).post();
    ledger.append().setField("Tarih", QDate(2024, 3, 1)).post();
    ASSERT_TRUE(ledger.first());
    EXPECT_TRUE(ledger.locate("Tarih", QDate(2024, 2, 29)));
    EXPECT_EQ(ledger.currentKey(), leapDay);
    EXPECT_FALSE(ledger.locate("Tarih", QDate(2024, 2, 27)));
    EXPECT_EQ(ledger.currentKey(), leapDay);
}

TEST_F(TableCursorTest, ARowWriteDroppedWithoutPostLeavesNothing)
{
    const qint64 key = addAccount("A1", "Ali");

    // An error half-way through filling a new row and a correction.
    EXPECT_THROW(
        {
            RowWrite row = accounts.append();
            row.setField("Kodu", "YARIM").setField("Adi", "Yarım kalan");
            throw std::runtime_error("conversion failed");
        },
        std::runtime_error);
    ASSERT_TRUE(accounts.locate("CID", key));
    EXPECT_THROW(
        {
            RowWrite row = accounts.edit();
            row.setField("Adi", "Yarım düzeltme");
            throw std::runtime_error("conversion failed");
        },
        std::runtime_error);
    EXPECT_EQ(rows("SELECT COUNT(*) AS n FROM Cariler", {"n"})[0][0].toInt(), 1);

    // A later post writes its own fields only.
    const qint64 next = accounts.append().setField("Mevki", "Köy içi").post();
    ASSERT_TRUE(accounts.locate("CID", key));
    accounts.edit().setField("Koy", "Aşağı").post();

    const auto stored = rows("SELECT CID, Kodu, Adi, Mevki, Koy FROM Cariler ORDER BY CID", {"CID", "Kodu", "Adi", "Mevki", "Koy"});
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], (QVariantList{key, "A1", "Ali", QVariant(), QString::fromUtf8("Aşağı")}));
    EXPECT_EQ(stored[1], (QVariantList{next, QVariant(), QVariant(), QString::fromUtf8("Köy içi"), QVariant()}));
}

TEST_F(TableCursorTest, PostWritesOnceAndOnlyToARowStillThere)
{
    RowWrite row = accounts.append();
    row.setField("Kodu", "A1");
    const qint64 key = row.post();
    EXPECT_THROW(row.post(), DatabaseError);
    EXPECT_THROW(row.setField("Adi", "x"), DatabaseError);
    EXPECT_EQ(keys(), std::vector<qint64>{key});

    // The row goes away between edit and post, through another cursor.
    ASSERT_TRUE(accounts.locate("CID", key));
    RowWrite correction = accounts.edit();
    correction.setField("Adi", "Geç kalan");
    TableCursor other(db.connection, schema::cariler());
    other.open();
    ASSERT_TRUE(other.locate("CID", key));
    other.deleteCurrent();
    EXPECT_EQ(errorText([&] { correction.post(); }), "Kayıt bulunamadı ya da bu arada değiştirildi");
    EXPECT_TRUE(keys().empty());

    EXPECT_THROW(accounts.append().setField("Nowhere", 1).post(), DatabaseError);
    EXPECT_TRUE(keys().empty());
}

TEST_F(TableCursorTest, AClosedCursorRefusesEveryOperation)
{
    const qint64 key = addAccount("A1", "Ali");
    accounts.close();
    EXPECT_FALSE(accounts.isOpen());
    EXPECT_EQ(accounts.currentKey(), 0);

    const std::pair<const char*, std::function<void()>> operations[] = {
        {"locate", [&] { accounts.locate("CID", key); }},
        {"first", [&] { accounts.first(); }},
        {"fieldValue", [&] { accounts.fieldValue("Kodu"); }},
        {"append", [&] { accounts.append(); }},
        {"edit", [&] { accounts.edit(); }},
        {"deleteCurrent", [&] { accounts.deleteCurrent(); }},
    };
    for (const auto& [name, operation] : operations)
        EXPECT_EQ(errorText(operation), "Kapalı bir tabloda bu işlem yapılamaz") << name;

    // A write collected before the cursor closed is not posted either.
    accounts.open();
    RowWrite late = accounts.append();
    late.setField("Kodu", "B2");
    accounts.close();
    EXPECT_EQ(errorText([&] { late.post(); }), "Kapalı bir tabloda bu işlem yapılamaz");
    EXPECT_EQ(keys(), std::vector<qint64>{key});

    accounts.open();
    EXPECT_EQ(accounts.currentKey(), key);
}

TEST_F(TableCursorTest, OpeningOnAMissingTableFails)
{
    const schema::Table nowhere{"Nowhere", {{"ID", "INTEGER"}}};
    TableCursor missing(db.connection, nowhere);
    EXPECT_EQ(errorText([&] { missing.open(); }), "no such table: Nowhere");
    EXPECT_FALSE(missing.isOpen());
    const schema::Table wrongKeyTable{"Cariler", {{"ID", "INTEGER"}}};
    TableCursor wrongKey(db.connection, wrongKeyTable);
    EXPECT_EQ(errorText([&] { wrongKey.open(); }), "no such column: ID");
}
