#include "Ledger.h"
#include "TempDatabase.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/SqlText.h"
#include "store/TableCursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct Intake {
    QDate day;
    const char* kind;
    const char* code;
    double morning;
    double evening;
};

void addLedgerRows(Connection& connection, const std::vector<Intake>& rows)
{
    TableCursor table(connection, schema::sutGirisi());
    table.open();
    for (const Intake& row : rows) {
        table.append()
            .setField("Tarih", row.day)
            .setField("Gelir_Gider", QString::fromLatin1(row.kind))
            .setField("Kodu", QString::fromUtf8(row.code))
            .setField("Sabah", row.morning)
            .setField("Aksam", row.evening)
            .post();
    }
}

QStringList column(Query& query, const QString& field)
{
    QStringList values;
    for (int row = 0; row < query.recordCount(); ++row) values << query.valueAt(row, field).toString();
    return values;
}


}  // namespace

TEST(Query, CursorRulesAndTheirNotifications)
{
    TempDatabase db;
    Query query(db.connection, {"SELECT 'a' AS v UNION ALL SELECT 'b' UNION ALL SELECT 'c'"});
    std::vector<int> changes;
    int opened = 0;
    int closed = 0;
    QObject::connect(&query, &Query::currentChanged, [&](int row) { changes.push_back(row); });
    QObject::connect(&query, &Query::opened, [&] { ++opened; });
    QObject::connect(&query, &Query::closed, [&] { ++closed; });

    query.open();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(query.currentRow(), 0);
    EXPECT_FALSE(query.eof());

    struct Step {
        const char* move;
        std::function<void()> act;
        int row;
        bool eof;
        QString value;
    };
    const Step steps[] = {
        {"next", [&] { query.next(); }, 1, false, "b"},
        {"next", [&] { query.next(); }, 2, false, "c"},
        {"next from the last row", [&] { query.next(); }, 2, true, "c"},
        {"next again", [&] { query.next(); }, 2, true, "c"},
        {"prior", [&] { query.prior(); }, 1, false, "b"},
        {"prior", [&] { query.prior(); }, 0, false, "a"},
        {"prior at the first row", [&] { query.prior(); }, 0, false, "a"},
        {"moveTo beyond the end", [&] { query.moveTo(9); }, 2, false, "c"},
        {"first", [&] { query.first(); }, 0, false, "a"},
        {"moveTo before the start", [&] { query.moveTo(-4); }, 0, false, "a"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.move);
        step.act();
        EXPECT_EQ(query.currentRow(), step.row);
        EXPECT_EQ(query.eof(), step.eof);
        EXPECT_EQ(query.asString("v"), step.value);
    }
    EXPECT_EQ(changes, (std::vector<int>{0, 1, 2, 1, 0, 2, 0}));

    // Opening again reads afresh, not on top of the old rows.
    query.open();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(query.currentRow(), 0);

    query.close();
    EXPECT_FALSE(query.isOpen());
    EXPECT_EQ(query.recordCount(), 0);
    EXPECT_EQ(query.currentRow(), -1);
    EXPECT_TRUE(query.eof());
    // Closed, it reads as a query without rows.
    EXPECT_FALSE(query.value("v").isValid());
    EXPECT_FALSE(query.locate("v", "a"));
    query.next();
    EXPECT_TRUE(query.eof());
}

TEST(Query, NoRowsMeansEndAndEmptyValues)
{
    TempDatabase db;
    Query query(db.connection, {"SELECT Kodu, Sabah FROM SutGirisi"});
    query.open();
    EXPECT_TRUE(query.isOpen());
    EXPECT_EQ(query.recordCount(), 0);
    EXPECT_EQ(query.currentRow(), -1);
    EXPECT_TRUE(query.eof());
    for (const auto& move : std::vector<std::function<void()>>{[&] { query.first(); }, [&] { query.next(); },
                                                                [&] { query.prior(); }, [&] { query.moveTo(0); }}) {
        move();
        EXPECT_TRUE(query.eof());
        EXPECT_EQ(query.currentRow(), -1);
    }
    EXPECT_TRUE(query.isNull("Kodu"));
    EXPECT_EQ(query.asString("Kodu"), "");
    EXPECT_EQ(query.asFloat("Sabah"), 0.0);
    EXPECT_EQ(query.fieldNames(), QStringList({"Kodu", "Sabah"}));
}

TEST(Query, ValuesKeepTheEngineTypes)
{
    TempDatabase db;
    Query query(db.connection, {"SELECT NULL AS n, 42 AS i, 2.5 AS f, 'Çağ' AS t, X'00FF' AS b"});
    query.open();
    EXPECT_FALSE(query.value("n").isValid());
    EXPECT_TRUE(query.isNull("n"));
    EXPECT_EQ(query.asFloat("n"), 0.0);
    EXPECT_EQ(query.value("i").typeId(), QMetaType::LongLong);
    EXPECT_EQ(query.value("i").toLongLong(), 42);
    EXPECT_EQ(query.value("f").typeId(), QMetaType::Double);
    EXPECT_EQ(query.asFloat("f"), 2.5);
    EXPECT_EQ(query.value("t").typeId(), QMetaType::QString);
    EXPECT_EQ(query.asString("t"), QString::fromUtf8("Çağ"));
    EXPECT_EQ(query.value("b").typeId(), QMetaType::QByteArray);
    EXPECT_EQ(query.value("b").toByteArray(), QByteArray("\x00\xff", 2));
}

TEST(Query, LinesAreJoinedByLineBreaks)
{
    TempDatabase db;
    // A comment ends at its line; joined without a break it would swallow the rest.
    Query query(db.connection, {"SELECT 1 AS a -- the first field", ", 2 AS b"});
    query.open();
    EXPECT_EQ(query.fieldNames(), QStringList({"a", "b"}));
    EXPECT_EQ(query.value("b").toInt(), 2);
}

TEST(Query, CalculatedFieldsAreWorkedOutForEveryRow)
{
    TempDatabase db;
    addLedgerRows(db.connection, {{QDate(2024, 2, 1), "S", "1", 10, 5},
                                  {QDate(2024, 2, 2), "S", "1", 7.5, 0},
                                  {QDate(2024, 2, 3), "S", "1", 0, 2.25}});
    Query query(db.connection, {"SELECT Sabah, Aksam FROM SutGirisi ORDER BY Tarih"});
    query.calculatedFields = {"toplam", "sira"};
    int calls = 0;
    query.onCalcFields = [&](Record& row) {
        row.setValue("toplam", row.asFloat("Sabah") + row.asFloat("Aksam"));
        row.setValue("sira", ++calls);
        EXPECT_THROW(row.setValue("Nowhere", 1), DatabaseError);
    };
    query.open();

    EXPECT_EQ(query.fieldNames(), QStringList({"Sabah", "Aksam", "toplam", "sira"}));
    ASSERT_EQ(query.recordCount(), 3);
    const double totals[] = {15, 7.5, 2.25};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(query.valueAt(row, "toplam").toDouble(), totals[row]) << row;
        EXPECT_EQ(query.valueAt(row, "sira").toInt(), row + 1) << row;
    }
}

TEST(Query, CalculatedFieldsReadLateAreWorkedOutOncePerRowOnlyForTheRowsRead)
{
    TempDatabase db;
    addLedgerRows(db.connection, {{QDate(2024, 2, 1), "S", "1", 10, 5},
                                  {QDate(2024, 2, 2), "S", "1", 7.5, 0},
                                  {QDate(2024, 2, 3), "S", "1", 0, 2.25},
                                  {QDate(2024, 2, 4), "S", "1", 1, 1}});
    Query query(db.connection, {"SELECT Sabah, Aksam FROM SutGirisi ORDER BY Tarih"});
    query.calculatedWhenRead = true;
    query.calculatedFields = {"toplam", "sira"};
    QList<double> worked;
    query.onCalcFields = [&](Record& row) {
        worked << row.asFloat("Sabah");
        row.setValue("toplam", row.asFloat("Sabah") + row.asFloat("Aksam"));
        row.setValue("sira", static_cast<int>(worked.size()));
    };
    struct Step {
        const char* read;
        std::function<QVariant()> value;
        QVariant expected;
        QList<double> workedSoFar;  // the rows' Sabah, in the order they were worked out
    };
    const Step steps[] = {
        {"opening", [&] { query.open(); return QVariant(query.recordCount()); }, 4, {}},
        {"a stored field", [&] { return query.valueAt(2, "Sabah"); }, 0.0, {}},
        {"the third row's sum", [&] { return query.valueAt(2, "toplam"); }, 2.25, {0}},
        {"its other field", [&] { return query.valueAt(2, "sira"); }, 1, {0}},
        {"the current row's sum", [&] { return QVariant(query.asFloat("toplam")); }, 15.0, {0, 10}},
        {"a row found by a sum", [&] { return QVariant(query.locate("toplam", 7.5)); }, true, {0, 10, 7.5}},
        {"after opening again", [&] { query.open(); return query.valueAt(3, "sira"); }, 4, {0, 10, 7.5, 1}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.read);
        EXPECT_EQ(step.value(), step.expected);
        EXPECT_EQ(worked, step.workedSoFar);
    }
}

TEST(Query, UnknownFieldsAndEngineErrorsThrowWithTheirText)
{
    TempDatabase db;
    Query query(db.connection, {"SELECT 1 AS a"});
    query.open();
    EXPECT_EQ(errorText([&] { query.value("Missing"); }), "\'Missing\' alanı bulunamadı");
    EXPECT_EQ(errorText([&] { query.valueAt(0, "Missing"); }), "\'Missing\' alanı bulunamadı");
    EXPECT_EQ(errorText([&] { query.locate("Missing", 1); }), "\'Missing\' alanı bulunamadı");

    Query wrong(db.connection, {"SELECT * FROM Nowhere"});
    EXPECT_EQ(errorText([&] { wrong.open(); }), "no such table: Nowhere");
    EXPECT_FALSE(wrong.isOpen());

    Query twoStatements(db.connection, {"SELECT 1;", "DELETE FROM Cariler;"});
    EXPECT_THROW(twoStatements.open(), DatabaseError);
}

TEST(Query, SumsOverNoRowsAreEmptyAndCountsZero)
{
    TempDatabase db;
    addLedgerRows(db.connection, {{QDate(2024, 1, 31), "S", "1", 10, 5}});
    Query query(db.connection,
                {"SELECT SUM(Sabah) AS Sabah_Toplam, COUNT(Sabah) AS Adet FROM SutGirisi", "WHERE (Tarih>=?1 AND Tarih<=?2)",
                 "AND Gelir_Gider=?3"},
                {QDate(2024, 2, 1), QDate(2024, 2, 29), QStringLiteral("S")});
    query.open();
    ASSERT_EQ(query.recordCount(), 1);
    EXPECT_TRUE(query.isNull("Sabah_Toplam"));
    EXPECT_EQ(query.asString("Sabah_Toplam"), "");
    EXPECT_FALSE(query.isNull("Adet"));
    EXPECT_EQ(query.value("Adet").toLongLong(), 0);
}

TEST(Query, DayAndPeriodFiltersTakeWholeDays)
{
    TempDatabase db;
    addLedgerRows(db.connection, {{QDate(2024, 1, 31), "S", "jan31", 1, 0},
                                  {QDate(2024, 2, 1), "S", "feb1", 1, 0},
                                  {QDate(2024, 2, 15), "S", "feb15", 1, 0},
                                  {QDate(2024, 2, 29), "S", "feb29", 1, 0},
                                  {QDate(2024, 2, 29), "O", "feb29-payment", 0, 0},
                                  {QDate(2024, 3, 1), "S", "mar1", 1, 0},
                                  {QDate(2024, 2, 28), "S", "feb28", 1, 0}});

    // Days are bound as the engine stores them, 'YYYY-MM-DD'.
    Query month(db.connection, {"SELECT Kodu FROM SutGirisi", "WHERE (Tarih>=?1 AND Tarih<=?2)", "AND Gelir_Gider=?3", "ORDER BY Tarih"},
                {QDate(2024, 2, 1), QDate(2024, 2, 29), QStringLiteral("S")});
    month.open();
    EXPECT_EQ(column(month, "Kodu"), QStringList({"feb1", "feb15", "feb28", "feb29"}));

    Query day(db.connection, {"SELECT Kodu FROM SutGirisi", "WHERE Tarih=?1", "AND Gelir_Gider=?2"}, {QDate(2024, 2, 29), QStringLiteral("S")});
    day.open();
    EXPECT_EQ(column(day, "Kodu"), QStringList({"feb29"}));

    Query payments(db.connection, {"SELECT Kodu FROM SutGirisi", "WHERE Tarih=?1", "AND Gelir_Gider=?2"}, {QDate(2024, 2, 29), QStringLiteral("O")});
    payments.open();
    EXPECT_EQ(column(payments, "Kodu"), QStringList({"feb29-payment"}));
}

TEST(Query, AccountListSortsNamesInTurkishOrder)
{
    TempDatabase db;
    const QStringList expected = {"Cem",    "Çelik", "Dilek", "Ilgaz", "Işık",
                                  "İsmail", "Oya",   "Ömer",  "Şahin", "Ülkü"};
    QStringList shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    std::reverse(shuffled.begin(), shuffled.begin() + 5);
    TableCursor accounts(db.connection, schema::cariler());
    accounts.open();
    for (const QString& name : shuffled) accounts.append().setField("Adi", name).post();

    Query list(db.connection, {kAccountListSql});
    list.open();
    EXPECT_EQ(column(list, "Adi"), expected);
}

TEST(Query, LocateMatchesWholeValues)
{
    TempDatabase db;
    addLedgerRows(db.connection, {{QDate(2024, 2, 1), "S", "Ali", 10, 0},
                                  {QDate(2024, 2, 2), "S", "O'Brien", 12.5, 0},
                                  {QDate(2024, 2, 3), "S", "o'brien", 20, 0},
                                  {QDate(2024, 2, 4), "S", "O'Brien ", 7, 0}});
    Query query(db.connection, {"SELECT * FROM SutGirisi ORDER BY SGID"});
    query.open();

    struct Case {
        const char* what;
        QString field;
        QVariant value;
        int row;  // -1: not found
    };
    const Case cases[] = {
        {"text, exact", "Kodu", QString("O'Brien"), 1},
        {"text, other letter case", "Kodu", QString("o'brien"), 2},
        {"text, trailing space counts", "Kodu", QString("O'Brien "), 3},
        {"text, no partial match", "Kodu", QString("O'Bri"), -1},
        {"text, no case-blind match", "Kodu", QString("ALI"), -1},
        {"real field by integer", "Sabah", 20, 2},
        {"real field by double", "Sabah", 12.5, 1},
        {"key by integer", "SGID", qlonglong(4), 3},
        {"key by text", "SGID", QString("3"), 2},
        {"date against its stored text", "Tarih", QDate(2024, 2, 2), 1},
        {"date not there", "Tarih", QDate(2024, 3, 2), -1},
        {"field name in other letter case", "kodu", QString("Ali"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        query.moveTo(1);
        query.next();
        query.next();
        query.next();  // now on the last row with the end flag set
        ASSERT_TRUE(query.eof());
        const bool found = query.locate(c.field, c.value);
        EXPECT_EQ(found, c.row >= 0);
        EXPECT_EQ(query.currentRow(), c.row >= 0 ? c.row : 3);
        EXPECT_EQ(query.eof(), c.row < 0);
    }
}

// A value bound to the text is compared as a whole, whatever it holds.
TEST(Query, BoundCodesAreComparedAsWholeValues)
{
    TempDatabase db;
    const QString codes[] = {QStringLiteral("O'Brien"), QStringLiteral("OBrien"), QStringLiteral("O''Brien"),
                             QStringLiteral("K\n1"), QStringLiteral("K%1").arg(QChar(0)), QStringLiteral("x' OR '1'='1")};
    TableCursor table(db.connection, schema::sutGirisi());
    table.open();
    double litres = 10;
    for (const QString& code : codes)
        table.append().setField("Tarih", QDate(2024, 2, 1)).setField("Gelir_Gider", "S").setField("Kodu", code).setField("Sabah", litres++).post();
    litres = 10;
    for (const QString& code : codes) {
        Query query(db.connection, {"SELECT Kodu, Sabah FROM SutGirisi", "WHERE Tarih=?2", "AND Gelir_Gider='S'", "AND Kodu=?1"},
                    {code, QDate(2024, 2, 1)});
        query.open();
        ASSERT_EQ(query.recordCount(), 1) << code.toStdString();
        EXPECT_EQ(query.asString("Kodu"), code);
        EXPECT_EQ(query.asFloat("Sabah"), litres++);
    }
}
