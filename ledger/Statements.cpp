#include "ledger/Statements.h"

#include "common/Conversions.h"
#include "common/GridColumns.h"
#include "common/MonthPeriod.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QHash>

#include <cmath>
#include <stdexcept>

namespace {

// A litre count or an amount as printed, to add up as printed.
Money printed(const QVariant& value)
{
    return Money::fromStored(value.toDouble()).rounded();
}

// Empty stays empty, so a payment row shows no litres and no price.
QString amount(const QVariant& value)
{
    return value.isNull() ? QString() : printed(value).text();
}

QString amount(const std::optional<Money>& value)
{
    return value ? value->text() : QString();
}

QString period(const QDate& ilk, const QDate& son)
{
    return shortDate(ilk) + QLatin1Char('-') + shortDate(son);
}

// A line break or another control character in a name or a note prints
// as a blank: a row stays one row.
QString printable(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
            c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    return text;
}

// A stored day 'YYYY-MM-DD' as dd.MM.yyyy, by moving its digits: a year's
// statements read over a hundred thousand of them.
QString storedDayShown(const QVariant& stored)
{
    const QString day = stored.toString();
    if (day.size() != 10 || day[4] != QLatin1Char('-') || day[7] != QLatin1Char('-')) return cellText(kAsShortDate, stored);
    return day.mid(8, 2) + QLatin1Char('.') + day.mid(5, 2) + QLatin1Char('.') + day.left(4);
}

QVariant nonZero(const QVariant& value)
{
    return value.isNull() || value.toDouble() == 0 ? QVariant() : value;
}

}  // namespace

const QStringList AccountStatement::kColumnTitles = {
    QStringLiteral("Tarih"),    QStringLiteral("Fiş No"), QStringLiteral("Açıklama"), QStringLiteral("Sabah LT"),
    QStringLiteral("Akşam LT"), QStringLiteral("Fiyat"),  QStringLiteral("Miktar"),   QStringLiteral("Borcumuz"),
    QStringLiteral("Alacağımız"), QStringLiteral("Bakiye"),
};

QString AccountStatementLine::fiyatText() const
{
    return aksamFiyat.isNull() ? amount(fiyat) : amount(fiyat) + QStringLiteral(" / ") + amount(aksamFiyat);
}

QStringList AccountStatementLine::cells() const
{
    return {tarih,       fisNo,          aciklama,     amount(sabah),  amount(aksam),
            fiyatText(), amount(miktar), amount(borc), amount(alacak), bakiye.text()};
}

QStringList AccountStatement::headerLines() const
{
    QStringList lines{QStringLiteral("Kodu: ") + kodu, QStringLiteral("Adı Soyadı: ") + adi};
    if (!digerAdlar.isEmpty()) lines << QStringLiteral("Hareketlerdeki diğer adı: ") + digerAdlar.join(QStringLiteral(", "));
    if (!koy.isEmpty()) lines << QStringLiteral("Köy: ") + koy;
    lines << QStringLiteral("Dönem: ") + shortDate(ilk) + QStringLiteral(" - ") + shortDate(son);
    return lines;
}

QStringList AccountStatement::openingCells() const
{
    QStringList cells(kColumnTitles.size());
    cells[Aciklama] = kOpeningNote;
    cells[Bakiye] = devreden.text();
    return cells;
}

QStringList AccountStatement::totalCells() const
{
    QStringList cells(kColumnTitles.size());
    cells[Aciklama] = kTotalNote;
    cells[Sabah] = sabahToplami.text();
    cells[Aksam] = aksamToplami.text();
    cells[Borc] = borcToplami.text();
    cells[Alacak] = alacakToplami.text();
    cells[Bakiye] = kapanis().text();
    return cells;
}

QStringList AccountStatement::summaryLines() const
{
    // The averages first: the money lines lead on to the closing line.
    return ortalama.lines() + QStringList{kOpeningNote + QStringLiteral(": ") + devreden.text(), QStringLiteral("Dönem: ") + donem().text()};
}

QString AccountStatement::closingLine() const
{
    const Money balance = kapanis();
    if (balance.isNegative()) return QStringLiteral("Üreticinin borcu: ") + balance.negated().text();
    return QStringLiteral("Üreticiye borcumuz: ") + balance.text();
}

QString AccountStatement::pageText(int page, int pageCount)
{
    return QStringLiteral("Sayfa %1/%2").arg(page).arg(pageCount);
}

QString AccountStatement::fileName() const
{
    return safeFileName(QStringLiteral("Ekstre-") + kodu + QLatin1Char('-') + adi + QLatin1Char('-') + period(ilk, son) +
                        QStringLiteral(".pdf"));
}

QString allStatementsFileName(const QDate& ilk, const QDate& son)
{
    return safeFileName(QStringLiteral("Ekstreler-") + period(ilk, son) + QStringLiteral(".pdf"));
}

QString StatementSql::opening(const SqlDialect& dialect)
{
    return QStringLiteral("SELECT ") + dialect.exactBalanceSum() + QStringLiteral(" FROM SutGirisi WHERE Kodu = ?1 AND Tarih < ?2;");
}

QString StatementSql::openings(const SqlDialect& dialect)
{
    return QStringLiteral("SELECT Kodu, ") + dialect.exactBalanceSum() + QStringLiteral(" FROM SutGirisi WHERE Tarih < ?1 GROUP BY Kodu;");
}
const QString StatementSql::kRows = QStringLiteral(
    "SELECT Tarih, Adi, Fis_No, Aciklama, Sabah, Aksam, SBirim_Fiyat, Gider_Miktari, Gelir_Gider, Gelir_Toplam_Tutar, "
    "Gider_Tutari, ABirim_Fiyat FROM SutGirisi WHERE Kodu = ?1 AND Tarih >= ?2 AND Tarih <= ?3 "
    // Rows of one day in the order they were entered.
    "ORDER BY Tarih ASC, SGID ASC;");
const QString StatementSql::kCodes = QStringLiteral(
    "SELECT k.Kodu, COALESCE("
    "(SELECT c.Adi FROM Cariler c WHERE c.Kodu = k.Kodu ORDER BY c.CID LIMIT 1), "
    "(SELECT s.Adi FROM SutGirisi s WHERE s.Kodu = k.Kodu ORDER BY s.Tarih DESC, s.SGID DESC LIMIT 1)"
    ") COLLATE tr AS Adi FROM ("
    "SELECT Kodu FROM SutGirisi WHERE Tarih >= ?1 AND Tarih <= ?2 AND Kodu IS NOT NULL GROUP BY Kodu "
    "UNION "
    // Owed from before though nothing moved in the period.
    "SELECT Kodu FROM SutGirisi WHERE Tarih <= ?2 AND Kodu IS NOT NULL GROUP BY Kodu "
    "HAVING ROUND(TOTAL(Gelir_Toplam_Tutar) - TOTAL(Gider_Tutari), 2) <> 0"
    ") k ORDER BY Adi ASC, k.Kodu ASC;");

namespace {

// One code's statement, given the exact balance of its rows before the period.
AccountStatement statementOf(Connection& connection, const QString& kodu, const QString& adi, const QDate& ilk,
                             const QDate& son, const Money& before, const AverageQuality& ortalama)
{
    AccountStatement statement;
    statement.kodu = printable(kodu);
    statement.adi = printable(adi);
    statement.ilk = ilk;
    statement.son = son;
    statement.ortalama = ortalama;

    Statement account(connection, QStringLiteral("SELECT Adi, Koy FROM Cariler WHERE Kodu = ?1 ORDER BY CID ASC;"));
    account.bind(1, kodu);
    if (account.step()) {
        statement.adi = printable(account.column(0).toString());
        statement.koy = printable(account.column(1).toString());
    } else if (statement.adi.isEmpty()) {
        // A deleted account is known by the name its last row carries.
        Statement lastName(connection, QStringLiteral("SELECT Adi FROM SutGirisi WHERE Kodu = ?1 "
                                                      "ORDER BY Tarih DESC, SGID DESC LIMIT 1;"));
        lastName.bind(1, kodu);
        if (lastName.step()) statement.adi = printable(lastName.column(0).toString());
    }

    Money exact = before;
    statement.devreden = exact.rounded();

    Statement rows(connection, StatementSql::kRows);
    rows.bind(1, kodu);
    rows.bind(2, ilk);
    rows.bind(3, son);
    Money bakiye = statement.devreden;
    while (rows.step()) {
        AccountStatementLine line;
        line.tarih = storedDayShown(rows.column(0));
        const QString name = printable(rows.column(1).toString());
        if (name != statement.adi && !statement.digerAdlar.contains(name)) statement.digerAdlar << name;
        line.fisNo = printable(rows.column(2).toString());
        line.aciklama = printable(rows.column(3).toString());
        line.sabah = rows.column(4);
        line.aksam = rows.column(5);
        if (rows.column(8).toString() == kindCode(LedgerKind::Intake)) {
            line.fiyat = rows.column(6);
            // Pours priced apart show both prices, so that litres times
            // price add up to the row; a pour without litres has no say.
            const QVariant aksamFiyat = rows.column(11);
            if (!aksamFiyat.isNull() && aksamFiyat.toDouble() != line.fiyat.toDouble() && nonZero(line.aksam).isValid()) {
                if (nonZero(line.sabah).isValid())
                    line.aksamFiyat = aksamFiyat;
                else
                    line.fiyat = aksamFiyat;
            }
        } else
            line.miktar = nonZero(rows.column(7));
        const QVariant borc = rows.column(9);
        const QVariant alacak = rows.column(10);
        exact += Money::fromStored(borc.toDouble()) - Money::fromStored(alacak.toDouble());
        if (!borc.isNull()) line.borc = printed(borc);
        if (!alacak.isNull()) line.alacak = printed(alacak);
        bakiye += line.borc.value_or(Money()) - line.alacak.value_or(Money());
        line.bakiye = bakiye;
        statement.sabahToplami += printed(line.sabah);
        statement.aksamToplami += printed(line.aksam);
        statement.borcToplami += line.borc.value_or(Money());
        statement.alacakToplami += line.alacak.value_or(Money());
        statement.lines.push_back(line);
    }

    // Rows rounded one by one need not add up to their exact sum rounded
    // once: one line makes up the difference, so the closing balance is
    // the exact one.
    const Money difference = exact.rounded() - bakiye;
    if (!difference.isZero()) {
        AccountStatementLine line;
        line.aciklama = AccountStatement::kRoundingNote;
        if (difference.isNegative())
            line.alacak = difference.negated();
        else
            line.borc = difference;
        line.bakiye = exact.rounded();
        statement.borcToplami += line.borc.value_or(Money());
        statement.alacakToplami += line.alacak.value_or(Money());
        statement.lines.push_back(line);
    }
    return statement;
}

}  // namespace

AccountStatement buildStatement(Connection& connection, const QString& kodu, const QString& adi, const QDate& ilk,
                                const QDate& son)
{
    Statement before(connection, StatementSql::opening(dialectOf(connection)));
    before.bind(1, kodu);
    before.bind(2, ilk);
    before.step();
    return statementOf(connection, kodu, adi, ilk, son, Money::fromUnits(before.column(0).toLongLong()),
                       averageQualityByCode(connection, ilk, son, kodu).value(kodu));
}

void refuseFiguresBeyondMoney(Connection& connection)
{
    Statement row(connection, QStringLiteral("SELECT Kodu, Tarih, Gelir_Toplam_Tutar, Gider_Tutari, Sabah, Aksam FROM SutGirisi "
                                             "WHERE ABS(Gelir_Toplam_Tutar) > ?1 OR ABS(Gider_Tutari) > ?1 OR ABS(Sabah) > ?1 "
                                             "OR ABS(Aksam) > ?1 ORDER BY Tarih LIMIT 1;"));
    row.bind(1, Money::kLargest);
    if (!row.step()) return;
    double figure = 0;
    for (int column = 2; column <= 5; ++column)
        if (std::abs(row.column(column).toDouble()) > Money::kLargest) figure = row.column(column).toDouble();
    throw std::runtime_error(QStringLiteral("Defterde toplanamayacak kadar büyük bir rakam var: Kodu %1, %2, %3. "
                                            "Bu satır düzeltilmeden ekstre, rapor ve hakediş yapılamaz.")
                                 .arg(row.column(0).toString(), shortDate(QDate::fromString(row.column(1).toString().left(10), Qt::ISODate)),
                                      formatFloat(kAmountPattern, figure))
                                 .toStdString());
}

bool isKnownCode(Connection& connection, const QString& kodu)
{
    Statement known(connection, QStringLiteral("SELECT 1 FROM Cariler WHERE Kodu = ?1 "
                                               "UNION ALL SELECT 1 FROM SutGirisi WHERE Kodu = ?1 LIMIT 1;"));
    known.bind(1, kodu);
    return known.step();
}

std::vector<StatementCode> statementCodes(Connection& connection, const QDate& ilk, const QDate& son)
{
    Statement codes(connection, StatementSql::kCodes);
    codes.bind(1, ilk);
    codes.bind(2, son);
    std::vector<StatementCode> found;
    while (codes.step()) found.push_back({codes.column(0).toString(), codes.column(1).toString()});
    return found;
}

std::vector<AccountStatement> buildAllStatements(Connection& connection, const QDate& ilk, const QDate& son,
                                                 const std::function<bool(int done, int total)>& progress)
{
    const std::vector<StatementCode> codes = statementCodes(connection, ilk, son);
    // Everyone's balance before the period in one pass over the ledger.
    Statement before(connection, StatementSql::openings(dialectOf(connection)));
    before.bind(1, ilk);
    QHash<QString, Money> balances;
    while (before.step()) balances.insert(before.column(0).toString(), Money::fromUnits(before.column(1).toLongLong()));
    const QHash<QString, AverageQuality> averages = averageQualityByCode(connection, ilk, son);
    std::vector<AccountStatement> statements;
    statements.reserve(codes.size());
    const int total = static_cast<int>(codes.size());
    for (const StatementCode& code : codes) {
        if (progress && !progress(static_cast<int>(statements.size()), total)) break;
        statements.push_back(statementOf(connection, code.kodu, code.adi, ilk, son, balances.value(code.kodu), averages.value(code.kodu)));
    }
    return statements;
}

Sheet statementsSheet(const std::vector<AccountStatement>& statements)
{
    const auto litres = [](const QVariant& value) { return value.isNull() ? SheetCell() : SheetCell::number(value.toDouble()); };
    const auto money = [](const std::optional<Money>& value) { return value ? SheetCell::amount(*value) : SheetCell(); };
    Sheet sheet;
    sheet.name = statements.size() == 1 ? QStringLiteral("Ekstre ") + statements.front().kodu : QStringLiteral("Ekstreler");
    // The averages stand by the name, once a producer, on the row that
    // opens his block: an average is no sum, so the totals row leaves them
    // out, and the CSV, which leaves out the totals, still has them.
    sheet.titles = QStringList{QStringLiteral("Kodu"), QStringLiteral("Adı"), AverageQuality::kYagTitle, AverageQuality::kProteinTitle} +
                   AccountStatement::kColumnTitles;
    constexpr int kFirst = 4;
    for (const AccountStatement& s : statements) {
        const SheetCell kodu = SheetCell::textOf(s.kodu);
        const SheetCell adi = SheetCell::textOf(s.adi);
        std::vector<SheetCell> opening(static_cast<size_t>(sheet.titles.size()));
        opening[0] = kodu;
        opening[1] = adi;
        opening[2] = averageCell(s.ortalama.yag);
        opening[3] = averageCell(s.ortalama.protein);
        opening[kFirst + AccountStatement::Aciklama] = SheetCell::textOf(AccountStatement::kOpeningNote);
        opening[kFirst + AccountStatement::Bakiye] = SheetCell::amount(s.devreden);
        sheet.add(opening);
        for (const AccountStatementLine& l : s.lines) {
            // The rounding line has no day.
            const SheetCell day = SheetCell::date(QDate::fromString(l.tarih, QStringLiteral("dd.MM.yyyy")));
            sheet.add({kodu, adi, {}, {}, day.plain() == l.tarih ? day : SheetCell::textOf(l.tarih), SheetCell::textOf(l.fisNo),
                       SheetCell::textOf(l.aciklama), litres(l.sabah), litres(l.aksam),
                       l.aksamFiyat.isNull() ? litres(l.fiyat) : SheetCell::textOf(l.fiyatText()), litres(l.miktar),
                       money(l.borc), money(l.alacak), SheetCell::amount(l.bakiye)});
        }
        sheet.addTotal({kodu, adi, {}, {}, {}, {}, SheetCell::textOf(AccountStatement::kTotalNote), SheetCell::amount(s.sabahToplami),
                        SheetCell::amount(s.aksamToplami), {}, {}, SheetCell::amount(s.borcToplami),
                        SheetCell::amount(s.alacakToplami), SheetCell::amount(s.kapanis())});
    }
    return sheet;
}

QString statementsCsv(const std::vector<AccountStatement>& statements)
{
    return sheetCsv(statementsSheet(statements));
}
