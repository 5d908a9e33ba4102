#include "TempDatabase.h"
#include "store/Query.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Field {
    std::string name;
    std::string type;
    bool operator==(const Field&) const = default;
};

using Layout = std::vector<Field>;

const char* const kKey = "INTEGER";
const char* const kReal = "REAL";

// Written out from the tables' descriptions, field by field.
const std::map<std::string, Layout> kTables = {
    {"Cariler",
     {{"CID", kKey},
      {"Kodu", "VARCHAR(100)"},
      {"Adi", "VARCHAR(100)"},
      {"Soyadi", "VARCHAR(100)"},
      {"Aciklama", "VARCHAR(255)"},
      {"Kayit_Tarihi", "DATETIME"},
      {"Limit_Tutari", kReal},
      {"Limit_Miktar", kReal},
      {"Gunluk_Ortalama", kReal},
      {"Birim_Fiyati", kReal},
      {"PB", "VARCHAR(10)"},
      {"Mevki", "VARCHAR(150)"},
      {"Koordinat", "VARCHAR(50)"},
      {"Sehir", "VARCHAR(50)"},
      {"ilce", "VARCHAR(50)"},
      {"Koy", "VARCHAR(50)"},
      {"Telefon", "VARCHAR(20)"},
      {"Telefon2", "VARCHAR(20)"},
      {"Kisin_Alim", "VARCHAR(20)"},
      {"Yaz_Alim", "VARCHAR(20)"},
      {"IBAN", "VARCHAR(34)"}}},
    {"SutGirisi",
     {{"SGID", kKey},
      {"Tarih", "DATE"},
      {"Kodu", "VARCHAR(100)"},
      {"Adi", "VARCHAR(100)"},
      {"Soyadi", "VARCHAR(100)"},
      {"Gun", kReal},
      {"Sabah", kReal},
      {"Aksam", kReal},
      {"Aciklama", "VARCHAR(255)"},
      {"Kullanici", "VARCHAR(100)"},
      {"Gelir_Gider", "VARCHAR(1)"},
      {"SBirim_Fiyat", kReal},
      {"SToplam_Tutar", kReal},
      {"ABirim_Fiyat", kReal},
      {"AToplam_Tutar", kReal},
      {"Gelir_Toplam_Tutar", kReal},
      {"VerilenID", "INTEGER"},
      {"PB", "VARCHAR(10)"},
      {"Gider_Turu", "VARCHAR(50)"},
      {"Gider_Miktari", kReal},
      {"Olcu_Birimi", "VARCHAR(10)"},
      {"Gider_Tutari", kReal},
      {"Fis_No", "VARCHAR(20)"},
      {"SYag", kReal},
      {"SProtein", kReal},
      {"SHijyen", "VARCHAR(10)"},
      {"AYag", kReal},
      {"AProtein", kReal},
      {"AHijyen", "VARCHAR(10)"}}},
    {"Kalite_Fiyatlari",
     {{"KFID", kKey},
      {"Baslangic", "DATE"},
      {"Referans_Fiyat", kReal},
      {"Referans_Yag", kReal},
      {"Referans_Protein", kReal},
      {"Yag_Primi", kReal},
      {"Yag_Kesintisi", kReal},
      {"Protein_Primi", kReal},
      {"Protein_Kesintisi", kReal},
      {"Hijyen_Farklari", "VARCHAR(200)"}}},
    {"Fabrika",
     {{"FIB", kKey},
      {"Cari_Kodu", "VARCHAR(30)"},
      {"Cari_Adi", "VARCHAR(80)"},
      {"Cari_Soyadi", "VARCHAR(80)"},
      {"Tarih", "DATE"},
      {"Islem_Turu", "VARCHAR(1)"},
      {"Sabah_Toplanan_LT", kReal},
      {"Sabah_Toplanan_Tutar", kReal},
      {"Sabah_Fabrika_LT", kReal},
      {"Sabah_Fabrika_Tutar", kReal},
      {"Sabah_Miktar_Farki", kReal},
      {"Sabah_Miktar_Farki_Tutari", kReal},
      {"Sabah_Teslim_Kari", kReal},
      {"Aksam_Toplanan_LT", kReal},
      {"Aksam_Toplanan_Tutar", kReal},
      {"Aksam_Fabrika_LT", kReal},
      {"Aksam_Fabrika_Tutar", kReal},
      {"Aksam_Miktar_Farki", kReal},
      {"Aksam_Miktar_Farki_Tutari", kReal},
      {"Aksam_Teslim_Kari", kReal},
      {"Toplam_Toplanan_LT", kReal},
      {"Toplam_Toplanan_Tutar", kReal},
      {"Toplam_Fabrika_LT", kReal},
      {"Toplam_Fabrika_Tutar", kReal},
      {"Toplam_Miktar_Farki", kReal},
      {"Toplam_Miktar_Farki_Tutari", kReal},
      {"Toplam_Teslim_Kari", kReal},
      {"Aciklama", "VARCHAR(100)"},
      {"Birim_Fiyat", kReal},
      {"Sabah_Birim_Fiyat", kReal},
      {"Aksam_Birim_Fiyat", kReal}}},
    {"Fabrika_Cari",
     {{"FCID", kKey},
      {"Cari_Kodu", "VARCHAR(30)"},
      {"Adi", "VARCHAR(80)"},
      {"Soyadi", "VARCHAR(80)"},
      {"Birim_Fiyat", kReal},
      {"Aciklama", "VARCHAR(255)"}}},
};

std::vector<QVariantList> rowsOf(Connection& connection, const QString& sql, const QStringList& fields)
{
    Query query(connection, {sql});
    query.open();
    std::vector<QVariantList> rows;
    for (int row = 0; row < query.recordCount(); ++row) {
        QVariantList values;
        for (const QString& field : fields) values << query.valueAt(row, field);
        rows.push_back(values);
    }
    return rows;
}

}  // namespace

TEST(Schema, EveryTableHasEveryFieldInOrderWithItsType)
{
    TempDatabase db;
    std::set<std::string> tables;
    for (const QVariantList& row : rowsOf(db.connection,
                                          "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%'",
                                          {"name"}))
        tables.insert(row[0].toString().toStdString());
    EXPECT_EQ(tables, (std::set<std::string>{"Cariler", "SutGirisi", "Fabrika", "Fabrika_Cari", "Degisiklikler",
                                               "Kesintiler", "Hakedisler", "Hakedis_Satirlari", "Kalite_Fiyatlari"}));

    for (const auto& [table, expected] : kTables) {
        SCOPED_TRACE(table);
        Layout actual;
        int keys = 0;
        for (const QVariantList& row : rowsOf(db.connection, QStringLiteral("PRAGMA table_info(%1)").arg(table.c_str()),
                                              {"name", "type", "pk"})) {
            actual.push_back({row[0].toString().toStdString(), row[1].toString().toStdString()});
            if (row[2].toInt() != 0) {
                ++keys;
                EXPECT_EQ(row[0].toString().toStdString(), expected.front().name) << "key field";
            }
        }
        EXPECT_EQ(keys, 1);
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "field " << i;

        // The key is an auto-number that is never given out twice.
        const auto ddl = rowsOf(db.connection, QStringLiteral("SELECT sql FROM sqlite_schema WHERE name='%1'").arg(table.c_str()),
                                {"sql"});
        ASSERT_EQ(ddl.size(), 1u);
        EXPECT_TRUE(ddl[0][0].toString().contains("AUTOINCREMENT", Qt::CaseInsensitive));
    }
}

TEST(Schema, IndexesAndMarksOfTheFile)
{
    TempDatabase db;
    std::set<std::pair<std::string, std::string>> indexes;
    for (const QVariantList& row :
         rowsOf(db.connection,
                "SELECT m.name AS tbl, (SELECT group_concat(name, ',') FROM (SELECT name FROM pragma_index_info(il.name) "
                "ORDER BY seqno)) AS cols FROM sqlite_schema m, pragma_index_list(m.name) il "
                "WHERE m.type='table' AND il.origin='c'",
                {"tbl", "cols"}))
        indexes.insert({row[0].toString().toStdString(), row[1].toString().toStdString()});
    const std::set<std::pair<std::string, std::string>> expected = {
        {"SutGirisi", "Tarih,Gelir_Gider"},
        {"SutGirisi", "Kodu,Tarih"},
        {"Fabrika", "Tarih"},
        {"SutGirisi", "Tarih,Kodu,Adi,Gelir_Toplam_Tutar,Gider_Tutari"},
        {"SutGirisi", "Kodu,Adi,Tarih,Gelir_Toplam_Tutar,Gider_Tutari"},
        {"Degisiklikler", "Zaman"},
        {"Hakedis_Satirlari", "HKID"}};
    EXPECT_EQ(indexes, expected);

    const auto marks = rowsOf(db.connection,
                              "SELECT (SELECT application_id FROM pragma_application_id) AS app, "
                              "(SELECT user_version FROM pragma_user_version) AS version, "
                              "(SELECT journal_mode FROM pragma_journal_mode) AS journal, "
                              "(SELECT synchronous FROM pragma_synchronous) AS sync",
                              {"app", "version", "journal", "sync"});
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0][0].toLongLong(), 0x4B4F5641);
    EXPECT_EQ(marks[0][1].toInt(), 5);
    EXPECT_EQ(marks[0][2].toString().toStdString(), "delete");
    EXPECT_EQ(marks[0][3].toInt(), 3) << "synchronous=EXTRA: the folder is synced after the journal goes";
}

TEST(Schema, AnyPlainSqliteToolCanReadAndCheckTheFile)
{
    TempDatabase db;
    const QString path = db.connection.path();
    db.connection.close();

    // A bare engine without the Turkish collation: the schema must not need it.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::string result;
    const int rc = sqlite3_exec(
        raw, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0];
            return 0;
        },
        &result, nullptr);
    EXPECT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(raw);
    EXPECT_EQ(result, "ok");
    sqlite3_close(raw);
}
