#include "JetWriter.h"

#include <glib.h> // before mdbtools.h, which includes it inside extern "C"
#include <mdbtools.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

// The writer proven with mdbtools' programs and libmdb: every value, flag and page read back.

namespace {

using jetfile::ColumnType, jetfile::Row, jetfile::Table, jetfile::Value;

const Value N{};
Value t(const std::string& text) { return text; }
Value i(std::int32_t v) { return v; }
Value d(double v) { return v; }

// A date remembered with its text: mdb-export must print it back.
std::map<double, std::string> dateTexts;
Value at(const std::string& when)
{
    int y, mo, da, h, mi, s;
    if (std::sscanf(when.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &da, &h, &mi, &s) != 6) std::abort();
    const double v = jetfile::jetDate(y, mo, da, h, mi, s);
    dateTexts[v] = when;
    return v;
}

struct TempDir {
    std::string dir = [] {
        std::string p = (std::filesystem::temp_directory_path() / "jetwriter-XXXXXX").string();
        return std::string(::mkdtemp(p.data()));
    }();
    ~TempDir() { std::filesystem::remove_all(dir); }
    std::string file(const char* name) const { return dir + "/" + name; }
};

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[1 << 16];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pipe ? ::pclose(pipe) : -1, 0) << command;
    return out;
}

using Field = std::optional<std::string>; // nullopt: NULL

// mdb-export's rows, tab-separated, unquoted, NULL printed as NULL.
std::vector<std::vector<Field>> exported(const std::string& path, const std::string& table)
{
    std::istringstream csv(run("mdb-export -H -Q -d '\t' -0 NULL -T '%Y-%m-%d %H:%M:%S' '" + path + "' " + table));
    std::vector<std::vector<Field>> rows;
    for (std::string line; std::getline(csv, line);) {
        auto& row = rows.emplace_back();
        for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + 1) {
            to = line.find('\t', from);
            const std::string field = line.substr(from, to - from);
            row.push_back(field == "NULL" ? Field() : Field(field));
        }
    }
    return rows;
}

// Ledger tables with gaps in the keys, deleted rows, NULL beside empty text,
// Turkish letters in both text forms, doubles that are not round, dates to the second.
std::vector<Table> sampleLedger()
{
    Table cariler{"Cariler", jetfile::ledgerColumns("Cariler"), {}, 0, {}};
    cariler.rows = {
        {{i(1), t("C001"), t("Ayşe Gül"), t("Şahin"), t(""), at("2019-05-14 07:45:09"), d(1500), d(0.1 + 0.2), d(1.0 / 3),
          d(12.75), t("TL"), t("Üst Mahalle"), t("40.1828,29.0671"), t("Bursa"), t("İnegöl"), t("Çiftlikköy"),
          t("0532 111 22 33"), N, t("Sabah"), t("Akşam")}},
        {{i(2), t("C002"), t("Çiftçi Ömür"), t("Öztürk"), N, at("2020-12-31 23:59:59"), N, d(1e-300), d(-0.0), d(9.95),
          t("TL"), N, t(""), t("Bursa"), t("Yenişehir"), t("Köprühisar"), t(""), N, t(""), N}},
        {{i(4), t("C004"), t("Silinen"), t("Kayıt"), t("silindi"), at("2021-02-03 04:05:06"), d(1), d(2), d(3), d(4), t("TL"),
          N, N, N, N, N, N, N, N, N}, true},
        {{i(7), t("C007"), t("İsmail Hakkı"), t("ĞÜŞİÖÇ"), t("ığüşöç İĞÜŞÖÇ \"tırnak\""), at("1999-01-01 00:00:00"),
          d(-2.5e9), d(123456789.123456789), d(std::nextafter(1.0, 2.0)), d(0.7 * 3), t("€"), t("Köy Yolu 3. km"), N,
          t("Balıkesir"), t("Susurluk"), t("Ömerköy"), t("+90 266 000 00 00"), t("0555"), t("Öğle"), t("Gece")}},
    };
    Table sut{"SutGirisi", jetfile::ledgerColumns("SutGirisi"), {}, 0, {}};
    for (int k = 0; k < 40; ++k) {
        const double litre = 0.1 * k + 0.2;
        char when[32];
        std::snprintf(when, sizeof when, "2024-%02d-%02d %02d:%02d:%02d", 1 + k % 12, 1 + k % 28, (5 + k) % 24, (7 * k) % 60,
                      (13 * k) % 60);
        std::string note = "Süt teslimi, günlük not " + std::to_string(k) + ": ";
        for (int n = 0; n < 80 + k; ++n) note += k % 2 ? "x" : "ş";
        const bool yem = k % 4 == 0;
        sut.rows.push_back({{i(10 + 3 * k), at(when), t(k % 3 ? "S01" : "Ş02"), t("Mehmet"), t("Yılmaz"), d(k % 31), d(litre),
                             k % 5 ? d(litre / 3) : N, t(note), t("yönetici"), t(k % 2 ? "G" : "Ç"), d(11.35), d(11.35 * litre),
                             d(11.4), d(11.4 * litre / 3), d(11.35 * litre + 11.4 * litre / 3), i(k - 20), t("TL"),
                             yem ? t("Yem") : N, yem ? d(2.5) : N, yem ? t("çuval") : N, yem ? d(1234.56) : N,
                             t("F-" + std::to_string(k))},
                            k % 7 == 3});
    }
    Table fabrika{"Fabrika", jetfile::ledgerColumns("Fabrika"), {}, 0, {}};
    for (int k = 0; k < 3; ++k) {
        Row row{{i(100 + k * k), t("F1"), t(k ? "Süt Fabrikası" : "Ağaçlı Mandıra"), N, at("2023-08-09 18:00:01"), t("F")}};
        for (int amount = 0; amount < 21; ++amount) row.values.push_back(d((k + 1) * (amount * 0.1 + 1.0 / 7)));
        row.values.insert(row.values.end(), {k == 1 ? N : t("İade var"), d(12.3), d(-0.0), d(1e-300)});
        fabrika.rows.push_back(row);
    }
    Table fabrikaCari{"Fabrika_Cari", jetfile::ledgerColumns("Fabrika_Cari"), {}, 0, {}};
    std::int32_t key = 1;
    for (const char* name : {"Çiftçi Ömür", "Şahin", "Ayşe Gül", "ĞŞİ", "ab", "Āaaaaaaa", "", "abc"})
        fabrikaCari.rows.push_back({{i(key), t("FC"), t(name), N, d(key * 0.01), t("")}}), key += 2;
    fabrikaCari.rows.push_back({{i(key), N, N, N, N, N}});
    return {cariler, sut, fabrika, fabrikaCari};
}

// libmdb as the program's reader uses it: live rows cracked, so NULL and empty
// text differ and a double is its 8 bytes.
struct Raw {
    std::vector<MdbColumn> columns;
    unsigned numRows = 0;
    std::size_t withDeleted = 0;
    int mapType = -1;
    std::vector<std::vector<std::optional<std::vector<std::uint8_t>>>> rows; // nullopt: NULL
};

struct Libmdb {
    MdbHandle* mdb;
    std::vector<std::uint8_t> header = mdb ? std::vector<std::uint8_t>(mdb->pg_buf, mdb->pg_buf + MDB_PGSIZE)
                                           : std::vector<std::uint8_t>(); // unmasked only as opened
    explicit Libmdb(const std::string& path) : mdb(mdb_open(path.c_str(), MDB_NOFLAGS)) {}
    ~Libmdb() { if (mdb) mdb_close(mdb); }
    Raw read(std::string name) const
    {
        Raw raw;
        MdbTableDef* table = mdb_read_table_by_name(mdb, name.data(), MDB_TABLE);
        if (!table) return raw;
        mdb_read_columns(table);
        for (unsigned c = 0; c < table->num_cols; ++c)
            raw.columns.push_back(*static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c)));
        raw.numRows = table->num_rows;
        raw.mapType = table->usage_map[0];
        std::vector<MdbField> fields(table->num_cols);
        for (mdb_rewind_table(table); mdb_fetch_row(table);) {
            int start = 0;
            std::size_t length = 0;
            mdb_find_row(mdb, int(table->cur_row) - 1, &start, &length);
            mdb_crack_row(table, start & 0x1FFF, length, fields.data());
            auto& row = raw.rows.emplace_back();
            for (const MdbField& f : fields) {
                const auto* b = static_cast<const std::uint8_t*>(f.value);
                row.push_back(f.is_null ? std::nullopt : std::optional(std::vector<std::uint8_t>(b, b + f.siz)));
            }
        }
        table->noskip_del = 1;
        for (mdb_rewind_table(table); mdb_fetch_row(table);) ++raw.withDeleted;
        mdb_free_tabledef(table);
        return raw;
    }
    std::string utf8(const std::vector<std::uint8_t>& stored) const
    {
        std::vector<char> out(4 * stored.size() + 1);
        const int n = mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(stored.data()), stored.size(), out.data(), out.size());
        return std::string(out.data(), std::size_t(n));
    }
};

// Every live row of each table through mdb-export and libmdb; `forms` gets whether
// each text of table `formsOf` was stored compressed.
void expectReadBack(const std::string& path, const std::vector<Table>& tables, const std::string& formsOf = {},
                    std::map<std::string, bool>* forms = nullptr)
{
    const Libmdb mdb(path);
    ASSERT_NE(mdb.mdb, nullptr);
    for (const Table& table : tables) {
        SCOPED_TRACE(table.name);
        std::vector<const Row*> live;
        for (const Row& row : table.rows) if (!row.deleted) live.push_back(&row);
        const Raw raw = mdb.read(table.name);
        const auto rows = exported(path, table.name);
        EXPECT_EQ(raw.numRows, live.size());
        EXPECT_EQ(raw.withDeleted, table.rows.size()) << "deleted rows stay on their pages";
        EXPECT_EQ(raw.mapType, 0);
        ASSERT_EQ(raw.columns.size(), table.columns.size());
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            EXPECT_STREQ(raw.columns[c].name, table.columns[c].name.c_str());
            EXPECT_EQ(bool(raw.columns[c].is_long_auto), table.columns[c].type == ColumnType::AutoNumber);
        }
        ASSERT_EQ(rows.size(), live.size());
        ASSERT_EQ(raw.rows.size(), live.size());
        for (std::size_t r = 0; r < live.size(); ++r) {
            ASSERT_EQ(rows[r].size(), table.columns.size());
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                SCOPED_TRACE(table.columns[c].name + " of row " + std::to_string(r));
                const Value& want = live[r]->values[c];
                const Field& shown = rows[r][c];
                const auto& got = raw.rows[r][c];
                ASSERT_EQ(got.has_value(), !std::holds_alternative<std::monostate>(want));
                const std::string* text = std::get_if<std::string>(&want);
                // mdb-export prints empty text as NULL; libmdb does not.
                if (!got || (text && text->empty())) {
                    EXPECT_FALSE(shown.has_value()) << *shown;
                    if (text && table.columns[c].type != ColumnType::Memo) { EXPECT_EQ(mdb.utf8(*got), ""); }
                    continue;
                }
                ASSERT_TRUE(shown.has_value());
                if (text) {
                    EXPECT_EQ(*shown, *text);
                    if (table.columns[c].type != ColumnType::Memo) { EXPECT_EQ(mdb.utf8(*got), *text); }
                    if (table.name == formsOf) (*forms)[*text] = got->size() >= 2 && (*got)[0] == 0xFF && (*got)[1] == 0xFE;
                } else if (const std::int32_t* v = std::get_if<std::int32_t>(&want)) {
                    EXPECT_EQ(*shown, std::to_string(*v));
                    const auto type = table.columns[c].type; // little-endian, as wide as the column
                    ASSERT_EQ(got->size(), type == ColumnType::Byte ? 1u : type == ColumnType::Integer ? 2u : 4u);
                    EXPECT_EQ(std::memcmp(got->data(), v, got->size()), 0) << *v;
                } else {
                    const double x = std::get<double>(want);
                    if (table.columns[c].type == ColumnType::DateTime) { EXPECT_EQ(*shown, dateTexts.at(x)); }
                    else { EXPECT_NEAR(std::strtod(shown->c_str(), nullptr), x, std::abs(x) * 1e-15) << *shown; }
                    ASSERT_EQ(got->size(), 8u);
                    EXPECT_EQ(std::memcmp(got->data(), &x, 8), 0) << x; // bit-exact
                }
            }
        }
    }
}

TEST(JetWriter, MdbtoolsAndLibmdbReadTheLedgerBackValueForValue)
{
    TempDir dir;
    const std::string path = dir.file("ledger.mdb");
    jetfile::writeJetFile(path, sampleLedger(), {"Süt2024", false, false});
    // Compressed where every character fits a byte and it is shorter; never with a low byte of zero.
    const std::map<std::string, bool> forms = {{"Çiftçi Ömür", true}, {"Şahin", false}, {"Ayşe Gül", true},
                                               {"ĞŞİ", false}, {"ab", false}, {"Āaaaaaaa", false}, {"abc", true}, {"FC", false}};
    std::map<std::string, bool> got;
    expectReadBack(path, sampleLedger(), "Fabrika_Cari", &got);
    EXPECT_EQ(got, forms);
}

TEST(JetWriter, TheHeaderTellsTheVersionTheKeyAndThePassword)
{
    struct Case { jetfile::Options options; const char* version; bool encrypted; }; // Jet3: password in clear
    const std::vector<Table> ledger = {sampleLedger()[3]};
    for (const Case& c : {Case{{"Süt2024", false, false}, "JET4", false}, Case{{"", false, false}, "JET4", false},
                          Case{{"Gizli", false, true}, "JET4", true}, Case{{"eski", true, false}, "JET3", false}}) {
        SCOPED_TRACE(c.options.password);
        TempDir dir;
        const std::string path = dir.file("ledger.mdb");
        jetfile::writeJetFile(path, ledger, c.options);
        EXPECT_EQ(run("mdb-ver '" + path + "'"), std::string(c.version) + "\n");
        const Libmdb mdb(path);
        ASSERT_NE(mdb.mdb, nullptr);
        MdbFile* file = mdb.mdb->f;
        EXPECT_EQ(file->db_key != 0, c.encrypted);
        if (c.options.jet3) {
            EXPECT_EQ(std::string(file->db_passwd, strnlen(file->db_passwd, sizeof file->db_passwd)), c.options.password);
            continue;
        }
        // libmdb leaves Jet 4's date mask on the password.
        const auto days = std::int32_t(mdb_get_double(const_cast<std::uint8_t*>(mdb.header.data()), 0x72));
        std::uint8_t mask[4];
        std::memcpy(mask, &days, 4);
        std::vector<std::uint8_t> password;
        for (int k = 0; k < 40; k += 2) {
            const std::uint8_t low = mdb.header[0x42 + k] ^ mask[k % 4], high = mdb.header[0x43 + k] ^ mask[(k + 1) % 4];
            if (!low && !high) break;
            password.insert(password.end(), {low, high});
        }
        EXPECT_EQ(mdb.utf8(password), c.options.password);
        // Encrypted pages read as garbage without the key, and as the table with it.
        const std::string raw = run("od -A n -t x1 -j 8192 -N 1 '" + path + "'");
        EXPECT_EQ(raw == " 02\n", !c.encrypted) << raw;
        EXPECT_EQ(exported(path, "Fabrika_Cari").size(), ledger[0].rows.size());
    }
}

TEST(JetWriter, AWideTableOfOtherTypesRunsItsDefinitionOverPages)
{
    Table wide{"Genis", {{"Bayt", ColumnType::Byte}, {"Kisa", ColumnType::Integer}, {"Notlar", ColumnType::Memo},
                         {"Nesne", ColumnType::LongBinary}}, {}, 0, {}};
    for (int k = 0; k < 150; ++k) wide.columns.push_back({"Ölçüm_sütunu_numarası_" + std::to_string(k), ColumnType::Long});
    for (int r = 0; r < 2; ++r) {
        Row row{{i(250 - r), i(-300 + r), t(r ? "" : "Uzun not: ğüşıöç İĞÜŞÖÇ"), N}};
        for (int k = 0; k < 150; ++k) row.values.push_back(k % 9 == r ? N : i(k * 1000 - r));
        wide.rows.push_back(row);
    }
    TempDir dir;
    const std::string path = dir.file("wide.mdb");
    jetfile::writeJetFile(path, {wide});
    expectReadBack(path, {wide}); // an empty memo is not NULL
    const Libmdb mdb(path);
    const Raw raw = mdb.read("Genis");
    const int types[] = {MDB_BYTE, MDB_INT, MDB_MEMO, MDB_OLE, MDB_LONGINT};
    for (std::size_t c = 0; c < 5; ++c) EXPECT_EQ(raw.columns[c].col_type, types[c]) << c;
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb.mdb, "Genis");
    ASSERT_NE(entry, nullptr);
    mdb_read_pg(mdb.mdb, entry->table_pg);
    EXPECT_NE(mdb_get_int32(mdb.mdb->pg_buf, 4), 0) << "the definition goes on on a next page";
}

TEST(JetWriter, FiftyThousandIntakeRowsSpanThousandsOfPages)
{
    Table sut{"SutGirisi", jetfile::ledgerColumns("SutGirisi"), {}, 0, {}};
    constexpr std::size_t kRows = 50000;
    sut.generatedRows = kRows;
    sut.generate = [](std::size_t k, Row& row) {
        row.deleted = k % 1000 == 999;
        row.values = {i(std::int32_t(k + 1)), d(45000 + double(k % 3000)), t("S01"), t("Ayşe"), t("Yılmaz"), d(double(k % 31)),
                      d((k % 40) * 0.25), d(0.1 * double(k % 7)), t("akşam sütü, soğuk"), t("yönetici"), t("G"), d(11.35),
                      d(11.35 * ((k % 40) * 0.25)), d(11.4), N, N, i(std::int32_t(k)), t("TL"), N, N, t("LT"), N,
                      t("F" + std::to_string(k))};
    };
    std::size_t live = 0;
    double morning = 0;
    for (std::size_t k = 0; k < kRows; ++k) if (k % 1000 != 999) ++live, morning += (k % 40) * 0.25;
    TempDir dir;
    const std::string path = dir.file("big.mdb");
    jetfile::writeJetFile(path, {sut});
    EXPECT_GT(std::filesystem::file_size(path), 2000u * 4096u);
    const auto rows = exported(path, "SutGirisi");
    ASSERT_EQ(rows.size(), live);
    double sum = 0;
    for (const auto& row : rows) sum += std::strtod(row[6]->c_str(), nullptr);
    EXPECT_EQ(sum, morning);
    EXPECT_EQ(rows[998][0], "999");
    EXPECT_EQ(rows[999][0], "1001") << "row 1000 was deleted";
    EXPECT_EQ(rows.back()[0], std::to_string(kRows - 1));
    EXPECT_EQ(rows.back()[22], "F" + std::to_string(kRows - 2));
    EXPECT_EQ(rows.back()[4], "Yılmaz");
    const Raw raw = Libmdb(path).read("SutGirisi");
    EXPECT_EQ(raw.mapType, 1) << "too many pages for a map kept in the row";
    EXPECT_EQ(raw.numRows, live);
    EXPECT_EQ(raw.withDeleted, kRows);
}

} // namespace
