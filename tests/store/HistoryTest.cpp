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

TEST(History, AHistoryRowThatDoesNotReadAsAWholeRowOfItsTableIsNotPutBack)
{
    struct Case {
        const char* name;
        const char* damage;  // an UPDATE of the deletion's row, ?1 its DID
        const char* flaw;    // what the refusal says; empty: the row comes back
    };
    const Case cases[] = {
        {"as kept", "UPDATE Degisiklikler SET Onceki = Onceki WHERE DID = ?1", ""},
        {"not JSON", "UPDATE Degisiklikler SET Onceki = '{\"SGID\": 1,' WHERE DID = ?1", "(Onceki) okunamıyor"},
        {"JSON but no object", "UPDATE Degisiklikler SET Onceki = '[1, 2]' WHERE DID = ?1", "(Onceki) okunamıyor"},
        {"no Onceki", "UPDATE Degisiklikler SET Onceki = NULL WHERE DID = ?1", "(Onceki) okunamıyor"},
        {"litres as text", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.Sabah', 'abc') WHERE DID = ?1",
         "'Sabah' alanı sayı değil"},
        {"an amount of 1e308", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.Gelir_Toplam_Tutar', 1e308) WHERE DID = ?1",
         "'Gelir_Toplam_Tutar' alanı sınırların dışında"},
        {"a price of -1e12", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.SBirim_Fiyat', -1e12) WHERE DID = ?1",
         "'SBirim_Fiyat' alanı sınırların dışında"},
        {"a field missing", "UPDATE Degisiklikler SET Onceki = json_remove(Onceki, '$.Aksam') WHERE DID = ?1",
         "'Aksam' alanı yok"},
        {"a day that is not one", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.Tarih', '2026-02-30') WHERE DID = ?1",
         "'Tarih' alanı geçerli bir gün"},
        {"a day with a time", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.Tarih', '2026-11-12 08:00') WHERE DID = ?1",
         "'Tarih' alanı geçerli bir gün"},
        {"a code as a number", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.Kodu', 101) WHERE DID = ?1",
         "'Kodu' alanı metin değil"},
        {"a fraction as a number", "UPDATE Degisiklikler SET Onceki = json_set(Onceki, '$.VerilenID', 1.5) WHERE DID = ?1",
         "'VerilenID' alanı tam sayı değil"},
        {"an empty key", "UPDATE Degisiklikler SET Kayit_No = '' WHERE DID = ?1", "'Kayit_No' alanı pozitif bir tam sayı değil"},
        {"no key", "UPDATE Degisiklikler SET Kayit_No = NULL WHERE DID = ?1", "'Kayit_No' alanı pozitif bir tam sayı değil"},
        {"key 0", "UPDATE Degisiklikler SET Kayit_No = 0, Onceki = json_set(Onceki, '$.SGID', 0) WHERE DID = ?1",
         "'Kayit_No' alanı pozitif bir tam sayı değil"},
        {"a key the row does not carry", "UPDATE Degisiklikler SET Kayit_No = Kayit_No + 100 WHERE DID = ?1",
         "'SGID' alanı kaydın numarası"},
        {"a key already used", "UPDATE Degisiklikler SET Kayit_No = (SELECT MAX(SGID) FROM SutGirisi), "
         "Onceki = json_set(Onceki, '$.SGID', (SELECT MAX(SGID) FROM SutGirisi)) WHERE DID = ?1",
         "numaralı kayıt zaten var"},
        {"no such table", "UPDATE Degisiklikler SET Tablo = 'Degisiklikler' WHERE DID = ?1", "'Tablo' alanı"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDatabase db;
        addAccount(db.connection, "101", "Ali");
        addIntakeRow(db.connection, QDate(2026, 11, 12), "101", "Ali", 12.5, 8, 11.25, "not");
        addIntakeRow(db.connection, QDate(2026, 11, 13), "101", "Ali", 10, 9, 11.25);
        TableCursor ledger(db.connection, schema::sutGirisi());
        ledger.open();
        ASSERT_TRUE(ledger.locate("Tarih", QDate(2026, 11, 12)));
        const qint64 deletion = ledger.deleteCurrent();
        Statement damage(db.connection, c.damage);
        damage.bind(1, deletion);
        damage.run();
        const auto before = everyRow(db.connection);

        const Restoration restoration = restoreDeleted(db.connection, deletion);
        if (*c.flaw == 0) {
            EXPECT_EQ(restoration.outcome, Restoration::Outcome::Restored);
            continue;
        }
        EXPECT_EQ(restoration.outcome, Restoration::Outcome::Damaged);
        EXPECT_TRUE(restoration.flaw.contains(QString::fromUtf8(c.flaw))) << restoration.flaw.toStdString();
        EXPECT_EQ(everyRow(db.connection), before) << "nothing written";
    }
}

}  // namespace
