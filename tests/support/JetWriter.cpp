#include "JetWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace jetfile {
namespace {

static_assert(std::endian::native == std::endian::little, "pages are laid out with memcpy");

constexpr std::size_t kPage = 4096;
constexpr std::size_t kJet3Page = 2048;
using Page = std::array<std::uint8_t, kPage>;

constexpr std::uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
constexpr std::uint32_t kTableMagic = 0x0659; // stamped in every table and column definition
constexpr std::uint32_t kEncryptionKey = 0x5EB1A07C;
constexpr std::uint32_t kTablesContainer = 0x0F000001;

// Data pages: 14-byte header, then 2-byte row offsets growing down into rows stored from the end.
constexpr std::size_t kDataHeader = 14;
constexpr std::size_t kMaxRowsOnPage = 255;
constexpr std::uint16_t kDeletedRow = 0xC000; // both flags, as the engine sets them on delete
// A usage map row: type 0 holds a start page and a bitmap, type 1 points to
// bitmap pages of (4096 - 4) * 8 pages each.
constexpr std::size_t kMapRow = 64;
constexpr std::size_t kInlineMapPages = (kMapRow - 5) * 8;
constexpr std::size_t kMapPagePages = (kPage - 4) * 8;
constexpr std::size_t kMaxMapPages = (kMapRow - 1) / 4;

void put16(std::uint8_t* at, std::uint32_t v)
{
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
}
void put32(std::uint8_t* at, std::uint32_t v)
{
    put16(at, v);
    put16(at + 2, v >> 16);
}
void putDouble(std::uint8_t* at, double v) { std::memcpy(at, &v, 8); }

void rc4(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data, std::size_t length)
{
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i) s[i] = std::uint8_t(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (std::size_t n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

// False for text that is not UTF-8.
bool decodeUtf8(std::string_view utf8, std::u16string& out)
{
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = std::uint8_t(utf8[i]);
        const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= utf8.size()) return false;
        char32_t c = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra; ++k) {
            const auto next = std::uint8_t(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(char16_t(0xD800 + (c >> 10)));
            out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return true;
}

std::u16string utf16(std::string_view utf8, const std::string& where)
{
    std::u16string out;
    if (!decodeUtf8(utf8, out)) throw std::invalid_argument(where + ": not UTF-8");
    return out;
}

void appendUcs2(const std::u16string& text, std::vector<std::uint8_t>& out)
{
    for (char16_t c : text) {
        out.push_back(std::uint8_t(c));
        out.push_back(std::uint8_t(c >> 8));
    }
}

// Compressed text starts with FF FE and holds one byte a character; a zero
// byte switches to two bytes a character and back. A character whose low
// byte is zero would read as a switch, so such text is never compressed;
// nor is text that would not come out shorter. Appended to `out`.
void appendStoredText(const std::u16string& text, std::vector<std::uint8_t>& out)
{
    const std::size_t start = out.size();
    out.push_back(0xFF);
    out.push_back(0xFE);
    bool oneByte = true;
    bool shorter = true;
    for (char16_t c : text) {
        if ((c & 0xFF) == 0 || out.size() - start >= text.size() * 2) {
            shorter = false;
            break;
        }
        if ((c < 0x100) != oneByte) {
            out.push_back(0);
            oneByte = !oneByte;
        }
        out.push_back(std::uint8_t(c));
        if (!oneByte) out.push_back(std::uint8_t(c >> 8));
    }
    if (shorter && out.size() - start < text.size() * 2) return;
    out.resize(start);
    appendUcs2(text, out);
}

struct ColumnLayout {
    std::uint8_t code = 0;
    int fixedSize = 0; // 0: stored among the variable-length values
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    std::uint16_t length = 0;
    std::uint8_t flags = 0;
    std::uint8_t textFlags = 0;
};

struct Layout {
    std::string table;
    std::vector<Column> columns;
    std::vector<ColumnLayout> cols;
    int fixedBytes = 0;
    int varCount = 0;
    bool system = false;
};

Layout layoutOf(const std::string& table, const std::vector<Column>& columns, bool system = false)
{
    if (columns.empty() || columns.size() > 255)
        throw std::invalid_argument(table + ": a table has 1 to 255 columns");
    Layout layout{table, columns, {}, 0, 0, system};
    for (const Column& column : columns) {
        if (column.name.empty() || utf16(column.name, table).size() > 64)
            throw std::invalid_argument(table + ": a column name has 1 to 64 characters");
        ColumnLayout c;
        c.flags = 0x02;
        switch (column.type) {
        case ColumnType::AutoNumber: c.code = 0x04; c.fixedSize = 4; c.flags |= 0x04; break;
        case ColumnType::Long: c.code = 0x04; c.fixedSize = 4; break;
        case ColumnType::Integer: c.code = 0x03; c.fixedSize = 2; break;
        case ColumnType::Byte: c.code = 0x02; c.fixedSize = 1; break;
        case ColumnType::Double: c.code = 0x07; c.fixedSize = 8; break;
        case ColumnType::DateTime: c.code = 0x08; c.fixedSize = 8; break;
        case ColumnType::Text:
            if (column.size < 1 || column.size > 255)
                throw std::invalid_argument(table + "." + column.name + ": a text is 1 to 255 characters wide");
            c.code = 0x0A; c.length = std::uint16_t(column.size * 2); c.textFlags = 0x01;
            break;
        case ColumnType::Memo: c.code = 0x0C; c.textFlags = 0x01; break;
        case ColumnType::LongBinary: c.code = 0x0B; break;
        }
        if (c.fixedSize) {
            c.flags |= 0x01;
            c.fixedOffset = std::uint16_t(layout.fixedBytes);
            c.length = std::uint16_t(c.fixedSize);
            layout.fixedBytes += c.fixedSize;
        } else {
            c.varIndex = std::uint16_t(layout.varCount++);
        }
        layout.cols.push_back(c);
    }
    return layout;
}

// A value's bytes as the row holds them; empty for NULL.
void valueBytes(const Layout& layout, std::size_t i, const Value& value, std::vector<std::uint8_t>& out)
{
    const Column& column = layout.columns[i];
    const auto refused = [&](const char* why) { return std::invalid_argument(layout.table + "." + column.name + ": " + why); };
    out.clear();
    if (std::holds_alternative<std::monostate>(value)) return;
    switch (column.type) {
    case ColumnType::AutoNumber:
    case ColumnType::Long:
    case ColumnType::Integer:
    case ColumnType::Byte: {
        const std::int32_t* v = std::get_if<std::int32_t>(&value);
        if (!v) throw refused("a value of the wrong kind");
        const int size = layout.cols[i].fixedSize;
        if ((size == 2 && (*v < -32768 || *v > 32767)) || (size == 1 && (*v < 0 || *v > 255)))
            throw refused("out of the column's range");
        out.resize(size);
        for (int b = 0; b < size; ++b) out[b] = std::uint8_t(std::uint32_t(*v) >> (8 * b));
        return;
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
        const double* v = std::get_if<double>(&value);
        if (!v) throw refused("a value of the wrong kind");
        out.resize(8);
        putDouble(out.data(), *v);
        return;
    }
    case ColumnType::Text:
    case ColumnType::Memo: {
        const std::string* v = std::get_if<std::string>(&value);
        if (!v) throw refused("a value of the wrong kind");
        thread_local std::u16string text;
        if (!decodeUtf8(*v, text)) throw refused("not UTF-8");
        if (column.type == ColumnType::Text) {
            if (text.size() > std::size_t(column.size)) throw refused("longer than the column");
            appendStoredText(text, out);
            return;
        }
        // Kept in the row: its length with the in-row flag, eight unused bytes, the text.
        out.assign(12, 0);
        appendStoredText(text, out);
        put32(out.data(), std::uint32_t(out.size() - 12) | 0x80000000u);
        return;
    }
    case ColumnType::LongBinary:
        throw refused("only NULL is written in an OLE column");
    }
}

// A row: its column count, the fixed-size values, the variable-length ones,
// where they end, their offsets last to first, their count, and the null
// mask (a set bit: not null).
class RowEncoder {
public:
    explicit RowEncoder(const Layout& layout) : layout_(layout) {}

    const std::vector<std::uint8_t>& encode(const Row& row)
    {
        const std::size_t n = layout_.columns.size();
        if (row.values.size() != n)
            throw std::invalid_argument(layout_.table + ": a row has " + std::to_string(n) + " values");
        row_.assign(2 + layout_.fixedBytes, 0);
        put16(row_.data(), std::uint32_t(n));
        mask_.assign((n + 7) / 8, 0);
        var_.clear();
        varStart_.assign(layout_.varCount, 0);
        for (std::size_t i = 0; i < n; ++i) {
            valueBytes(layout_, i, row.values[i], value_);
            if (!std::holds_alternative<std::monostate>(row.values[i])) mask_[i / 8] |= std::uint8_t(1u << (i % 8));
            const ColumnLayout& c = layout_.cols[i];
            if (c.fixedSize) {
                std::copy(value_.begin(), value_.end(), row_.begin() + 2 + c.fixedOffset);
            } else {
                varStart_[c.varIndex] = std::uint16_t(row_.size() + var_.size());
                var_.insert(var_.end(), value_.begin(), value_.end());
            }
        }
        if (layout_.varCount) {
            row_.insert(row_.end(), var_.begin(), var_.end());
            const std::size_t end = row_.size();
            row_.resize(end + 2 + 2 * layout_.varCount + 2);
            std::uint8_t* at = row_.data() + end;
            put16(at, std::uint32_t(end));
            at += 2;
            for (int v = layout_.varCount - 1; v >= 0; --v, at += 2) put16(at, varStart_[v]);
            put16(at, std::uint32_t(layout_.varCount));
        }
        row_.insert(row_.end(), mask_.begin(), mask_.end());
        if (row_.size() > kPage - kDataHeader - 2)
            throw std::invalid_argument(layout_.table + ": a row longer than a page");
        return row_;
    }

private:
    const Layout& layout_;
    std::vector<std::uint8_t> row_, mask_, value_, var_;
    std::vector<std::uint16_t> varStart_;
};

// Fills data pages of one table; a full page is handed on.
class PagePacker {
public:
    PagePacker(std::uint32_t owner, std::function<void(const Page&)> full) : owner_(owner), full_(std::move(full))
    {
        start();
    }

    void add(const std::vector<std::uint8_t>& row, bool deleted)
    {
        if (count_ && (count_ == kMaxRowsOnPage || kDataHeader + 2 * (count_ + 1) + row.size() > top_)) flush();
        top_ -= row.size();
        std::copy(row.begin(), row.end(), page_.begin() + top_);
        put16(&page_[kDataHeader + 2 * count_], std::uint32_t(top_) | (deleted ? kDeletedRow : 0));
        ++count_;
    }

    void finish()
    {
        if (count_) flush();
    }

private:
    void start()
    {
        page_.fill(0);
        page_[0] = 0x01;
        page_[1] = 0x01;
        put32(&page_[4], owner_);
        count_ = 0;
        top_ = kPage;
    }
    void flush()
    {
        put16(&page_[2], std::uint32_t(top_ - kDataHeader - 2 * count_));
        put16(&page_[12], std::uint32_t(count_));
        full_(page_);
        start();
    }

    std::uint32_t owner_;
    std::function<void(const Page&)> full_;
    Page page_{};
    std::size_t count_ = 0;
    std::size_t top_ = kPage;
};

class PageFile {
public:
    PageFile(const std::string& path, std::uint32_t key) : key_(key)
    {
        file_.reset(std::fopen(path.c_str(), "wb"));
        if (!file_) throw std::runtime_error("cannot create " + path);
        std::setvbuf(file_.get(), nullptr, _IOFBF, 1 << 20);
    }

    void write(std::uint32_t number, const Page& page, std::size_t size = kPage)
    {
        const Page* out = &page;
        Page coded;
        if (key_ && number != 0) {
            coded = page;
            const std::uint32_t k = key_ ^ number;
            const std::uint8_t key[4] = {std::uint8_t(k), std::uint8_t(k >> 8), std::uint8_t(k >> 16), std::uint8_t(k >> 24)};
            rc4(key, 4, coded.data(), size);
            out = &coded;
        }
        const long long at = (long long)number * (long long)size;
        if (at != position_ && fseeko(file_.get(), at, SEEK_SET) != 0) throw std::runtime_error("cannot seek");
        if (std::fwrite(out->data(), 1, size, file_.get()) != size) throw std::runtime_error("cannot write");
        position_ = at + (long long)size;
    }

    void close()
    {
        if (std::fclose(file_.release()) != 0) throw std::runtime_error("cannot write");
    }

private:
    struct Closer {
        void operator()(std::FILE* f) const
        {
            if (f) std::fclose(f);
        }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint32_t key_;
    long long position_ = 0;
};

Page headerPage(const Options& options, std::uint32_t key)
{
    const bool jet3 = options.jet3;
    Page page{};
    page[1] = 0x01;
    std::memcpy(&page[4], "Standard Jet DB", 15);
    put32(&page[0x14], jet3 ? 0 : 1);
    put16(&page[jet3 ? 0x3A : 0x6E], 0x0409); // General sort order
    put16(&page[0x3C], 1252);
    put32(&page[0x3E], key);
    const std::u16string password = utf16(options.password, "password");
    if (password.size() > 20) throw std::invalid_argument("a password has at most 20 characters");
    if (jet3) {
        for (std::size_t i = 0; i < password.size(); ++i) {
            if (password[i] > 0xFF) throw std::invalid_argument("a Jet 3 password is one byte a character");
            page[0x42 + i] = std::uint8_t(password[i]);
        }
    } else {
        // Jet 4 masks the password once more with the creation date's whole days.
        putDouble(&page[0x72], options.created);
        const std::int32_t days = std::int32_t(options.created);
        std::uint8_t mask[4];
        put32(mask, std::uint32_t(days));
        for (std::size_t i = 0; i < 40; ++i) {
            const std::uint8_t clear = i / 2 < password.size() ? std::uint8_t(password[i / 2] >> (8 * (i % 2))) : 0;
            page[0x42 + i] = clear ^ mask[i % 4];
        }
    }
    rc4(kHeaderKey, 4, &page[0x18], jet3 ? 126 : 128);
    return page;
}

// A usage map row of type 0 for pages [first, last], or of type 1 with its
// bitmap pages, taken from `next`.
std::vector<std::uint8_t> usageMap(std::uint32_t first, std::uint32_t last, std::uint32_t& next,
                                   std::vector<std::pair<std::uint32_t, Page>>& mapPages)
{
    std::vector<std::uint8_t> row(kMapRow, 0);
    if (first == 0 || last - first < kInlineMapPages) {
        put32(&row[1], first);
        for (std::uint32_t p = first; first && p <= last; ++p) row[5 + (p - first) / 8] |= std::uint8_t(1u << ((p - first) % 8));
        return row;
    }
    row[0] = 0x01;
    for (std::size_t block = first / kMapPagePages; block <= last / kMapPagePages; ++block) {
        if (block >= kMaxMapPages) throw std::invalid_argument("a table past the two gigabytes a file can hold");
        Page map{};
        map[0] = 0x05;
        map[1] = 0x01;
        const std::uint32_t from = std::max<std::uint32_t>(first, std::uint32_t(block * kMapPagePages));
        const std::uint32_t to = std::min<std::uint32_t>(last, std::uint32_t((block + 1) * kMapPagePages - 1));
        for (std::uint32_t p = from; p <= to; ++p) {
            const std::size_t bit = p - block * kMapPagePages;
            map[4 + bit / 8] |= std::uint8_t(1u << (bit % 8));
        }
        put32(&row[1 + 4 * block], next);
        mapPages.emplace_back(next++, map);
    }
    return row;
}

struct Written {
    std::uint32_t tdef = 0;
    std::uint32_t firstData = 0;
    std::uint32_t lastData = 0;
    std::uint32_t liveRows = 0;
    std::int32_t lastAutoNumber = 0;
    std::uint32_t usedMap = 0; // page << 8 | row
    std::uint32_t freeMap = 0;
};

std::vector<Page> tableDefinition(const Layout& layout, const Written& w)
{
    std::vector<std::uint8_t> d(63, 0);
    d[0] = 0x02;
    d[1] = 0x01;
    put32(&d[12], kTableMagic);
    put32(&d[16], w.liveRows);
    put32(&d[20], std::uint32_t(w.lastAutoNumber));
    d[24] = 0x01; // lets the engine go on numbering
    d[40] = layout.system ? 0x53 : 0x4E;
    const std::size_t n = layout.columns.size();
    put16(&d[41], std::uint32_t(n));
    put16(&d[43], std::uint32_t(layout.varCount));
    put16(&d[45], std::uint32_t(n));
    put32(&d[55], w.usedMap);
    put32(&d[59], w.freeMap);
    for (std::size_t i = 0; i < n; ++i) {
        const ColumnLayout& c = layout.cols[i];
        std::uint8_t e[25] = {};
        e[0] = c.code;
        put32(&e[1], kTableMagic);
        put16(&e[5], std::uint32_t(i));
        put16(&e[7], c.varIndex);
        put16(&e[9], std::uint32_t(i));
        if (c.code == 0x0A || c.code == 0x0C) put16(&e[11], 0x0409);
        e[15] = c.flags;
        e[16] = c.textFlags;
        put16(&e[21], c.fixedOffset);
        put16(&e[23], c.length);
        d.insert(d.end(), e, e + 25);
    }
    for (const Column& column : layout.columns) {
        const std::u16string name = utf16(column.name, layout.table);
        const std::size_t at = d.size();
        d.resize(at + 2);
        put16(&d[at], std::uint32_t(name.size() * 2));
        appendUcs2(name, d);
    }
    d.push_back(0xFF); // no long-value column keeps maps of its own
    d.push_back(0xFF);
    put32(&d[8], std::uint32_t(d.size()));

    // Past the first page the definition goes on after an 8-byte header.
    std::vector<Page> pages;
    for (std::size_t at = 0; at < d.size();) {
        Page page{};
        std::size_t used = 0;
        if (pages.empty()) {
            used = std::min(d.size(), kPage);
            std::copy(d.begin(), d.begin() + used, page.begin());
        } else {
            page[0] = 0x02;
            page[1] = 0x01;
            used = 8 + std::min(d.size() - at, kPage - 8);
            std::copy(d.begin() + at, d.begin() + at + (used - 8), page.begin() + 8);
        }
        at += pages.empty() ? used : used - 8;
        put16(&page[2], std::uint32_t(kPage - used));
        pages.push_back(page);
    }
    for (std::size_t i = 0; i + 1 < pages.size(); ++i) put32(&pages[i][4], w.tdef + std::uint32_t(i) + 1);
    return pages;
}

std::int32_t autoNumberOf(const Layout& layout, const Row& row, std::int32_t last)
{
    for (std::size_t i = 0; i < layout.columns.size() && i < row.values.size(); ++i)
        if (layout.columns[i].type == ColumnType::AutoNumber)
            if (const std::int32_t* v = std::get_if<std::int32_t>(&row.values[i])) last = std::max(last, *v);
    return last;
}

const std::vector<Column>& catalogColumns()
{
    static const std::vector<Column> columns = {
        {"Id", ColumnType::Long},          {"ParentId", ColumnType::Long}, {"Name", ColumnType::Text, 128},
        {"Type", ColumnType::Integer},     {"DateCreate", ColumnType::DateTime},
        {"DateUpdate", ColumnType::DateTime}, {"Flags", ColumnType::Long}, {"LvProp", ColumnType::LongBinary},
    };
    return columns;
}

std::vector<Row> catalogRows(const std::vector<Table>& tables, const std::vector<Written>& written, double created)
{
    const auto row = [&](std::int32_t id, std::int32_t parent, const std::string& name, std::int32_t type, std::uint32_t flags) {
        return Row{{id, parent, name, type, created, created, std::int32_t(flags), std::monostate{}}};
    };
    std::vector<Row> rows;
    rows.push_back(row(std::int32_t(kTablesContainer), 0x0F000000, "Tables", 3, 0));
    rows.push_back(row(2, std::int32_t(kTablesContainer), "MSysObjects", 1, 0x80000002u));
    for (std::size_t i = 0; i < tables.size(); ++i)
        rows.push_back(row(std::int32_t(written[i].tdef), std::int32_t(kTablesContainer), tables[i].name, 1, 0));
    return rows;
}

std::vector<Page> packed(std::uint32_t owner, const Layout& layout, const std::vector<Row>& rows)
{
    std::vector<Page> pages;
    PagePacker packer(owner, [&](const Page& page) { pages.push_back(page); });
    RowEncoder encoder(layout);
    for (const Row& row : rows) packer.add(encoder.encode(row), row.deleted);
    packer.finish();
    return pages;
}

} // namespace

void writeJetFile(const std::string& path, const std::vector<Table>& tables, const Options& options)
{
    const std::uint32_t key = options.encrypted ? kEncryptionKey : 0;
    if (options.jet3) {
        Page header = headerPage(options, key);
        PageFile file(path, 0);
        file.write(0, header, kJet3Page);
        file.close();
        return;
    }
    std::vector<Layout> layouts;
    for (const Table& table : tables) {
        if (table.name.empty()) throw std::invalid_argument("a table without a name");
        for (const Layout& other : layouts)
            if (other.table == table.name) throw std::invalid_argument(table.name + ": two tables of one name");
        layouts.push_back(layoutOf(table.name, table.columns));
    }
    const Layout catalog = layoutOf("MSysObjects", catalogColumns(), true);
    std::vector<Written> written(tables.size());
    const Page header = headerPage(options, key);
    PageFile file(path, key);

    // Page 0 the header, 1 the usage maps, 2 the catalog's definition, then its rows.
    const std::size_t catalogPages = packed(2, catalog, catalogRows(tables, written, options.created)).size();
    std::uint32_t next = 3 + std::uint32_t(catalogPages);
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const Table& table = tables[t];
        Written& w = written[t];
        w.tdef = next;
        next += std::uint32_t(tableDefinition(layouts[t], w).size());
        PagePacker packer(w.tdef, [&](const Page& page) {
            if (!w.firstData) w.firstData = next;
            w.lastData = next;
            file.write(next++, page);
        });
        RowEncoder encoder(layouts[t]);
        const auto add = [&](const Row& row) {
            packer.add(encoder.encode(row), row.deleted);
            w.liveRows += row.deleted ? 0 : 1;
            w.lastAutoNumber = autoNumberOf(layouts[t], row, w.lastAutoNumber);
        };
        for (const Row& row : table.rows) add(row);
        if (table.generatedRows && !table.generate) throw std::invalid_argument(table.name + ": rows to make but no maker");
        Row made;
        for (std::size_t i = 0; i < table.generatedRows; ++i) {
            made = Row{};
            table.generate(i, made);
            add(made);
        }
        packer.finish();
    }

    Written catalogWritten;
    catalogWritten.tdef = 2;
    const std::vector<Row> catalogRowList = catalogRows(tables, written, options.created);
    const std::vector<Page> catalogData = packed(2, catalog, catalogRowList);
    catalogWritten.liveRows = std::uint32_t(catalogRowList.size());
    if (!catalogData.empty()) {
        catalogWritten.firstData = 3;
        catalogWritten.lastData = 3 + std::uint32_t(catalogData.size()) - 1;
    }

    // Usage maps: the file's own first (nothing in it is free), then each
    // table's pages and its pages with room (none: rows are packed).
    std::vector<std::pair<std::uint32_t, Page>> mapPages;
    std::vector<std::vector<std::uint8_t>> mapRows;
    mapRows.push_back(usageMap(0, 0, next, mapPages));
    std::vector<Written*> all{&catalogWritten};
    for (Written& w : written) all.push_back(&w);
    for (Written* w : all) {
        mapRows.push_back(usageMap(w->firstData, w->lastData, next, mapPages));
        mapRows.push_back(usageMap(0, 0, next, mapPages));
    }
    std::vector<std::pair<std::uint32_t, Page>> holders;
    std::vector<std::uint32_t> rowIds;
    const std::size_t perPage = (kPage - kDataHeader) / (kMapRow + 2);
    for (std::size_t first = 0; first < mapRows.size(); first += perPage) {
        const std::uint32_t number = first == 0 ? 1 : next++;
        PagePacker packer(0, [&](const Page& page) { holders.emplace_back(number, page); });
        for (std::size_t r = first; r < std::min(mapRows.size(), first + perPage); ++r) {
            packer.add(mapRows[r], false);
            rowIds.push_back(number << 8 | std::uint32_t(r - first));
        }
        packer.finish();
    }
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i]->usedMap = rowIds[1 + 2 * i];
        all[i]->freeMap = rowIds[2 + 2 * i];
    }

    for (std::size_t t = 0; t < tables.size(); ++t) {
        const std::vector<Page> pages = tableDefinition(layouts[t], written[t]);
        for (std::size_t i = 0; i < pages.size(); ++i) file.write(written[t].tdef + std::uint32_t(i), pages[i]);
    }
    const std::vector<Page> catalogDefinition = tableDefinition(catalog, catalogWritten);
    if (catalogDefinition.size() != 1) throw std::logic_error("the catalog's definition outgrew its page");
    file.write(2, catalogDefinition[0]);
    for (std::size_t i = 0; i < catalogData.size(); ++i) file.write(3 + std::uint32_t(i), catalogData[i]);
    for (const auto& [number, page] : mapPages) file.write(number, page);
    for (const auto& [number, page] : holders) file.write(number, page);
    file.write(0, header);
    file.close();
}

double jetDate(int year, int month, int day, int hour, int minute, int second)
{
    // Days from civil (proleptic Gregorian), counted from 30.12.1899.
    const int y = year - (month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = long(era) * 146097 + doe - 719468 + 25569;
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Before 1899 the whole days count back and the time still counts forward.
    return days >= 0 ? double(days) + time : double(days) - time;
}

const std::vector<Column>& ledgerColumns(std::string_view table)
{
    using T = ColumnType;
    static const std::map<std::string, std::vector<Column>, std::less<>> ledger = {
        {"Cariler",
         {{"CID", T::AutoNumber},         {"Kodu", T::Text, 100},         {"Adi", T::Text, 100},
          {"Soyadi", T::Text, 100},       {"Aciklama", T::Text, 255},     {"Kayit_Tarihi", T::DateTime},
          {"Limit_Tutari", T::Double},    {"Limit_Miktar", T::Double},    {"Gunluk_Ortalama", T::Double},
          {"Birim_Fiyati", T::Double},    {"PB", T::Text, 10},            {"Mevki", T::Text, 150},
          {"Koordinat", T::Text, 50},     {"Sehir", T::Text, 50},         {"ilce", T::Text, 50},
          {"Koy", T::Text, 50},           {"Telefon", T::Text, 20},       {"Telefon2", T::Text, 20},
          {"Kisin_Alim", T::Text, 20},    {"Yaz_Alim", T::Text, 20}}},
        {"SutGirisi",
         {{"SGID", T::AutoNumber},         {"Tarih", T::DateTime},           {"Kodu", T::Text, 100},
          {"Adi", T::Text, 100},           {"Soyadi", T::Text, 100},         {"Gun", T::Double},
          {"Sabah", T::Double},            {"Aksam", T::Double},             {"Aciklama", T::Text, 255},
          {"Kullanici", T::Text, 100},     {"Gelir_Gider", T::Text, 1},      {"SBirim_Fiyat", T::Double},
          {"SToplam_Tutar", T::Double},    {"ABirim_Fiyat", T::Double},      {"AToplam_Tutar", T::Double},
          {"Gelir_Toplam_Tutar", T::Double}, {"VerilenID", T::Long},         {"PB", T::Text, 10},
          {"Gider_Turu", T::Text, 50},     {"Gider_Miktari", T::Double},     {"Olcu_Birimi", T::Text, 10},
          {"Gider_Tutari", T::Double},     {"Fis_No", T::Text, 20}}},
        {"Fabrika",
         {{"FIB", T::AutoNumber},
          {"Cari_Kodu", T::Text, 30},
          {"Cari_Adi", T::Text, 80},
          {"Cari_Soyadi", T::Text, 80},
          {"Tarih", T::DateTime},
          {"Islem_Turu", T::Text, 1},
          {"Sabah_Toplanan_LT", T::Double},
          {"Sabah_Toplanan_Tutar", T::Double},
          {"Sabah_Fabrika_LT", T::Double},
          {"Sabah_Fabrika_Tutar", T::Double},
          {"Sabah_Miktar_Farki", T::Double},
          {"Sabah_Miktar_Farki_Tutari", T::Double},
          {"Sabah_Teslim_Kari", T::Double},
          {"Aksam_Toplanan_LT", T::Double},
          {"Aksam_Toplanan_Tutar", T::Double},
          {"Aksam_Fabrika_LT", T::Double},
          {"Aksam_Fabrika_Tutar", T::Double},
          {"Aksam_Miktar_Farki", T::Double},
          {"Aksam_Miktar_Farki_Tutari", T::Double},
          {"Aksam_Teslim_Kari", T::Double},
          {"Toplam_Toplanan_LT", T::Double},
          {"Toplam_Toplanan_Tutar", T::Double},
          {"Toplam_Fabrika_LT", T::Double},
          {"Toplam_Fabrika_Tutar", T::Double},
          {"Toplam_Miktar_Farki", T::Double},
          {"Toplam_Miktar_Farki_Tutari", T::Double},
          {"Toplam_Teslim_Kari", T::Double},
          {"Aciklama", T::Text, 100},
          {"Birim_Fiyat", T::Double},
          {"Sabah_Birim_Fiyat", T::Double},
          {"Aksam_Birim_Fiyat", T::Double}}},
        {"Fabrika_Cari",
         {{"FCID", T::AutoNumber},
          {"Cari_Kodu", T::Text, 30},
          {"Adi", T::Text, 80},
          {"Soyadi", T::Text, 80},
          {"Birim_Fiyat", T::Double},
          {"Aciklama", T::Text, 255}}},
    };
    const auto found = ledger.find(table);
    if (found == ledger.end()) throw std::invalid_argument(std::string(table) + ": not one of the ledger's tables");
    return found->second;
}

Row ledgerRow(std::string_view table, std::initializer_list<std::pair<std::string_view, Value>> set, bool deleted)
{
    const std::vector<Column>& columns = ledgerColumns(table);
    Row row{std::vector<Value>(columns.size()), deleted};
    for (const auto& [name, value] : set)
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name == name) row.values[i] = value;
    return row;
}

Table ledgerTable(std::string_view table, std::vector<Row> rows)
{
    return {std::string(table), ledgerColumns(table), std::move(rows)};
}

} // namespace jetfile
