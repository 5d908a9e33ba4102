#include "ledger/Settlement.h"

#include "common/Csv.h"
#include "common/Iban.h"
#include "common/MonthPeriod.h"
#include "ledger/Ledger.h"
#include "ledger/Statements.h"
#include "store/Connection.h"
#include "store/History.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QHash>
#include <cmath>
#include <cstdlib>

namespace {

constexpr qint64 kOnBindePerPercent = 10000;
const QString kDeductionKind = QStringLiteral("K");
const QString kPayoutKind = QStringLiteral("O");

Money unitsAt(const Statement& row, int column)
{
    return Money::fromUnits(row.column(column).toLongLong());
}

double stored(const Money& amount)
{
    return static_cast<double>(amount.kurus()) / 100.0;
}

}  // namespace

// Milk by producer and price over the period. A day whose pours were priced
// apart (by their quality) gives each pour's litres and money to its own
// price; the last column is the row's whole money once, so the period's
// milk stays the exact sum the ledger holds.
QString SettlementSql::milk(const SqlDialect& dialect)
{
    const QString apart = QStringLiteral("(ABirim_Fiyat IS NOT NULL AND ABirim_Fiyat <> SBirim_Fiyat)");
    const QString period = QStringLiteral("FROM SutGirisi WHERE Tarih >= ?1 AND Tarih <= ?2 AND Gelir_Gider = 'S'");
    return QStringLiteral("SELECT Kodu, Fiyat, %1, %2, %3, %4 FROM ("
                          "SELECT Kodu, SBirim_Fiyat AS Fiyat, Sabah, CASE WHEN %5 THEN 0 ELSE Aksam END AS Aksam, "
                          "CASE WHEN %5 THEN SToplam_Tutar ELSE Gelir_Toplam_Tutar END AS Tutar, Gelir_Toplam_Tutar AS Toplam %6 "
                          "UNION ALL "
                          "SELECT Kodu, ABirim_Fiyat, 0, Aksam, AToplam_Tutar, 0 %6 AND %5) p "
                          "GROUP BY Kodu, Fiyat ORDER BY Kodu, Fiyat;")
        .arg(dialect.unitsSum(QStringLiteral("Sabah")), dialect.unitsSum(QStringLiteral("Aksam")),
             dialect.unitsSum(QStringLiteral("Tutar")), dialect.unitsSum(QStringLiteral("Toplam")), apart, period);
}

// What the period paid and gave less what it booked to him beside the
// milk; the posting's own deductions (?3) are counted as deductions.
QString SettlementSql::payments(const SqlDialect& dialect)
{
    return QStringLiteral("SELECT Kodu, %1, %2 FROM SutGirisi WHERE Tarih >= ?1 AND Tarih <= ?2 AND SGID NOT IN "
                          "(SELECT SGID FROM Hakedis_Satirlari WHERE HKID = ?3 AND Tur = 'K' AND SGID IS NOT NULL) "
                          "GROUP BY Kodu;")
        .arg(dialect.unitsSum(QStringLiteral("Gider_Tutari")),
             dialect.unitsSum(QStringLiteral("CASE WHEN Gelir_Gider IS NULL OR Gelir_Gider <> 'S' THEN Gelir_Toplam_Tutar END")));
}

// Who has milk in the period, in Turkish order of name; the account gives
// name, village and IBAN, a deleted one the name of his last row.
const QString SettlementSql::kProducers = QStringLiteral(
    "SELECT m.Kodu, COALESCE("
    "(SELECT c.Adi FROM Cariler c WHERE c.Kodu = m.Kodu ORDER BY c.CID LIMIT 1), "
    "(SELECT s.Adi FROM SutGirisi s WHERE s.Kodu = m.Kodu ORDER BY s.Tarih DESC, s.SGID DESC LIMIT 1)) COLLATE tr AS Adi, "
    "(SELECT c.Koy FROM Cariler c WHERE c.Kodu = m.Kodu ORDER BY c.CID LIMIT 1), "
    "(SELECT c.IBAN FROM Cariler c WHERE c.Kodu = m.Kodu ORDER BY c.CID LIMIT 1) "
    "FROM (SELECT DISTINCT Kodu FROM SutGirisi WHERE Tarih >= ?1 AND Tarih <= ?2 AND Gelir_Gider = 'S' "
    "AND Kodu IS NOT NULL) m ORDER BY Adi ASC, m.Kodu ASC;");

// A name's newest line with a rate from before ?1, in the order the names
// were first entered.
const QString SettlementSql::kRates = QStringLiteral(
    "SELECT Adi, Oran FROM Kesintiler k WHERE Oran IS NOT NULL AND (Baslangic IS NULL OR Baslangic <= ?1) AND NOT EXISTS ("
    "SELECT 1 FROM Kesintiler n WHERE n.Adi = k.Adi AND n.Oran IS NOT NULL AND n.Baslangic <= ?1 AND "
    "(k.Baslangic IS NULL OR n.Baslangic > k.Baslangic OR (n.Baslangic = k.Baslangic AND n.KSID > k.KSID))) "
    "ORDER BY (SELECT MIN(f.KSID) FROM Kesintiler f WHERE f.Adi = k.Adi);");

namespace {

const QString kPostingColumns = QStringLiteral("SELECT HKID, Ilk_Tarih, Son_Tarih, Kayit_Zamani, Odeme_Tarihi FROM Hakedisler ");

// Posting, paying out and taking back each check the posted periods and
// then write.
const QString kPostings = QStringLiteral("Hakedisler");

SettlementPosting postingAt(const Statement& row)
{
    return {row.column(0).toLongLong(), row.column(1).toDate(), row.column(2).toDate(),
            QDateTime::fromString(row.column(3).toString(), kStoredMomentFormat), row.column(4).toDate()};
}

QString ledgerDay(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

void insertEntryRow(const Connection& connection, qint64 hkid, const QString& tur, const QDate& day,
                    const QString& kodu, const QString& adi, const Money& amount, const QString& fisNo, const QString& aciklama,
                    const DeductionRate* rate)
{
    qint64 sgid = 0;
    if (!amount.isZero()) {
        Statement entry(connection, QStringLiteral("INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Gider_Tutari, "
                                                   "Gelir_Toplam_Tutar, Gider_Miktari, Fis_No, Aciklama) "
                                                   "VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, ?6, ?7)") +
                                       dialectOf(connection).returning(QStringLiteral("SGID")));
        entry.bind(1, day);
        entry.bind(2, kodu);
        entry.bind(3, adi);
        entry.bind(4, kindCode(LedgerKind::Payment));
        entry.bind(5, stored(amount));
        entry.bind(6, fisNo);
        entry.bind(7, aciklama);
        entry.run();
        sgid = entry.insertedKey();
    }
    Statement part(connection, QStringLiteral("INSERT INTO Hakedis_Satirlari (HKID, Tur, SGID, Kodu, Kesinti, Oran, Tutar) "
                                              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7);"));
    part.bind(1, hkid);
    part.bind(2, tur);
    part.bind(3, sgid > 0 ? QVariant(sgid) : QVariant());
    part.bind(4, kodu);
    part.bind(5, rate ? QVariant(rate->adi) : QVariant());
    part.bind(6, rate ? QVariant(rate->oran()) : QVariant());
    part.bind(7, stored(amount));
    part.run();
}

}  // namespace

DeductionRate DeductionRate::of(const QString& adi, double oran)
{
    return {adi, std::llround(oran * kOnBindePerPercent)};
}

QString DeductionRate::text() const
{
    const qint64 whole = std::llabs(onBinde) / kOnBindePerPercent;
    const qint64 part = std::llabs(onBinde) % kOnBindePerPercent;
    return QStringLiteral("%") + (onBinde < 0 ? QStringLiteral("-") : QString()) + QString::number(whole) + QLatin1Char(',') +
           QString::number(part).rightJustified(4, QLatin1Char('0'));
}

Money DeductionRate::of(const Money& amount) const
{
    // Kuruş × ten-thousandths of a percent: a million of them make a kuruş.
    const qint64 product = amount.kurus() * onBinde;
    constexpr qint64 kPerKurus = 100 * kOnBindePerPercent;
    const qint64 kurus = (std::llabs(product) + kPerKurus / 2) / kPerKurus;
    return Money::fromKurus(product < 0 ? -kurus : kurus);
}

Money SettlementLine::kesintiToplami() const
{
    Money sum;
    for (const Money& amount : kesintiler) sum += amount;
    return sum;
}

SettlementLine Settlement::total() const
{
    SettlementLine sum;
    sum.adi = QStringLiteral("Toplam");
    sum.kesintiler.resize(rates.size());
    for (const SettlementLine& line : lines) {
        sum.litre += line.litre.rounded();
        sum.sutTutari += line.sutTutari;
        for (size_t i = 0; i < rates.size(); ++i) sum.kesintiler[i] += line.kesintiler[i];
        sum.devreden += line.devreden;
        sum.donemOdemeleri += line.donemOdemeleri;
        sum.defterBakiyesi += line.defterBakiyesi;
    }
    return sum;
}

QStringList Settlement::columnTitles() const
{
    QStringList titles{QStringLiteral("Kodu"), QStringLiteral("Adı Soyadı"), QStringLiteral("Litre"),
                       AverageQuality::kYagTitle, AverageQuality::kProteinTitle, QStringLiteral("Süt Tutarı")};
    for (const DeductionRate& rate : rates) titles << rate.adi;
    titles << QStringLiteral("Kesinti Toplamı") << QStringLiteral("Net Süt Bedeli") << QStringLiteral("Devreden Bakiye")
           << QStringLiteral("Dönem Ödemeleri") << QStringLiteral("Ödenecek") << QStringLiteral("IBAN");
    return titles;
}

std::vector<SheetCell> Settlement::sheetCells(const SettlementLine& line) const
{
    std::vector<SheetCell> cells{SheetCell::textOf(line.kodu),        SheetCell::textOf(line.adi),
                                 SheetCell::amount(line.litre),       averageCell(line.ortalama.yag),
                                 averageCell(line.ortalama.protein),  SheetCell::amount(line.sutTutari)};
    for (const Money& amount : line.kesintiler) cells.push_back(SheetCell::amount(amount));
    for (const Money& amount : {line.kesintiToplami(), line.net(), line.devreden, line.donemOdemeleri, line.odenecek()})
        cells.push_back(SheetCell::amount(amount));
    cells.push_back(SheetCell::textOf(line.iban));
    return cells;
}

QStringList Settlement::cells(const SettlementLine& line, bool plain) const
{
    QStringList shown;
    for (const SheetCell& cell : sheetCells(line)) shown << (plain ? cell.plain() : cell.shown());
    // On screen and on the slips the IBAN stands in its groups.
    if (!plain) shown.back() = ibanGroups(line.iban);
    return shown;
}

Sheet Settlement::sheet() const
{
    Sheet sheet;
    sheet.name = QStringLiteral("Hakediş ") + shortDate(ilk) + QLatin1Char('-') + shortDate(son);
    sheet.titles = columnTitles();
    for (const SettlementLine& line : lines) sheet.add(sheetCells(line));
    sheet.addTotal(sheetCells(total()));
    return sheet;
}

QString Settlement::csv() const
{
    return sheetCsv(sheet());
}

QString Settlement::fisNo() const
{
    return QStringLiteral("HK-") + ledgerDay(son);
}

QString settlementPeriod(const QDate& ilk, const QDate& son)
{
    return shortDate(ilk) + QChar(0x2013) + shortDate(son);
}

QString Settlement::payoutNote() const
{
    const MonthPeriod month = monthPeriod(ilk);
    if (ilk == month.first && son == month.last)
        return QStringLiteral("Süt bedeli %1 %2").arg(monthName(ilk.month())).arg(ilk.year());
    return QStringLiteral("Süt bedeli ") + periodText();
}

QString Settlement::fileName(const QString& what) const
{
    return safeFileName(what + QLatin1Char('-') + shortDate(ilk) + QLatin1Char('-') + shortDate(son));
}

const QStringList PayoutList::kColumnTitles = {QStringLiteral("Adı Soyadı"), QStringLiteral("IBAN"), QStringLiteral("Tutar"),
                                               QStringLiteral("Açıklama")};

Money PayoutList::total() const
{
    Money sum;
    for (const Payout& payout : bank) sum += payout.tutar;
    return sum;
}

Sheet PayoutList::sheet() const
{
    Sheet sheet;
    sheet.name = QStringLiteral("Ödeme Listesi");
    sheet.titles = kColumnTitles;
    for (const Payout& payout : bank)
        sheet.add({SheetCell::textOf(payout.adi), SheetCell::textOf(payout.iban), SheetCell::amount(payout.tutar),
                   SheetCell::textOf(aciklama)});
    sheet.addTotal({SheetCell::textOf(QStringLiteral("Toplam")), {}, SheetCell::amount(total()), {}});
    return sheet;
}

QString PayoutList::csv() const
{
    return sheetCsv(sheet());
}

QString PayoutList::withoutIbanLine() const
{
    QStringList names;
    for (const Payout& payout : withoutIban) names << payout.adi + QStringLiteral(" (") + payout.kodu + QStringLiteral(") ") + payout.tutar.text();
    return QStringLiteral("IBAN'ı olmayan ya da yanlış olanlar, banka listesinde değil: ") + names.join(QStringLiteral(", "));
}

PayoutList payoutList(const Settlement& settlement)
{
    PayoutList list;
    list.aciklama = settlement.payoutNote();
    for (const SettlementLine& line : settlement.lines) {
        const Money amount = line.odenecek();
        if (amount.isZero() || amount.isNegative()) continue;
        const Payout payout{line.kodu, line.adi, line.iban, amount};
        if (ibanFault(line.iban).isEmpty() && !line.iban.isEmpty())
            list.bank.push_back(payout);
        else
            list.withoutIban.push_back(payout);
    }
    return list;
}

std::vector<Deduction> Settlements::deductions() const
{
    Statement rows(ledger_.connection(), QStringLiteral("SELECT KSID, Adi, Oran, Baslangic FROM Kesintiler "
                                                        "ORDER BY Adi COLLATE tr, Baslangic IS NOT NULL, Baslangic, KSID;"));
    std::vector<Deduction> found;
    while (rows.step()) {
        Deduction d{rows.column(0).toLongLong(), rows.column(1).toString(), std::nullopt, rows.column(3).toDate()};
        if (!rows.column(2).isNull()) d.oran = rows.column(2).toDouble();
        found.push_back(d);
    }
    return found;
}

Settlements::DeductionCheck Settlements::checkDeduction(const Deduction& deduction)
{
    if (deduction.adi.trimmed().isEmpty()) return DeductionCheck::NoName;
    if (deduction.oran && (*deduction.oran < 0 || *deduction.oran >= 100)) return DeductionCheck::BadRate;
    // Without a day a rate would hold for every period before it too.
    if (!deduction.baslangic.isValid()) return DeductionCheck::NoStartDay;
    return DeductionCheck::Ok;
}

Settlements::DeductionCheck Settlements::saveDeduction(const Deduction& deduction)
{
    const DeductionCheck check = checkDeduction(deduction);
    if (check != DeductionCheck::Ok) return check;
    const Connection& connection = ledger_.connection();
    const auto bindFields = [&](Statement& write) {
        write.bind(1, deduction.adi.trimmed());
        write.bind(2, deduction.oran ? QVariant(*deduction.oran) : QVariant());
        write.bind(3, deduction.baslangic.isValid() ? QVariant(deduction.baslangic) : QVariant());
    };
    if (deduction.ksid > 0) {
        RecordedChange change(connection, schema::kesintiler(), deduction.ksid);
        Statement update(connection, QStringLiteral("UPDATE Kesintiler SET Adi=?1, Oran=?2, Baslangic=?3 WHERE KSID=?4;"));
        bindFields(update);
        update.bind(4, deduction.ksid);
        update.run();
        if (change.commit(ChangeKind::Correction) > 0) emit ledger_.events().historyChanged();
    } else {
        Statement insert(connection, QStringLiteral("INSERT INTO Kesintiler (Adi, Oran, Baslangic) VALUES (?1, ?2, ?3);"));
        bindFields(insert);
        insert.run();
    }
    emit ledger_.events().settlementsChanged();
    return DeductionCheck::Ok;
}

qint64 Settlements::deleteDeduction(qint64 ksid)
{
    return ledger_.deleteSettlementLine(schema::kesintiler(), ksid);
}

std::optional<SettlementPosting> Settlements::postingOver(const QDate& ilk, const QDate& son) const
{
    Statement posted(ledger_.connection(), kPostingColumns + QStringLiteral("WHERE Ilk_Tarih <= ?2 AND Son_Tarih >= ?1 "
                                                                              "ORDER BY (Ilk_Tarih = ?1 AND Son_Tarih = ?2) DESC, Ilk_Tarih;"));
    posted.bind(1, ilk);
    posted.bind(2, son);
    if (!posted.step()) return std::nullopt;
    return postingAt(posted);
}

Settlement Settlements::compute(const QDate& ilk, const QDate& son, const QString& kodu) const
{
    const Connection& connection = ledger_.connection();
    Settlement settlement;
    settlement.ilk = ilk;
    settlement.son = son;
    const std::optional<SettlementPosting> posted = postingOver(ilk, son);
    if (posted && posted->ilk == ilk && posted->son == son)
        settlement.posting = posted;
    else
        settlement.overlapping = posted;

    // The rates: as posted, or each name's line that holds on the last day.
    QHash<QString, QHash<int, Money>> postedAmounts;  // by code, then by rate
    if (settlement.posting) {
        Statement parts(connection, QStringLiteral("SELECT Kodu, Kesinti, Oran, Tutar FROM Hakedis_Satirlari "
                                                   "WHERE HKID = ?1 AND Tur = 'K' ORDER BY HKKID;"));
        parts.bind(1, settlement.posting->hkid);
        while (parts.step()) {
            const DeductionRate rate = DeductionRate::of(parts.column(1).toString(), parts.column(2).toDouble());
            int index = 0;
            while (index < static_cast<int>(settlement.rates.size()) &&
                   (settlement.rates[index].adi != rate.adi || settlement.rates[index].onBinde != rate.onBinde))
                ++index;
            if (index == static_cast<int>(settlement.rates.size())) settlement.rates.push_back(rate);
            postedAmounts[parts.column(0).toString()][index] = Money::fromStored(parts.column(3).toDouble());
        }
    } else {
        Statement lines(connection, SettlementSql::kRates);
        lines.bind(1, son);
        while (lines.step()) settlement.rates.push_back(DeductionRate::of(lines.column(0).toString(), lines.column(1).toDouble()));
    }

    struct Exact {
        Money milk;
        Money paid;
        Money booked;
    };
    QHash<QString, Exact> exact;
    QHash<QString, std::vector<PriceLine>> prices;
    QHash<QString, Money> litres;
    Statement milk(connection, SettlementSql::milk(dialectOf(connection)));
    milk.bind(1, ilk);
    milk.bind(2, son);
    while (milk.step()) {
        const QString code = milk.column(0).toString();
        const Money lt = unitsAt(milk, 2) + unitsAt(milk, 3);
        const Money amount = unitsAt(milk, 4);
        // A pour of nothing at a price of its own is no line.
        if (!lt.isZero() || !amount.isZero()) prices[code].push_back({milk.column(1).toDouble(), lt, amount.rounded()});
        litres[code] += lt;
        exact[code].milk += unitsAt(milk, 5);
    }
    Statement payments(connection, SettlementSql::payments(dialectOf(connection)));
    payments.bind(1, ilk);
    payments.bind(2, son);
    payments.bind(3, settlement.posting ? settlement.posting->hkid : 0);
    while (payments.step()) {
        Exact& e = exact[payments.column(0).toString()];
        e.paid = unitsAt(payments, 1);
        e.booked = unitsAt(payments, 2);
    }
    QHash<QString, Money> before;
    Statement openings(connection, StatementSql::openings(dialectOf(connection)));
    openings.bind(1, ilk);
    while (openings.step()) before.insert(openings.column(0).toString(), unitsAt(openings, 1));

    const QHash<QString, AverageQuality> averages = averageQualityByCode(connection, ilk, son, kodu);

    Statement producers(connection, SettlementSql::kProducers);
    producers.bind(1, ilk);
    producers.bind(2, son);
    while (producers.step()) {
        SettlementLine line;
        line.kodu = producers.column(0).toString();
        if (!kodu.isEmpty() && line.kodu != kodu) continue;
        line.adi = producers.column(1).toString();
        line.koy = producers.column(2).toString();
        line.iban = producers.column(3).toString();
        const Exact& e = exact[line.kodu];
        line.litre = litres.value(line.kodu).rounded();
        line.ortalama = averages.value(line.kodu);
        line.fiyatlar = prices.value(line.kodu);
        line.sutTutari = e.milk.rounded();
        for (size_t i = 0; i < settlement.rates.size(); ++i)
            line.kesintiler.push_back(settlement.posting ? postedAmounts[line.kodu].value(static_cast<int>(i))
                                                         : settlement.rates[i].of(line.sutTutari));
        const Money opening = before.value(line.kodu);
        line.devreden = opening.rounded();
        line.donemOdemeleri = (e.paid - e.booked).rounded();
        line.defterBakiyesi = (opening + e.milk + e.booked - e.paid - line.kesintiToplami()).rounded();
        settlement.lines.push_back(line);
    }
    return settlement;
}

QString Settlements::overlapRefusal(const SettlementPosting& posted)
{
    return QStringLiteral("Bu dönem, %1 dönemi için kaydedilmiş hakedişle çakışıyor. Önce o hakedişi geri alın.")
        .arg(posted.periodText());
}

Settlements::Post Settlements::post(const QDate& ilk, const QDate& son)
{
    const Connection& connection = ledger_.connection();
    Post result;
    {
        Transaction transaction(connection);
        takeTurnOn(connection, kPostings);
        result.overlapping = postingOver(ilk, son);
        if (result.overlapping) {
            result.outcome = PostOutcome::Overlaps;
            return result;
        }
        const Settlement settlement = compute(ilk, son);
        if (settlement.lines.empty()) {
            result.outcome = PostOutcome::Nothing;
            return result;
        }
        Statement head(connection, QStringLiteral("INSERT INTO Hakedisler (Ilk_Tarih, Son_Tarih, Fis_No, Kayit_Zamani) "
                                                  "VALUES (?1, ?2, ?3, ?4)") +
                                      dialectOf(connection).returning(QStringLiteral("HKID")));
        head.bind(1, ilk);
        head.bind(2, son);
        head.bind(3, settlement.fisNo());
        head.bind(4, QDateTime::currentDateTime());
        head.run();
        const qint64 hkid = head.insertedKey();
        for (const SettlementLine& line : settlement.lines)
            for (size_t i = 0; i < settlement.rates.size(); ++i) {
                const DeductionRate& rate = settlement.rates[i];
                insertEntryRow(connection, hkid, kDeductionKind, son, line.kodu, line.adi, line.kesintiler[i], settlement.fisNo(),
                               rate.adi + QLatin1Char(' ') + rate.text() + QStringLiteral(" · ") + settlement.periodText(), &rate);
                if (!line.kesintiler[i].isZero()) ++result.rows;
            }
        transaction.commit();
    }
    emit ledger_.events().entriesChanged(son, LedgerKind::Payment);
    emit ledger_.events().settlementsChanged();
    return result;
}

bool Settlements::undo(qint64 hkid)
{
    const Connection& connection = ledger_.connection();
    QList<QDate> days;
    {
        Transaction transaction(connection);
        takeTurnOn(connection, kPostings);
        Statement rows(connection, QStringLiteral("SELECT SGID FROM Hakedis_Satirlari WHERE HKID = ?1 AND SGID IS NOT NULL ORDER BY HKKID;"));
        rows.bind(1, hkid);
        Statement day(connection, QStringLiteral("SELECT Tarih FROM SutGirisi WHERE SGID = ?1;"));
        Statement remove(connection, QStringLiteral("DELETE FROM SutGirisi WHERE SGID = ?1;"));
        while (rows.step()) {
            const qint64 sgid = rows.column(0).toLongLong();
            const QString before = rowJson(connection, schema::sutGirisi(), sgid);
            if (before.isEmpty()) continue;
            day.reset();
            day.bind(1, sgid);
            if (day.step() && !days.contains(day.column(0).toDate())) days << day.column(0).toDate();
            recordChange(connection, schema::sutGirisi(), sgid, ChangeKind::Deletion, before, {});
            remove.reset();
            remove.bind(1, sgid);
            remove.run();
        }
        Statement parts(connection, QStringLiteral("DELETE FROM Hakedis_Satirlari WHERE HKID = ?1;"));
        parts.bind(1, hkid);
        parts.run();
        Statement head(connection, QStringLiteral("DELETE FROM Hakedisler WHERE HKID = ?1;"));
        head.bind(1, hkid);
        head.run();
        if (head.changes() == 0) return false;
        transaction.commit();
    }
    for (const QDate& d : days) emit ledger_.events().entriesChanged(d, LedgerKind::Payment);
    emit ledger_.events().historyChanged();
    emit ledger_.events().settlementsChanged();
    return true;
}

Settlements::PaidOutcome Settlements::markPaid(const QDate& ilk, const QDate& son, const QDate& day)
{
    const Connection& connection = ledger_.connection();
    {
        Transaction transaction(connection);
        takeTurnOn(connection, kPostings);
        const Settlement settlement = compute(ilk, son);
        if (!settlement.posting) return PaidOutcome::NotPosted;
        if (settlement.posting->odemeTarihi.isValid()) return PaidOutcome::AlreadyPaid;
        const PayoutList payouts = payoutList(settlement);
        if (payouts.bank.empty()) return PaidOutcome::Nothing;
        const QString fisNo = QStringLiteral("OD-") + ledgerDay(son);
        for (const Payout& payout : payouts.bank)
            insertEntryRow(connection, settlement.posting->hkid, kPayoutKind, day, payout.kodu, payout.adi, payout.tutar, fisNo,
                           payouts.aciklama, nullptr);
        Statement paid(connection, QStringLiteral("UPDATE Hakedisler SET Odeme_Tarihi = ?1 WHERE HKID = ?2;"));
        paid.bind(1, day);
        paid.bind(2, settlement.posting->hkid);
        paid.run();
        transaction.commit();
    }
    emit ledger_.events().entriesChanged(day, LedgerKind::Payment);
    emit ledger_.events().settlementsChanged();
    return PaidOutcome::Paid;
}
