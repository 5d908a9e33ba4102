#include "store/Schema.h"

namespace schema {

namespace {

constexpr const char* kKey = "INTEGER PRIMARY KEY AUTOINCREMENT";
constexpr const char* kReal = "REAL";
constexpr const char* kInteger = "INTEGER";
constexpr const char* kDate = "DATE";
constexpr const char* kDateTime = "DATETIME";

// The same seven figures are kept for the morning, the evening and the day.
void addFactoryPeriod(std::vector<Column>& columns, const char* const (&names)[7])
{
    for (const char* name : names) columns.push_back({name, kReal});
}

std::vector<Table> buildTables()
{
    Table cariler{"Cariler",
                  {
                      {"CID", kKey},
                      {"Kodu", "VARCHAR(100)"},
                      {"Adi", "VARCHAR(100)"},
                      {"Soyadi", "VARCHAR(100)"},
                      {"Aciklama", "VARCHAR(255)"},
                      {"Kayit_Tarihi", kDateTime},
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
                      // Without blanks: "TR" and 24 digits.
                      {"IBAN", "VARCHAR(34)", 4},
                  }};

    Table sutGirisi{"SutGirisi",
                    {
                        {"SGID", kKey},
                        {"Tarih", kDate},
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
                        {"VerilenID", kInteger},
                        {"PB", "VARCHAR(10)"},
                        {"Gider_Turu", "VARCHAR(50)"},
                        {"Gider_Miktari", kReal},
                        {"Olcu_Birimi", "VARCHAR(10)"},
                        {"Gider_Tutari", kReal},
                        {"Fis_No", "VARCHAR(20)"},
                        // Each pour's fat and protein (percent, two decimals) and
                        // hygiene grade, from the counter's analyser or typed.
                        {"SYag", kReal, 5},
                        {"SProtein", kReal, 5},
                        {"SHijyen", "VARCHAR(10)", 5},
                        {"AYag", kReal, 5},
                        {"AProtein", kReal, 5},
                        {"AHijyen", "VARCHAR(10)", 5},
                    }};

    Table fabrika{"Fabrika",
                  {
                      {"FIB", kKey},
                      {"Cari_Kodu", "VARCHAR(30)"},
                      {"Cari_Adi", "VARCHAR(80)"},
                      {"Cari_Soyadi", "VARCHAR(80)"},
                      {"Tarih", kDate},
                      {"Islem_Turu", "VARCHAR(1)"},
                  }};
    addFactoryPeriod(fabrika.columns,
                     {"Sabah_Toplanan_LT", "Sabah_Toplanan_Tutar", "Sabah_Fabrika_LT", "Sabah_Fabrika_Tutar",
                      "Sabah_Miktar_Farki", "Sabah_Miktar_Farki_Tutari", "Sabah_Teslim_Kari"});
    addFactoryPeriod(fabrika.columns,
                     {"Aksam_Toplanan_LT", "Aksam_Toplanan_Tutar", "Aksam_Fabrika_LT", "Aksam_Fabrika_Tutar",
                      "Aksam_Miktar_Farki", "Aksam_Miktar_Farki_Tutari", "Aksam_Teslim_Kari"});
    addFactoryPeriod(fabrika.columns,
                     {"Toplam_Toplanan_LT", "Toplam_Toplanan_Tutar", "Toplam_Fabrika_LT", "Toplam_Fabrika_Tutar",
                      "Toplam_Miktar_Farki", "Toplam_Miktar_Farki_Tutari", "Toplam_Teslim_Kari"});
    fabrika.columns.insert(fabrika.columns.end(), {
                                                      {"Aciklama", "VARCHAR(100)"},
                                                      {"Birim_Fiyat", kReal},
                                                      {"Sabah_Birim_Fiyat", kReal},
                                                      {"Aksam_Birim_Fiyat", kReal},
                                                  });

    Table fabrikaCari{"Fabrika_Cari",
                      {
                          {"FCID", kKey},
                          {"Cari_Kodu", "VARCHAR(30)"},
                          {"Adi", "VARCHAR(80)"},
                          {"Soyadi", "VARCHAR(80)"},
                          {"Birim_Fiyat", kReal},
                          {"Aciklama", "VARCHAR(255)"},
                      }};

    // Each correction and deletion of a row of the tables above: the row
    // before and after, every field as JSON text with the field names as keys.
    Table degisiklikler{"Degisiklikler",
                        {
                            {"DID", kKey},
                            {"Zaman", kDateTime},
                            {"Tablo", "VARCHAR(20)"},
                            {"Kayit_No", kInteger},
                            {"Islem", "VARCHAR(1)"},
                            {"Onceki", "TEXT"},
                            {"Sonraki", "TEXT"},
                        },
                        3,
                        false};

    // The deductions withheld from the milk money: a rate (percent) holds
    // from its day until the next line of the same name; empty until the
    // collector sets it.
    Table kesintiler{"Kesintiler",
                     {
                         {"KSID", kKey},
                         {"Adi", "VARCHAR(100)"},
                         {"Oran", kReal},
                         {"Baslangic", kDate},
                     },
                     4};

    // A settlement posted: its deductions, and its payout once paid, are
    // payment rows of the ledger, listed in Hakedis_Satirlari so that it is
    // taken back whole. The history keeps those rows; these two only say
    // which rows they were.
    Table hakedisler{"Hakedisler",
                     {
                         {"HKID", kKey},
                         {"Ilk_Tarih", kDate},
                         {"Son_Tarih", kDate},
                         {"Fis_No", "VARCHAR(20)"},
                         {"Kayit_Zamani", kDateTime},
                         {"Odeme_Tarihi", kDate},
                     },
                     4,
                     false};
    Table hakedisSatirlari{"Hakedis_Satirlari",
                             {
                                 {"HKKID", kKey},
                                 {"HKID", kInteger},
                                 // 'K' a deduction, 'O' the payout.
                                 {"Tur", "VARCHAR(1)"},
                                 // Empty where the amount came to nothing.
                                 {"SGID", kInteger},
                                 {"Kodu", "VARCHAR(100)"},
                                 {"Kesinti", "VARCHAR(100)"},
                                 {"Oran", kReal},
                                 {"Tutar", kReal},
                             },
                             4,
                             false};

    // The price of milk by its quality: a line holds from its day until the
    // next. The premiums and discounts are per whole tenth of a point above
    // or below the reference; the hygiene grades' amounts per litre are
    // "A=0.05;C=-0.1", grades not named adding nothing.
    Table kaliteFiyatlari{"Kalite_Fiyatlari",
                          {
                              {"KFID", kKey},
                              {"Baslangic", kDate},
                              {"Referans_Fiyat", kReal},
                              {"Referans_Yag", kReal},
                              {"Referans_Protein", kReal},
                              {"Yag_Primi", kReal},
                              {"Yag_Kesintisi", kReal},
                              {"Protein_Primi", kReal},
                              {"Protein_Kesintisi", kReal},
                              {"Hijyen_Farklari", "VARCHAR(200)"},
                          },
                          5};

    return {cariler, sutGirisi, fabrika, fabrikaCari, degisiklikler, kesintiler, hakedisler, hakedisSatirlari, kaliteFiyatlari};
}

struct Index {
    int since;  // the version that added it
    const char* definition;
};

// Indexes behind the screens' day, month and per-code filters, and the
// report's sums by code and name over a period, read from the index alone.
constexpr Index kIndexes[] = {
    {1, "SutGirisi_Tarih_Gelir_Gider ON SutGirisi (Tarih, Gelir_Gider)"},
    {1, "SutGirisi_Kodu_Tarih ON SutGirisi (Kodu, Tarih)"},
    {1, "Fabrika_Tarih ON Fabrika (Tarih)"},
    {2, "SutGirisi_Tarih_Kodu_Adi ON SutGirisi (Tarih, Kodu, Adi, Gelir_Toplam_Tutar, Gider_Tutari)"},
    {2, "SutGirisi_Kodu_Adi_Tarih ON SutGirisi (Kodu, Adi, Tarih, Gelir_Toplam_Tutar, Gider_Tutari)"},
    // The history newest first over a period; its rowid breaks the ties.
    {3, "Degisiklikler_Zaman ON Degisiklikler (Zaman)"},
    {4, "Hakedis_Satirlari_HKID ON Hakedis_Satirlari (HKID)"},
};

// The names a collector is offered; the rates are his to set from the
// rules in force, so none is assumed.
constexpr const char* kOfferedDeductions[] = {
    "Gelir Vergisi Stopajı",
    "SGK (Bağ-Kur) Prim Kesintisi",
    "Borsa Tescil Ücreti",
};

}  // namespace

QString offeredDeductions()
{
    QString script;
    for (const char* name : kOfferedDeductions)
        script += QStringLiteral("INSERT INTO Kesintiler (Adi) VALUES ('%1');\n").arg(QString::fromUtf8(name));
    return script;
}

namespace {

// The report's covering indexes of version 2 are chosen on statistics.
constexpr int kStatisticsSince = 2;

QString columnDefinition(const Column& column)
{
    return QString::fromLatin1(column.name) + QLatin1Char(' ') + QString::fromLatin1(column.type);
}

QString createTable(const Table& table)
{
    QStringList columns;
    for (const Column& column : table.columns) columns << QStringLiteral("  ") + columnDefinition(column);
    return QStringLiteral("CREATE TABLE %1 (\n%2\n);\n").arg(QString::fromLatin1(table.name), columns.join(QStringLiteral(",\n")));
}

}  // namespace

QStringList Table::fieldNames(int version) const
{
    QStringList names;
    for (const Column& column : columns)
        if (column.since <= version) names << QString::fromLatin1(column.name);
    return names;
}

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table& cariler() { return tables()[0]; }
const Table& sutGirisi() { return tables()[1]; }
const Table& fabrika() { return tables()[2]; }
const Table& fabrikaCari() { return tables()[3]; }
const Table& degisiklikler() { return tables()[4]; }
const Table& kesintiler() { return tables()[5]; }
const Table& hakedisler() { return tables()[6]; }
const Table& hakedisSatirlari() { return tables()[7]; }
const Table& kaliteFiyatlari() { return tables()[8]; }

const Table* tableNamed(const QString& name)
{
    for (const Table& table : tables())
        if (name == QLatin1String(table.name)) return &table;
    return nullptr;
}

QString indexScript(int fromVersion)
{
    QString script;
    for (const Index& index : kIndexes)
        if (index.since > fromVersion) script += QStringLiteral("CREATE INDEX %1;\n").arg(QString::fromLatin1(index.definition));
    return script;
}

QString creationScript()
{
    QString script;
    for (const Table& table : tables()) script += createTable(table);
    script += indexScript(0);
    script += offeredDeductions();
    script += QStringLiteral("PRAGMA application_id=%1;\n").arg(kApplicationId);
    script += QStringLiteral("PRAGMA user_version=%1;\n").arg(kVersion);
    return script;
}

QString upgradeScript(int fromVersion)
{
    QString script;
    for (const Table& table : tables()) {
        if (table.since > fromVersion) {
            script += createTable(table);
            continue;
        }
        for (const Column& column : table.columns)
            if (column.since > fromVersion)
                script += QStringLiteral("ALTER TABLE %1 ADD COLUMN %2;\n").arg(QString::fromLatin1(table.name), columnDefinition(column));
    }
    if (fromVersion < kesintiler().since) script += offeredDeductions();
    for (const Index& index : kIndexes)
        if (index.since > fromVersion)
            script += QStringLiteral("CREATE INDEX IF NOT EXISTS %1;\n").arg(QString::fromLatin1(index.definition));
    if (fromVersion < kStatisticsSince) script += QStringLiteral("ANALYZE;\n");
    script += QStringLiteral("PRAGMA user_version=%1;\n").arg(kVersion);
    return script;
}

}  // namespace schema
