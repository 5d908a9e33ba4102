#include "store/JetFile.h"

#include "store/Schema.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

// mdbtools.h includes glib.h inside extern "C", which C++ cannot take.
#include <glib.h>
#include <mdbtools.h>

#include <cmath>
#include <cstring>

namespace {

// The file's header: its kind at byte 4, its version at 0x14.
constexpr qsizetype kKindAt = 4;
constexpr qsizetype kVersionAt = 0x14;
const QByteArray kJetKind("Standard Jet DB");

// A row's place in its page's offset table carries flags in its top bits.
constexpr int kDeletedRow = 0x8000;
constexpr int kRowOffset = 0x1fff;

const QString kDamaged = QStringLiteral("dosya bozuk; Access ile \"Sıkıştır ve Onar\" yapıp yeniden deneyin ya da sağlam bir kopyasını verin");
const QString kCutShort = QStringLiteral("dosya yarıda kesilmiş (boyu sayfalarının katı değil); sağlam bir kopyasını verin");

[[noreturn]] void refuse(const QString& why)
{
    throw JetRefused(why.toStdString());
}

const schema::Table& ledgerTable(const QString& name)
{
    const schema::Table* table = schema::tableNamed(name);
    if (!table) refuse(QStringLiteral("%1 tablosu bu programda yok").arg(name));
    return *table;
}

// The columns the old program made: the ledger's first version's.
std::vector<const schema::Column*> oldColumns(const QString& table)
{
    std::vector<const schema::Column*> columns;
    for (const schema::Column& column : ledgerTable(table).columns)
        if (column.since == 1) columns.push_back(&column);
    return columns;
}

int jetTypeOf(const schema::Column& column)
{
    const QByteArray type(column.type);
    if (type == "REAL") return MDB_DOUBLE;
    if (type == "DATE" || type == "DATETIME") return MDB_DATETIME;
    if (type.startsWith("VARCHAR")) return MDB_TEXT;
    return MDB_LONGINT;  // the key and the whole numbers
}

QString jetTypeName(int type)
{
    switch (type) {
    case MDB_BOOL: return QStringLiteral("Evet/Hayır");
    case MDB_BYTE: return QStringLiteral("Bayt");
    case MDB_INT: return QStringLiteral("Tamsayı");
    case MDB_LONGINT: return QStringLiteral("Uzun Tamsayı");
    case MDB_MONEY: return QStringLiteral("Para Birimi");
    case MDB_FLOAT: return QStringLiteral("Tek Duyarlıklı Sayı");
    case MDB_DOUBLE: return QStringLiteral("Çift Duyarlıklı Sayı");
    case MDB_DATETIME: return QStringLiteral("Tarih/Saat");
    case MDB_TEXT: return QStringLiteral("Metin");
    case MDB_MEMO: return QStringLiteral("Not");
    default: return QStringLiteral("tür %1").arg(type);
    }
}

struct TableDef {
    MdbTableDef* def = nullptr;
    ~TableDef()
    {
        if (def) mdb_free_tabledef(def);
    }
};

}  // namespace

bool looksLikeJetFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(kVersionAt + 1);
    return head.size() > kVersionAt && head.mid(kKindAt, kJetKind.size()) == kJetKind;
}

struct JetFile::Handle {
    MdbHandle* mdb = nullptr;
    ~Handle()
    {
        if (mdb) mdb_close(mdb);
    }
    // The table's definition with its columns read; refused when missing.
    void open(TableDef& table, const QString& name) const
    {
        QByteArray spelt = name.toLatin1();
        table.def = mdb_read_table_by_name(mdb, spelt.data(), MDB_TABLE);
        if (table.def) {
            mdb_read_columns(table.def);
            return;
        }
        // Listed but not readable: the file is damaged, not another program's.
        for (guint i = 0; i < mdb->num_catalog; ++i) {
            const auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && name.compare(QString::fromUtf8(entry->object_name), Qt::CaseInsensitive) == 0)
                refuse(QStringLiteral("%1 tablosu okunamadı: %2").arg(name, kDamaged));
        }
        refuse(QStringLiteral("dosyada %1 tablosu yok; eski programın veritabanı değil").arg(name));
    }
    // The file's column for each of the ledger's, in the ledger's order.
    std::vector<int> columnsOf(const TableDef& table, const QString& name) const
    {
        std::vector<int> found;
        for (const schema::Column* wanted : oldColumns(name)) {
            int at = -1;
            for (unsigned i = 0; i < table.def->num_cols; ++i) {
                const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table.def->columns, i));
                if (QString::fromUtf8(column->name).compare(QLatin1String(wanted->name), Qt::CaseInsensitive) != 0) continue;
                if (column->col_type != jetTypeOf(*wanted))
                    refuse(QStringLiteral("%1 tablosunun %2 alanı %3 türünde, eski programınki %4 türündeydi")
                               .arg(name, QLatin1String(wanted->name), jetTypeName(column->col_type), jetTypeName(jetTypeOf(*wanted))));
                at = static_cast<int>(i);
            }
            if (at < 0) refuse(QStringLiteral("%1 tablosunda %2 alanı yok").arg(name, QLatin1String(wanted->name)));
            found.push_back(at);
        }
        return found;
    }
};

JetFile::JetFile(const QString& path) : handle_(std::make_unique<Handle>())
{
    const QFileInfo file(path);
    if (!file.isFile()) refuse(QStringLiteral("dosya bulunamadı"));
    if (!looksLikeJetFile(path)) refuse(QStringLiteral("dosya bir Jet (Access) veritabanı değil"));
    handle_->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle_->mdb) refuse(QStringLiteral("dosya açılamadı"));
    if (handle_->mdb->f->jet_version != MDB_VER_JET4)
        refuse(QStringLiteral("dosya Jet 4.0 biçiminde değil (daha eski ya da daha yeni bir Access sürümünün dosyası); eski "
                              "programın veritabanı Jet 4.0 biçimindeydi"));
    if (handle_->mdb->f->db_key != 0)
        refuse(QStringLiteral("dosya şifrelenmiş (Access'te \"Veritabanını Şifrele\"); önce Access ile şifresini çözün"));
    // A file cut short ends inside a page.
    if (file.size() % MDB_PGSIZE != 0) refuse(kCutShort);
    if (!mdb_read_catalog(handle_->mdb, MDB_TABLE)) refuse(QStringLiteral("dosyanın tablo listesi okunamadı; dosya bozuk"));
    for (const QString& name : tables()) {
        TableDef table;
        handle_->open(table, name);
        handle_->columnsOf(table, name);
    }
}

JetFile::~JetFile() = default;

const QStringList& JetFile::tables()
{
    static const QStringList names = {QStringLiteral("Cariler"), QStringLiteral("SutGirisi"), QStringLiteral("Fabrika"),
                                      QStringLiteral("Fabrika_Cari")};
    return names;
}

QStringList JetFile::columns(const QString& table)
{
    QStringList names;
    for (const schema::Column* column : oldColumns(table)) names << QLatin1String(column->name);
    return names;
}

qint64 JetFile::rowCount(const QString& table) const
{
    TableDef def;
    handle_->open(def, table);
    return def.def->num_rows;
}

void JetFile::read(const QString& table, const std::function<bool(const JetRow&)>& take) const
{
    TableDef def;
    handle_->open(def, table);
    const std::vector<int> wanted = handle_->columnsOf(def, table);
    MdbHandle* mdb = handle_->mdb;
    std::vector<MdbField> fields(def.def->num_cols);
    JetRow row(wanted.size());
    quint64 read = 0;
    QByteArray text;
    mdb_rewind_table(def.def);
    while (mdb_fetch_row(def.def)) {
        int start = 0;
        size_t length = 0;
        if (mdb_find_row(mdb, static_cast<int>(def.def->cur_row) - 1, &start, &length) != 0) continue;
        // Some versions of the library read a row the old program deleted.
        if (start & kDeletedRow) continue;
        mdb_crack_row(def.def, start & kRowOffset, length, fields.data());
        for (size_t i = 0; i < wanted.size(); ++i) {
            const MdbField& field = fields[static_cast<size_t>(wanted[i])];
            const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(def.def->columns, wanted[i]));
            JetValue& value = row[i];
            value.text.clear();
            if (field.is_null) {
                value.kind = JetValue::Kind::Null;
                continue;
            }
            const auto* bytes = static_cast<const unsigned char*>(field.value);
            switch (column->col_type) {
            case MDB_LONGINT: {
                qint32 whole = 0;
                std::memcpy(&whole, bytes, sizeof whole);
                value.kind = JetValue::Kind::Integer;
                value.integer = whole;
                break;
            }
            case MDB_DOUBLE:
            case MDB_DATETIME:
                // The row's own eight bytes: never through a text.
                std::memcpy(&value.real, bytes, sizeof value.real);
                value.kind = column->col_type == MDB_DOUBLE ? JetValue::Kind::Real : JetValue::Kind::Moment;
                break;
            default: {
                // Either of Jet's two forms of UCS-2, made UTF-8 by the library.
                text.resize(4 * field.siz + 8);
                const int made = mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(bytes), static_cast<size_t>(field.siz), text.data(),
                                                   static_cast<size_t>(text.size()));
                value.kind = JetValue::Kind::Text;
                value.text = QString::fromUtf8(text.constData(), made);
            }
            }
        }
        ++read;
        if (!take(row)) return;
    }
    // Pages the library could not read are passed over with a warning of
    // its own: a table that does not give every row it counts is damaged.
    if (read != def.def->num_rows)
        refuse(QStringLiteral("%1 tablosunun %2 satırından yalnız %3 tanesi okunabildi: %4").arg(table, QLocale(QLocale::Turkish).toString(static_cast<qint64>(def.def->num_rows)), QLocale(QLocale::Turkish).toString(static_cast<qint64>(read)), kDamaged));
}

namespace {

// Jet counts days from 30.12.1899; before it the day counts back and the
// time of day still goes forward.
std::pair<QDate, int> dayAndSecond(double days)
{
    const double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    QDate day = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    if (seconds >= 86400) {
        seconds -= 86400;
        day = day.addDays(1);
    }
    return {day, static_cast<int>(seconds)};
}

}  // namespace

QString jetDay(double days)
{
    return dayAndSecond(days).first.toString(QStringLiteral("yyyy-MM-dd"));
}

QString jetMoment(double days)
{
    const auto [day, second] = dayAndSecond(days);
    return QDateTime(day, QTime(0, 0).addSecs(second)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
