#include "Ledger.h"
#include "TempDatabase.h"
#include "store/History.h"
#include "store/Statement.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

QList<QVariantMap> history(Connection& connection)
{
    return readRows(connection, "SELECT * FROM Degisiklikler ORDER BY DID");
}

TEST(History, EveryCorrectionAndDeletionOfARowKeepsTheRowBeforeAndAfter)
{
    struct Case {
        const schema::Table& table;
        const char* field;
        QVariant first, corrected;
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
        const QString started = QDateTime::currentDateTime().toString(kStoredMomentFormat);
        cursor.edit().setField(c.field, c.first).post();
        cursor.edit().setField(c.field, c.corrected).post();
        cursor.deleteCurrent();

        const QList<QVariantMap> rows = history(db.connection);
        ASSERT_EQ(rows.size(), 2) << "a new row and a save that changes nothing are not kept";
        const QVariantMap before = rowFields(rows[0]["Onceki"].toString());
        const QVariantMap after = rowFields(rows[0]["Sonraki"].toString());
        EXPECT_EQ(before.size(), c.table.columns.size()) << "every field under its name";
        EXPECT_EQ(before[c.field], c.first);
        EXPECT_EQ(after[c.field], c.corrected);
        EXPECT_EQ(rowFields(rows[1]["Onceki"].toString()), after);
        EXPECT_TRUE(rows[1]["Sonraki"].isNull());
        for (int i : {0, 1}) {
            EXPECT_EQ(rows[i]["Islem"].toString(), i == 0 ? "D" : "S");
            EXPECT_EQ(rows[i]["Tablo"].toString(), c.table.name);
            EXPECT_EQ(rows[i]["Kayit_No"].toLongLong(), key);
            EXPECT_GE(rows[i]["Zaman"].toString(), started);
        }
    }
}

TEST(History, ADeletedRowComesBackUnderItsOwnNumberToTheLastBit)
{
    TempDatabase db;
    TableCursor ledger(db.connection, schema::sutGirisi());
    ledger.open();
    // What a careless copy would change: unrounded products, a whole number
    // in a real field, a key past a double's reach, texts JSON must escape.
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
    const auto row = [&] { return readRows(db.connection, "SELECT *, typeof(Gun) AS GunType FROM SutGirisi WHERE Kodu='101'"); };
    const auto asItWas = row();
    const qint64 deletion = ledger.deleteCurrent();
    EXPECT_GT(ledger.append().post(), key) << "a new row does not take the deleted number";

    EXPECT_EQ(restoreDeleted(db.connection, deletion).outcome, Restoration::Outcome::Restored);
    EXPECT_EQ(row(), asItWas);
    const QVariantMap restore = history(db.connection).last();
    EXPECT_EQ(restore["Islem"].toString(), "G");
    EXPECT_TRUE(restore["Onceki"].isNull());
    EXPECT_EQ(rowFields(restore["Sonraki"].toString())["SGID"].toLongLong(), key);
}

}  // namespace
