#include "ledger/TakeOver.h"

#include "common/Money.h"
#include "store/Connection.h"
#include "store/JetFile.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr qint64 kProgressEvery = 5000;
constexpr int kCacheKib = 128 * 1024;
// Each kind of row kept as it was is listed this far, then counted.
constexpr int kListedPerKind = 50;

// Between the long steps too, so that a stop is taken at once.
void goOn(const TakeOverProgress& progress, qint64 done, qint64 total)
{
    if (progress && !progress(done, total)) throw TakeOverStopped();
}

QString grouped(qint64 number)
{
    return QLocale(QLocale::Turkish).toString(number);
}

[[noreturn]] void differs(const QString& what)
{
    throw std::runtime_error(
        (QStringLiteral("Aktarılan defter eski dosyayla aynı çıkmadı, aktarım yapılmadı (eski dosyaya dokunulmadı): ") + what).toStdString());
}

struct Field {
    QString name;
    enum class Kind { Key, Whole, Figure, Day, Moment, Text } kind;
    int longest = 0;  // a text's declared length
};

std::vector<Field> fieldsOf(const QString& table)
{
    std::vector<Field> fields;
    const schema::Table* def = schema::tableNamed(table);
    for (const QString& name : JetFile::columns(table)) {
        const schema::Column* column = nullptr;
        for (const schema::Column& c : def->columns)
            if (name == QLatin1String(c.name)) column = &c;
        const QByteArray type(column->type);
        Field field{name, Field::Kind::Whole};
        if (&def->columns.front() == column) field.kind = Field::Kind::Key;
        else if (type == "REAL") field.kind = Field::Kind::Figure;
        else if (type == "DATE") field.kind = Field::Kind::Day;
        else if (type == "DATETIME") field.kind = Field::Kind::Moment;
        else if (type.startsWith("VARCHAR")) {
            field.kind = Field::Kind::Text;
            field.longest = type.mid(8, type.size() - 9).toInt();
        }
        fields.push_back(field);
    }
    return fields;
}

// What the old file holds, worked out as its rows are read: the keys, and
// every figure and each producer's balance summed exactly.
struct Expected {
    std::vector<qint64> keys;
    std::vector<Money> sums;  // one a field, zero but for figures
    std::map<QString, Money> balances;
};

// Lines of one kind of row kept as it was, listed up to a limit.
class KeptRows {
public:
    void add(const QString& kind, const QString& line)
    {
        QStringList& lines = lines_[kind];
        if (!order_.contains(kind)) order_ << kind;
        ++counts_[kind];
        if (lines.size() < kListedPerKind) lines << line;
    }
    QStringList lines() const
    {
        QStringList all;
        for (const QString& kind : order_) {
            all << QStringLiteral("%1 (%2):").arg(kind, grouped(counts_.value(kind)));
            for (const QString& line : lines_.value(kind)) all << QStringLiteral("  ") + line;
            if (counts_.value(kind) > kListedPerKind)
                all << QStringLiteral("  … ve %1 tane daha").arg(grouped(counts_.value(kind) - kListedPerKind));
        }
        return all;
    }

private:
    QStringList order_;
    QHash<QString, QStringList> lines_;
    QHash<QString, qint64> counts_;
};

const QString kBeyondMoney = QStringLiteral("Toplanamayacak kadar büyük rakamlar (toplamların dışında tutuldu)");
const QString kLongText = QStringLiteral("Alanından uzun metinler");
const QString kFarDay = QStringLiteral("1900-2100 dışındaki tarihler");

// A stored day or moment as a person reads it.
QString shownDay(const QString& stored)
{
    const QStringList parts = stored.split(QLatin1Char(' '));
    const QStringList ymd = parts.front().split(QLatin1Char('-'), Qt::SkipEmptyParts);
    if (ymd.size() != 3) return stored;
    return QStringList{ymd[2], ymd[1], ymd[0]}.join(QLatin1Char('.')) + (parts.size() > 1 ? QLatin1Char(' ') + parts[1] : QString());
}

bool addable(double figure)
{
    return std::abs(figure) <= Money::kLargest;
}

QString balanceKey(const JetValue& code)
{
    return code.kind == JetValue::Kind::Null ? QStringLiteral("\x01") : code.text;
}

QString balanceKey(const QVariant& code)
{
    return code.isNull() ? QStringLiteral("\x01") : code.toString();
}

// Copies one table's rows, noting what the check and the summary need.
Expected copyTable(const JetFile& old, Connection& ledger, const QString& table, KeptRows& kept, qint64& done, qint64 total,
                   const TakeOverProgress& progress)
{
    const std::vector<Field> fields = fieldsOf(table);
    QStringList names, marks;
    for (const Field& field : fields) {
        names << field.name;
        marks << QStringLiteral("?");
    }
    Statement insert(ledger, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    const int code = static_cast<int>(names.indexOf(QStringLiteral("Kodu")));
    const int gelir = static_cast<int>(names.indexOf(QStringLiteral("Gelir_Toplam_Tutar")));
    const int gider = static_cast<int>(names.indexOf(QStringLiteral("Gider_Tutari")));
    Expected expected;
    expected.sums.resize(fields.size());
    old.read(table, [&](const JetRow& row) {
        const qint64 key = row[0].integer;
        const QString named = QStringLiteral("%1 tablosunun %2 numaralı kaydı").arg(table).arg(key);
        expected.keys.push_back(key);
        for (size_t i = 0; i < fields.size(); ++i) {
            const JetValue& value = row[i];
            const Field& field = fields[i];
            const int position = static_cast<int>(i) + 1;
            switch (value.kind) {
            case JetValue::Kind::Null:
                insert.bind(position, QVariant());
                continue;
            case JetValue::Kind::Integer:
                insert.bind(position, value.integer);
                continue;
            case JetValue::Kind::Real:
                insert.bind(position, value.real);
                if (addable(value.real)) expected.sums[i] += Money::fromStored(value.real);
                else kept.add(kBeyondMoney, QStringLiteral("%1, %2 alanı").arg(named, field.name));
                continue;
            case JetValue::Kind::Moment: {
                const QString stored = field.kind == Field::Kind::Day ? jetDay(value.real) : jetMoment(value.real);
                insert.bind(position, stored);
                const int year = stored.left(stored.indexOf(QLatin1Char('-'), 1)).toInt();
                if (year < 1900 || year > 2100) kept.add(kFarDay, QStringLiteral("%1, %2 alanı: %3").arg(named, field.name, shownDay(stored)));
                continue;
            }
            case JetValue::Kind::Text:
                insert.bind(position, value.text);
                if (field.longest > 0 && value.text.size() > field.longest)
                    kept.add(kLongText, QStringLiteral("%1, %2 alanı: %3 harf (alan %4)").arg(named, field.name).arg(value.text.size()).arg(field.longest));
                continue;
            }
        }
        insert.run();
        insert.reset();
        if (code >= 0 && gelir >= 0 && gider >= 0) {
            Money& balance = expected.balances[balanceKey(row[static_cast<size_t>(code)])];
            for (const auto& [at, sign] : {std::pair{gelir, 1}, std::pair{gider, -1}}) {
                const JetValue& figure = row[static_cast<size_t>(at)];
                if (figure.kind != JetValue::Kind::Real || !addable(figure.real)) continue;
                balance += sign > 0 ? Money::fromStored(figure.real) : Money::fromStored(figure.real).negated();
            }
        }
        if (++done % kProgressEvery == 0) goOn(progress, done, total);
        return true;
    });
    return expected;
}

QString unitsOf(const SqlDialect& dialect, const QString& figure)
{
    return dialect.unitsSum(QStringLiteral("CASE WHEN ABS(%1) <= ?1 THEN %1 END").arg(figure));
}

// The row of the ledger that is not the old file's, read again from both.
QString firstDifferingRow(const JetFile& old, Connection& ledger, const QString& table)
{
    const std::vector<Field> fields = fieldsOf(table);
    QStringList names;
    for (const Field& field : fields) names << field.name;
    Statement stored(ledger, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1").arg(names.join(QStringLiteral(", ")), table, names.front()));
    QString found;
    old.read(table, [&](const JetRow& row) {
        stored.reset();
        stored.bind(1, row[0].integer);
        if (!stored.step()) {
            found = QStringLiteral("%1 numaralı kayıt yeni defterde yok").arg(row[0].integer);
            return false;
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            const QVariant value = stored.column(static_cast<int>(i));
            const JetValue& was = row[i];
            bool same = false;
            switch (was.kind) {
            case JetValue::Kind::Null: same = value.isNull(); break;
            case JetValue::Kind::Integer: same = !value.isNull() && value.toLongLong() == was.integer; break;
            case JetValue::Kind::Real: {
                const double now = value.toDouble();
                same = !value.isNull() && std::memcmp(&now, &was.real, sizeof now) == 0;
                break;
            }
            case JetValue::Kind::Moment:
                same = value.toString() == (fields[i].kind == Field::Kind::Day ? jetDay(was.real) : jetMoment(was.real));
                break;
            case JetValue::Kind::Text: same = !value.isNull() && value.toString() == was.text; break;
            }
            if (!same) {
                found = QStringLiteral("%1 numaralı kaydın %2 alanı").arg(row[0].integer).arg(fields[i].name);
                return false;
            }
        }
        return true;
    });
    return found.isEmpty() ? QStringLiteral("fark satırlarda bulunamadı") : found;
}

void check(const JetFile& old, Connection& ledger, const QString& table, Expected& expected)
{
    const std::vector<Field> fields = fieldsOf(table);
    std::sort(expected.keys.begin(), expected.keys.end());
    Statement keys(ledger, QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(fields.front().name, table));
    size_t at = 0;
    while (keys.step()) {
        const qint64 key = keys.columnInteger(0);
        if (at >= expected.keys.size() || expected.keys[at] != key)
            differs(QStringLiteral("%1 tablosunda eski dosyada olmayan %2 numaralı kayıt var.").arg(table).arg(key));
        ++at;
    }
    if (at != expected.keys.size())
        differs(QStringLiteral("%1 tablosunun %2 numaralı kaydı yeni defterde yok.").arg(table).arg(expected.keys[at]));

    const SqlDialect& dialect = dialectOf(ledger);
    QStringList sums;
    std::vector<size_t> figures;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].kind == Field::Kind::Figure) {
            sums << unitsOf(dialect, fields[i].name);
            figures.push_back(i);
        }
    Statement summed(ledger, QStringLiteral("SELECT %1 FROM %2").arg(sums.join(QStringLiteral(", ")), table));
    summed.bind(1, Money::kLargest);
    summed.step();
    for (size_t f = 0; f < figures.size(); ++f)
        if (Money::fromUnits(summed.columnInteger(static_cast<int>(f))) != expected.sums[figures[f]])
            differs(QStringLiteral("%1 tablosunun %2 toplamı farklı; ilk farklı satır: %3.")
                        .arg(table, fields[figures[f]].name, firstDifferingRow(old, ledger, table)));
    if (expected.balances.empty()) return;
    Statement balances(ledger, QStringLiteral("SELECT Kodu, %1, %2 FROM %3 GROUP BY Kodu")
                                   .arg(unitsOf(dialect, QStringLiteral("Gelir_Toplam_Tutar")), unitsOf(dialect, QStringLiteral("Gider_Tutari")), table));
    balances.bind(1, Money::kLargest);
    size_t codes = 0;
    while (balances.step()) {
        ++codes;
        const QString code = balanceKey(balances.column(0));
        const auto wanted = expected.balances.find(code);
        const Money now = Money::fromUnits(balances.columnInteger(1)) - Money::fromUnits(balances.columnInteger(2));
        if (wanted == expected.balances.end() || wanted->second != now)
            differs(QStringLiteral("%1 kodlu üreticinin bakiyesi farklı; ilk farklı satır: %2.").arg(code, firstDifferingRow(old, ledger, table)));
    }
    if (codes != expected.balances.size()) differs(QStringLiteral("üreticilerin sayısı farklı."));
}

// What the old program let through and this one would not, found in the
// new ledger before its commit.
void listUnlikeRows(Connection& ledger, KeptRows& kept)
{
    const auto list = [&](const QString& kind, const QString& sql, const std::function<QString(const Statement&)>& line) {
        Statement rows(ledger, sql);
        while (rows.step()) kept.add(kind, line(rows));
    };
    list(QStringLiteral("Cari kaydı olmayan kodların satırları"),
         // Grouped first: a few hundred codes to look up, not a million rows.
         QStringLiteral("SELECT Kodu, n, first FROM (SELECT Kodu, COUNT(*) AS n, MIN(SGID) AS first FROM SutGirisi GROUP BY Kodu) s "
                        "WHERE NOT EXISTS (SELECT 1 FROM Cariler c WHERE c.Kodu = s.Kodu) ORDER BY Kodu"),
         [](const Statement& row) {
             return QStringLiteral("Kodu %1: %2 satır (ilki %3 numaralı)")
                 .arg(row.column(0).isNull() ? QStringLiteral("(boş)") : row.column(0).toString(), grouped(row.columnInteger(1)))
                 .arg(row.columnInteger(2));
         });
    list(QStringLiteral("Aynı kodla birden çok cari"),
         QStringLiteral("SELECT Kodu, group_concat(CID, ', ') FROM Cariler GROUP BY Kodu HAVING COUNT(*) > 1 ORDER BY Kodu"),
         [](const Statement& row) { return QStringLiteral("Kodu %1: cari numaraları %2").arg(row.column(0).toString(), row.column(1).toString()); });
    list(QStringLiteral("Bir üreticinin bir gününde birden çok süt satırı"),
         QStringLiteral("SELECT Kodu, Tarih, group_concat(SGID, ', ') FROM SutGirisi WHERE Gelir_Gider = 'S' GROUP BY Kodu, Tarih "
                        "HAVING COUNT(*) > 1 ORDER BY Tarih, Kodu"),
         [](const Statement& row) {
             return QStringLiteral("Kodu %1, %2: satır numaraları %3").arg(row.column(0).toString(), shownDay(row.column(1).toString()), row.column(2).toString());
         });
}

}  // namespace

QString oldLedgerFound(const JetFile& old)
{
    return QStringLiteral("Eski programın veritabanı bulundu: %1 cari, %2 hareket, %3 fabrika günü")
        .arg(grouped(old.rowCount(QStringLiteral("Cariler"))), grouped(old.rowCount(QStringLiteral("SutGirisi"))),
             grouped(old.rowCount(QStringLiteral("Fabrika"))));
}

QString TakenOver::summary(const QString& from) const
{
    QStringList lines = {QStringLiteral("Eski programın defteri aktarıldı: %1").arg(from),
                         QStringLiteral("%1 cari, %2 hareket, %3 fabrika günü, %4 fabrika fiyatı; her tablonun satırları, numaraları ve "
                                        "toplamları eski dosyadakiyle aynı.")
                             .arg(grouped(accounts), grouped(rows), grouped(factoryDays), grouped(prices))};
    if (kept.isEmpty()) {
        lines << QStringLiteral("Bu programın saklamayacağı biçimde bir kayıt yok.");
    } else {
        lines << QString()
              << QStringLiteral("Eski programın saklayıp bu programın saklamayacağı kayıtlar olduğu gibi aktarıldı; programın kendi "
                                "ekranlarıyla düzeltebilirsiniz:")
              << kept;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

TakenOver takeOver(const JetFile& old, Connection& ledger, const TakeOverProgress& progress)
{
    {
        Statement held(ledger, QStringLiteral("SELECT (SELECT COUNT(*) FROM Cariler) + (SELECT COUNT(*) FROM SutGirisi) + "
                                              "(SELECT COUNT(*) FROM Fabrika) + (SELECT COUNT(*) FROM Fabrika_Cari)"));
        held.step();
        if (held.columnInteger(0) > 0)
            throw std::runtime_error("Defterde kayıt var; eski programın defteri yalnız boş bir deftere aktarılır.");
    }
    qint64 total = 0;
    for (const QString& table : JetFile::tables()) total += old.rowCount(table);
    TakenOver taken;
    KeptRows kept;
    qint64 done = 0;
    // A million rows go in faster with room for the file's pages, and with
    // the tables' indexes made once at the end instead of grown row by row.
    Statement(ledger, QStringLiteral("PRAGMA cache_size = -%1").arg(kCacheKib)).run();
    Transaction taking(ledger);
    QStringList indexes, names;
    {
        Statement made(ledger, QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL AND tbl_name IN (%1)")
                                   .arg(QLatin1Char('\'') + JetFile::tables().join(QStringLiteral("', '")) + QLatin1Char('\'')));
        while (made.step()) {
            names << made.column(0).toString();
            indexes << made.column(1).toString();
        }
    }
    for (const QString& name : names) Statement(ledger, QStringLiteral("DROP INDEX \"%1\"").arg(name)).run();
    for (const QString& table : JetFile::tables()) {
        Expected expected = copyTable(old, ledger, table, kept, done, total, progress);
        goOn(progress, done, total);
        check(old, ledger, table, expected);
        const qint64 rows = static_cast<qint64>(expected.keys.size());
        if (table == QLatin1String("Cariler")) taken.accounts = rows;
        else if (table == QLatin1String("SutGirisi")) taken.rows = rows;
        else if (table == QLatin1String("Fabrika")) taken.factoryDays = rows;
        else taken.prices = rows;
    }
    for (const QString& index : indexes) {
        goOn(progress, done, total);
        Statement(ledger, index).run();
    }
    goOn(progress, done, total);
    listUnlikeRows(ledger, kept);
    goOn(progress, done, total);
    taking.commit();
    taken.kept = kept.lines();
    return taken;
}

QString takeOverSummaryPath(const QString& folder, const QDate& day)
{
    return QDir(folder).filePath(QStringLiteral("Aktarim-%1.txt").arg(day.toString(QStringLiteral("yyyy-MM-dd"))));
}

QString keptOldFilePath(const QString& path, const QDate& day)
{
    const QFileInfo file(path);
    const QString base = QStringLiteral("%1-eski-%2").arg(file.completeBaseName(), day.toString(QStringLiteral("yyyy-MM-dd")));
    QString kept = file.dir().filePath(base + QStringLiteral(".mdb"));
    for (int n = 2; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n)
        kept = file.dir().filePath(QStringLiteral("%1-%2.mdb").arg(base).arg(n));
    return kept;
}
