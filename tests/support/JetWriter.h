#pragma once

// Writes Jet 4 (.mdb) files for tests: the old program's ledgers, made here
// row for row, so the reader is proven on files whose every byte we chose.
// Plain C++ on purpose: a benchmark can use it without Qt.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jetfile {

enum class ColumnType {
    AutoNumber, // Long Integer carrying the auto-increment flag; the values are the ones given
    Long,       // 32-bit integer
    Integer,    // 16-bit integer
    Byte,       // 8-bit unsigned
    Double,
    DateTime,   // a double: days since 30.12.1899, the fraction the time of day
    Text,       // size is the width in characters, 1..255
    Memo,       // long text, kept inside the row, so it must fit there
    LongBinary, // OLE object; only NULL is written
};

struct Column {
    std::string name;
    ColumnType type;
    int size = 0;
};

// monostate is NULL. Integers for the integer types, double for Double and
// DateTime, UTF-8 for Text and Memo; anything else is refused.
using Value = std::variant<std::monostate, std::int32_t, double, std::string>;

struct Row {
    std::vector<Value> values;
    bool deleted = false; // left on its page, flagged as deleted
};

struct Table {
    std::string name;
    std::vector<Column> columns;
    std::vector<Row> rows;
    // A big table is made row by row instead of held: after `rows`,
    // generate(i, row) fills row i for i in [0, generatedRows).
    std::size_t generatedRows = 0;
    std::function<void(std::size_t, Row&)> generate;
};

struct Options {
    std::string password;             // at most 20 characters
    bool jet3 = false;                // only a Jet 3 header page, for a reader to refuse
    bool encrypted = false;           // every page after the header RC4-encrypted
    double created = 40616.39366898148; // 14.03.2011 09:26:53, also masks the password
};

// Throws std::invalid_argument for a value that does not fit its column and
// std::runtime_error when the file cannot be written.
void writeJetFile(const std::string& path, const std::vector<Table>& tables, const Options& options = {});

// The old program's four tables: Cariler, SutGirisi, Fabrika, Fabrika_Cari.
const std::vector<Column>& ledgerColumns(std::string_view table);

// A row of one of those tables: the given fields set by name, every other
// one NULL.
Row ledgerRow(std::string_view table, std::initializer_list<std::pair<std::string_view, Value>> set, bool deleted = false);
// One of those tables with the given rows.
Table ledgerTable(std::string_view table, std::vector<Row> rows);

// Jet's date value for a civil date and time (before 1899 too, in Jet's form).
double jetDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

} // namespace jetfile
