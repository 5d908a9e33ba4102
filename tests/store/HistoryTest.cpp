#include "Ledger.h"
#include "TempDatabase.h"
#include "store/History.h"
#include "store/Statement.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QList<QVariantMap> history(Connection& connection)
{
    return readRows(connection, "SELECT * FROM Degisiklikler ORDER BY DID");
}

// Each field's value and the engine's type of it, so that 12 and 12.0 differ.
QList<std::pair<int, QVariant>> storedRow(Connection& connection, const schema::Table& table, qint64 key)
{
    const QList<QVariantMap> rows =
        readRows(connection, QStringLiteral("SELECT * FROM %1 WHERE %2=%3").arg(QString::fromLatin1(table.name), table.keyField()).arg(key));
    QList<std::pair<int, QVariant>> fields;
    for (const QString& name : table.fieldNames()) {
        const QVariant value = rows.value(0).value(name);
        fields.append({value.typeId(), value});
    }
    return fields;
}

TEST(History, EveryCorrectionAndDeletionOfARowKeepsTheRowBeforeAndAfter)
{
    struct Case {
        const schema::Table& table;
        const char* field;
        QVariant first;
        QVariant corrected;
    };
    const Case cases[] = {
        {schema::cariler(), "Adi", "Ali Işık", "Ali Işıkçı"},
        {schema::sutGirisi(), "Aksam", 38.5, 36.5},
        {schema::fabrika(), "Birim_Fiyat", 11.0, 12.25},
        {schema::fabrikaCari(), "Birim_Fiyat", 10.0, 10.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.name);
        TempDatabase db;
        TableCursor cursor(db.connection, c.table);
        cursor.open();
        const qint64 key = cursor.append().setField(c.field, c.first).post();
        const QString started = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss");
        cursor.edit().setField(c.field, c.first).post();
        EXPECT_TRUE(history(db.connection).isEmpty()) << "a save that changes nothing is not a change; a new row neither";

        cursor.edit().setField(c.field, c.corrected).post();
        ASSERT_TRUE(cursor.locate(c.table.keyField(), key));
        const qint64 deletion = cursor.deleteCurrent();

        const QList<QVariantMap> rows = history(db.connection);
        ASSERT_EQ(rows.size(), 2);
        EXPECT_EQ(rows[1]["DID"].toLongLong(), deletion);
        for (const QVariantMap& row : rows) {
            EXPECT_EQ(row["Tablo"].toString(), c.table.name);
            EXPECT_EQ(row["Kayit_No"].toLongLong(), key);
            EXPECT_GE(row["Zaman"].toString(), started);
            EXPECT_LE(row["Zaman"].toString(), QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss"));
        }
        const QVariantMap before = rowFields(rows[0]["Onceki"].toString());
        const QVariantMap after = rowFields(rows[0]["Sonraki"].toString());
        EXPECT_EQ(rows[0]["Islem"].toString(), "D");
        QStringList names = c.table.fieldNames();
        names.sort();
        EXPECT_EQ(before.keys(), names) << "every field under its name";
        EXPECT_EQ(before[c.field], c.first);
        EXPECT_EQ(after[c.field], c.corrected);
        EXPECT_EQ(before[c.table.keyField()].toLongLong(), key);
        EXPECT_EQ(rows[1]["Islem"].toString(), "S");
        EXPECT_EQ(rowFields(rows[1]["Onceki"].toString()), after);
        EXPECT_TRUE(rows[1]["Sonraki"].isNull());
    }
}

TEST(History, AChangeThatFailsLeavesNoRowOfHistory)
{
    TempDatabase db;
    const qint64 key = addAccount(db.connection, "K1", "Ali");
    TableCursor cursor(db.connection, schema::cariler());
    cursor.open();
    ASSERT_TRUE(cursor.locate("CID", key));
    const std::function<void()> failures[] = {
        [&] { cursor.edit().setField("Adi", "Veli").setField("Yok", 1).post(); },
        [&] {
            Statement(db.connection, "DELETE FROM Cariler").run();
            cursor.edit().setField("Adi", "Veli").post();
        },
        [&] { cursor.deleteCurrent(); },
    };
    for (const auto& failure : failures) EXPECT_NE(errorText(failure), "no error");
    EXPECT_TRUE(history(db.connection).isEmpty());
}

TEST(History, ADeletedRowComesBackUnderItsOwnKeyAsItWas)
{
    TempDatabase db;
    TableCursor ledger(db.connection, schema::sutGirisi());
    ledger.open();
    const qint64 earlier = ledger.append().setField("Kodu", "100").post();
    // Values that a careless copy would change: unrounded products, a key
    // beyond a double's reach, texts that JSON must escape.
    const qint64 key = ledger.append()
                           .setField("Tarih", QDate(2026, 11, 12))
                           .setField("Kodu", "101")
                           .setField("Adi", QString::fromUtf8("Ahmet \"Yılmaz\" \\ 😀 עברית"))
                           .setField("Sabah", 0.1 + 0.2)
                           .setField("Aksam", 12.345 * 1.333)
                           .setField("Gun", 12.0)
                           .setField("SBirim_Fiyat", 1e-300)
                           .setField("VerilenID", Q_INT64_C(9007199254740993))
                           .setField("Aciklama", QString("a\nb\tc") + QChar(0) + QString("d\x01"))
                           .post();
    const auto asItWas = storedRow(db.connection, schema::sutGirisi(), key);
    ASSERT_TRUE(ledger.locate("SGID", key));
    const qint64 deletion = ledger.deleteCurrent();
    // A new row does not take the deleted key.
    EXPECT_GT(ledger.append().setField("Kodu", "102").post(), key);
    ASSERT_TRUE(ledger.locate("SGID", earlier));
    ledger.edit().setField("Kodu", "100A").post();
    const qint64 correction = history(db.connection).last()["DID"].toLongLong();

    struct Step {
        qint64 change;
        Restoration::Outcome outcome;
    };
    const Step steps[] = {
        {correction, Restoration::Outcome::NotADeletion},
        {deletion, Restoration::Outcome::Restored},
        {deletion, Restoration::Outcome::Superseded},
    };
    for (const Step& step : steps) {
        const Restoration restoration = restoreDeleted(db.connection, step.change);
        EXPECT_EQ(restoration.outcome, step.outcome) << step.change;
        EXPECT_EQ(restoration.table, "SutGirisi");
    }
    EXPECT_EQ(storedRow(db.connection, schema::sutGirisi(), key), asItWas);
    const QVariantMap restore = history(db.connection).last();
    EXPECT_EQ(restore["Islem"].toString(), "G");
    EXPECT_EQ(restore["Kayit_No"].toLongLong(), key);
    EXPECT_TRUE(restore["Onceki"].isNull());
    EXPECT_EQ(rowFields(restore["Sonraki"].toString())["Aciklama"], asItWas[8].second);
    EXPECT_EQ(history(db.connection).size(), 3);
}

}  // namespace
