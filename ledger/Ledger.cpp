#include "ledger/Ledger.h"

#include "store/SqlText.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/History.h"
#include "store/ServerSql.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include "common/Conversions.h"
#include "common/Iban.h"

#include <algorithm>
#include <QDateTime>

#include <cmath>

namespace {

const QString kTarih = QStringLiteral("Tarih");
const QString kBirimFiyat = QStringLiteral("Birim_Fiyat");

double amountOf(const QVariant& value)
{
    return value.isNull() ? 0.0 : value.toDouble();
}

// The factory's value of a delivery; nothing when either figure is not above 0.
double factoryValue(double price, double litres)
{
    return litres > 0 && price > 0 ? price * litres : 0.0;
}

QDate storedDay(const QVariant& stored)
{
    return QDate::fromString(stored.toString().left(kStoredDateFormat.size()), kStoredDateFormat);
}

Account accountFrom(const Statement& row)
{
    Account account;
    account.cid = row.column(0).toLongLong();
    account.kodu = row.column(1).toString();
    account.adi = row.column(2).toString();
    account.birimFiyati = amountOf(row.column(3));
    account.aciklama = row.column(4).toString();
    account.mevki = row.column(5).toString();
    account.koy = row.column(6).toString();
    account.telefon = row.column(7).toString();
    account.kisinAlim = row.column(8).toString();
    account.yazAlim = row.column(9).toString();
    account.iban = row.column(10).toString();
    return account;
}

// An entry and a deletion of its account each check the other's table and
// then write: on a server the account's row is locked for the rest of the
// transaction (the file's BEGIN IMMEDIATE already lets one writer in), so
// the second waits for the first and then sees what it left.
enum class AccountLock { Share, Update };
void lockAccount(const Connection& connection, const QString& where, const QVariant& value, AccountLock lock)
{
    if (!connection.isServer()) return;
    Statement row(connection, QStringLiteral("SELECT 1 FROM Cariler WHERE %1 = ?1 FOR %2")
                                  .arg(where, lock == AccountLock::Share ? QStringLiteral("SHARE") : QStringLiteral("UPDATE")));
    row.bind(1, value);
    row.run();
}

const QString kAccountFields =
    QStringLiteral("SELECT CID, Kodu, Adi, Birim_Fiyati, Aciklama, Mevki, Koy, Telefon, Kisin_Alim, Yaz_Alim, IBAN FROM Cariler ");

}  // namespace

Ledger::Ledger(Connection& connection)
    : connection_(connection),
      accounts_(connection, schema::cariler()),
      entries_(connection, schema::sutGirisi()),
      deliveries_(connection, schema::fabrika()),
      factoryPrice_(connection, schema::fabrikaCari())
{
}

std::optional<Account> Ledger::accountByCode(const QString& code) const
{
    if (code.isEmpty()) return std::nullopt;
    // The first in name order, as the account list finds it.
    Statement row(connection_, kAccountFields + QStringLiteral("WHERE Kodu=?1 ORDER BY Adi COLLATE tr ASC LIMIT 1;"));
    row.bind(1, code);
    if (!row.step()) return std::nullopt;
    return accountFrom(row);
}

std::optional<Account> Ledger::accountByKey(qint64 cid) const
{
    Statement row(connection_, kAccountFields + QStringLiteral("WHERE CID=?1;"));
    row.bind(1, cid);
    if (!row.step()) return std::nullopt;
    return accountFrom(row);
}

CodeLedger Ledger::codeLedger(const QString& code) const
{
    Statement rows(connection_, QStringLiteral("SELECT COUNT(*), ") + dialectOf(connection_).exactBalanceSum() + QStringLiteral(" FROM SutGirisi WHERE Kodu = ?1;"));
    rows.bind(1, code);
    rows.step();
    return {static_cast<int>(rows.column(0).toLongLong()), Money::fromUnits(rows.column(1).toLongLong())};
}

bool Ledger::codeUsedByAnother(const QString& code, qint64 cid) const
{
    Statement other(connection_, QStringLiteral("SELECT 1 FROM Cariler WHERE Kodu = ?1 AND CID <> ?2 LIMIT 1;"));
    other.bind(1, code);
    other.bind(2, cid);
    return other.step();
}

Ledger::AccountCheck Ledger::checkAccount(const Account& account) const
{
    if (account.kodu.isEmpty()) return AccountCheck::NoCode;
    // A correction may not take another account's code either: the two
    // producers would share one balance from then on.
    if (codeUsedByAnother(account.kodu, account.cid)) return AccountCheck::CodeTaken;
    if (account.adi.trimmed().isEmpty()) return AccountCheck::NoName;
    // Kept in one spelling, without blanks, however it was typed.
    if (!ibanFault(account.iban).isEmpty() || ibanStored(account.iban) != account.iban) return AccountCheck::BadIban;
    return AccountCheck::Ok;
}

Ledger::AccountCheck Ledger::saveAccount(const Account& account)
{
    if (const AccountCheck check = checkAccount(account); check != AccountCheck::Ok) return check;

    if (!accounts_.isOpen()) accounts_.open();
    const bool correcting = account.cid > 0 && accounts_.locate(QStringLiteral("CID"), account.cid);
    if (account.cid > 0 && !correcting) refuseIfGone(connection_, schema::cariler(), account.cid);
    RowWrite row = correcting ? accounts_.edit() : accounts_.append();
    if (!correcting) row.setField(QStringLiteral("Kayit_Tarihi"), QDateTime::currentDateTime());
    row.setField(QStringLiteral("Kodu"), account.kodu)
        .setField(QStringLiteral("Adi"), account.adi)
        .setField(QStringLiteral("Aciklama"), account.aciklama)
        .setField(QStringLiteral("Mevki"), account.mevki)
        .setField(QStringLiteral("Koy"), account.koy)
        .setField(QStringLiteral("Telefon"), account.telefon)
        .setField(QStringLiteral("Kisin_Alim"), account.kisinAlim)
        .setField(QStringLiteral("Yaz_Alim"), account.yazAlim)
        .setField(QStringLiteral("IBAN"), account.iban.isEmpty() ? QVariant() : QVariant(account.iban))
        .setField(QStringLiteral("Birim_Fiyati"), account.birimFiyati);
    try {
        row.post();
    } catch (const DatabaseError& error) {
        // Another desk took the code since it was looked at.
        if (isDuplicateCode(error.code())) return AccountCheck::CodeTaken;
        throw;
    }
    emit events_.accountsChanged();
    if (correcting) emit events_.historyChanged();
    return AccountCheck::Ok;
}

bool Ledger::deleteAccount(qint64 cid, const Written& written)
{
    qint64 change = 0;
    {
        Transaction transaction(connection_);
        lockAccount(connection_, QStringLiteral("CID"), cid, AccountLock::Update);
        const std::optional<Account> account = accountByKey(cid);
        if (!account) refuseIfGone(connection_, schema::cariler(), cid);
        if (!account || !codeLedger(account->kodu).balance.isZero()) return false;
        if (!accounts_.isOpen()) accounts_.open();
        if (!accounts_.locate(QStringLiteral("CID"), cid)) return false;
        change = accounts_.deleteCurrent();
        transaction.commit();
    }
    if (written) written(change);
    emit events_.accountsChanged();
    emit events_.historyChanged();
    return true;
}

Ledger::EntryCheck Ledger::checkEntry(const QString& code, const QString& name) const
{
    if (code.isEmpty()) return EntryCheck::NoCode;
    const std::optional<Account> account = accountByCode(code);
    if (!account) return EntryCheck::UnknownCode;
    if (name != account->adi) return EntryCheck::NameMismatch;
    return EntryCheck::Ok;
}

void Ledger::rememberShown(const schema::Table& table, qint64 key, const QVariantMap& fields)
{
    ::rememberShown(connection_, table, key, fields);
}

RowWrite Ledger::rowFor(TableCursor& table, qint64 key, const QDate& day)
{
    if (!table.isOpen()) table.open();
    if (key > 0 && table.locate(table.keyField(), key)) return table.edit();
    if (key > 0) refuseIfGone(connection_, *schema::tableNamed(table.table()), key);
    RowWrite row = table.append();
    row.setField(kTarih, day);
    return row;
}

void Ledger::tellEntry(qint64 sgid)
{
    // Each read ends before anyone is told: a statement left open would
    // hold its read transaction through every view's rebuilding.
    const std::optional<EntryHead> head = entryHead(sgid);
    if (head) emit events_.entriesChanged(head->tarih, head->kind);
}

QString Ledger::postingOf(qint64 sgid) const
{
    if (sgid <= 0) return {};
    Statement posting(connection_, QStringLiteral("SELECT h.Fis_No FROM Hakedis_Satirlari s JOIN Hakedisler h ON h.HKID = s.HKID "
                                                  "WHERE s.SGID = ?1 LIMIT 1;"));
    posting.bind(1, sgid);
    return posting.step() ? posting.column(0).toString() : QString();
}

QString Ledger::postedRefusal(const QString& fisNo)
{
    return fisNo + QStringLiteral(" hakedişine ait; değiştirmek için hakedişi geri alın");
}

void Ledger::refuseIfPosted(qint64 sgid) const
{
    if (const QString fisNo = postingOf(sgid); !fisNo.isEmpty()) throw RowPosted(postedRefusal(fisNo));
}

Ledger::Saved Ledger::writeEntry(qint64 sgid, const QDate& day, const QString& kodu, const QString& adi,
                                 const std::function<void(RowWrite&)>& fields, const Written& written)
{
    if (kodu.isEmpty()) return {EntryCheck::NoCode, 0};
    qint64 key = 0;
    bool correcting = false;
    {
        // The account is checked and the row written in one transaction,
        // so the account cannot go between the two.
        Transaction transaction(connection_);
        lockAccount(connection_, QStringLiteral("Kodu"), kodu, AccountLock::Share);
        const EntryCheck check = checkEntry(kodu, adi);
        if (check != EntryCheck::Ok) return {check, 0};
        refuseIfPosted(sgid);
        RowWrite row = rowFor(entries_, sgid, day);
        row.setField(QStringLiteral("Kodu"), kodu).setField(QStringLiteral("Adi"), adi);
        fields(row);
        correcting = sgid > 0 && entries_.currentKey() == sgid;
        key = row.post();
        transaction.commit();
    }
    if (written) written(key);
    tellEntry(key);
    if (correcting) emit events_.historyChanged();
    return {EntryCheck::Ok, key};
}

namespace {

QVariant optionalFigure(const std::optional<double>& figure)
{
    return figure ? QVariant(*figure) : QVariant();
}

QVariant gradeOf(const PourQuality& pour)
{
    return pour.hijyen.trimmed().isEmpty() ? QVariant() : QVariant(pour.hijyen.trimmed());
}

PourQuality pourAt(const Statement& row, int first)
{
    PourQuality pour;
    if (!row.column(first).isNull()) pour.yag = row.column(first).toDouble();
    if (!row.column(first + 1).isNull()) pour.protein = row.column(first + 1).toDouble();
    pour.hijyen = row.column(first + 2).toString();
    return pour;
}

}  // namespace

Ledger::PourPrice Ledger::pourPrice(const IntakeEntry& entry, const PourQuality& pour, const std::optional<StoredPour>& stored)
{
    if (!pour.measured()) return {entry.fiyat, false};
    // A correction that leaves the pour's figures as they were keeps the
    // price it was stored with, whatever the table says now.
    if (stored && stored->quality == pour) return {stored->price, true};
    const std::optional<QualityLine> line = QualityPrices(*this).lineOn(entry.tarih);
    return line ? PourPrice{qualityPrice(*line, pour), true} : PourPrice{entry.fiyat, false};
}

Ledger::IntakePrices Ledger::intakePrices(const IntakeEntry& entry)
{
    std::optional<StoredPour> storedSabah, storedAksam;
    if (entry.sgid > 0) {
        Statement stored(connection_, QStringLiteral("SELECT SYag, SProtein, SHijyen, AYag, AProtein, AHijyen, SBirim_Fiyat, ABirim_Fiyat "
                                                     "FROM SutGirisi WHERE SGID=?1;"));
        stored.bind(1, entry.sgid);
        if (stored.step()) {
            storedSabah = StoredPour{pourAt(stored, 0), stored.column(6).toDouble()};
            storedAksam = StoredPour{pourAt(stored, 3), stored.column(7).toDouble()};
        }
    }
    return {pourPrice(entry, entry.sabahKalite, storedSabah), pourPrice(entry, entry.aksamKalite, storedAksam)};
}

Ledger::Saved Ledger::saveIntake(const IntakeEntry& entry, const Written& written, IntakePrices* stored)
{
    const IntakePrices prices = intakePrices(entry);
    if (stored) *stored = prices;
    const double sabahFiyat = prices.sabah.perLitre;
    const double aksamFiyat = prices.aksam.perLitre;
    return writeEntry(entry.sgid, entry.tarih, entry.kodu, entry.adi, [&](RowWrite& row) {
        const double sabahTutar = entry.sabah * sabahFiyat;
        const double aksamTutar = entry.aksam * aksamFiyat;
        row.setField(QStringLiteral("Gelir_Gider"), kindCode(LedgerKind::Intake))
            .setField(QStringLiteral("Sabah"), entry.sabah)
            .setField(QStringLiteral("Aksam"), entry.aksam)
            .setField(QStringLiteral("SBirim_Fiyat"), sabahFiyat)
            .setField(QStringLiteral("ABirim_Fiyat"), aksamFiyat)
            .setField(QStringLiteral("SToplam_Tutar"), sabahTutar)
            .setField(QStringLiteral("AToplam_Tutar"), aksamTutar)
            .setField(QStringLiteral("Gelir_Toplam_Tutar"), sabahTutar + aksamTutar)
            .setField(QStringLiteral("Aciklama"), entry.aciklama)
            .setField(QStringLiteral("SYag"), optionalFigure(entry.sabahKalite.yag))
            .setField(QStringLiteral("SProtein"), optionalFigure(entry.sabahKalite.protein))
            .setField(QStringLiteral("SHijyen"), gradeOf(entry.sabahKalite))
            .setField(QStringLiteral("AYag"), optionalFigure(entry.aksamKalite.yag))
            .setField(QStringLiteral("AProtein"), optionalFigure(entry.aksamKalite.protein))
            .setField(QStringLiteral("AHijyen"), gradeOf(entry.aksamKalite));
    }, written);
}

Ledger::Saved Ledger::savePayment(const PaymentEntry& entry, const Written& written)
{
    return writeEntry(entry.sgid, entry.tarih, entry.kodu, entry.adi, [&entry](RowWrite& row) {
        row.setField(QStringLiteral("Gelir_Gider"), kindCode(LedgerKind::Payment))
            .setField(QStringLiteral("Gider_Tutari"), entry.alacagimiz)
            .setField(QStringLiteral("Gelir_Toplam_Tutar"), entry.borcumuz)
            .setField(QStringLiteral("Fis_No"), entry.fisNo)
            .setField(QStringLiteral("Gider_Miktari"), entry.miktari)
            .setField(QStringLiteral("Aciklama"), entry.aciklama);
    }, written);
}

std::optional<EntryHead> Ledger::entryHead(qint64 sgid) const
{
    if (sgid <= 0) return std::nullopt;
    Statement row(connection_, QStringLiteral("SELECT Tarih, Kodu, Adi, Gelir_Gider FROM SutGirisi WHERE SGID=?1;"));
    row.bind(1, sgid);
    if (!row.step()) return std::nullopt;
    const LedgerKind kind = row.column(3).toString() == kindCode(LedgerKind::Payment) ? LedgerKind::Payment : LedgerKind::Intake;
    return EntryHead{storedDay(row.column(0)), row.column(1).toString(), row.column(2).toString(), kind};
}

std::optional<IntakeEntry> Ledger::intakeOn(const QString& code, const QDate& day) const
{
    Statement row(connection_, QStringLiteral("SELECT SGID, Adi, Sabah, Aksam, SBirim_Fiyat, Aciklama, SYag, SProtein, SHijyen, "
                                              "AYag, AProtein, AHijyen FROM SutGirisi "
                                              "WHERE Kodu=?1 AND Tarih=?2 AND Gelir_Gider=?3 ORDER BY SGID LIMIT 1;"));
    row.bind(1, code);
    row.bind(2, day);
    row.bind(3, kindCode(LedgerKind::Intake));
    if (!row.step()) return std::nullopt;
    return IntakeEntry{row.column(0).toLongLong(), day, code, row.column(1).toString(), amountOf(row.column(2)),
                       amountOf(row.column(3)), amountOf(row.column(4)), row.column(5).toString(), pourAt(row, 6), pourAt(row, 9)};
}

double Ledger::monthLitresUpTo(const QString& code, const QDate& day) const
{
    Statement sum(connection_, QStringLiteral("SELECT SUM(COALESCE(Sabah, 0) + COALESCE(Aksam, 0)) FROM SutGirisi "
                                              "WHERE Kodu=?1 AND Tarih>=?2 AND Tarih<=?3 AND Gelir_Gider=?4;"));
    sum.bind(1, code);
    sum.bind(2, QDate(day.year(), day.month(), 1));
    sum.bind(3, day);
    sum.bind(4, kindCode(LedgerKind::Intake));
    sum.step();
    return amountOf(sum.column(0));
}

namespace {

// Litres over this, or over twice a producer's largest of the last days, and
// money over the other, are asked about.
constexpr double kMostLitres = 1000;
constexpr int kUsualDays = 60;
constexpr double kMostPayment = 100000;

QString storeAnyway(const QString& who, const QString& what)
{
    return who + QStringLiteral(" için ") + what + QStringLiteral("\nBu rakam doğru mu? Yine de saklansın mı?");
}

}  // namespace

QString Ledger::unusualIntake(const IntakeEntry& entry) const
{
    Statement largest(connection_, QStringLiteral("SELECT MAX(MAX(COALESCE(Sabah, 0), COALESCE(Aksam, 0))) FROM SutGirisi "
                                                  "WHERE Kodu=?1 AND Tarih>=?2 AND Tarih<=?3 AND Gelir_Gider=?4 AND SGID<>?5;"));
    largest.bind(1, entry.kodu);
    largest.bind(2, entry.tarih.addDays(-kUsualDays));
    largest.bind(3, entry.tarih);
    largest.bind(4, kindCode(LedgerKind::Intake));
    largest.bind(5, entry.sgid);
    largest.step();
    const double usual = amountOf(largest.column(0));
    const auto litres = [](double value) { return formatFloat(kAmountPattern, value) + QStringLiteral(" L"); };
    for (const auto& [name, value] : {std::pair{QStringLiteral("sabah"), entry.sabah}, std::pair{QStringLiteral("akşam"), entry.aksam}}) {
        const QString who = entry.kodu + QLatin1Char(' ') + entry.adi;
        if (value > kMostLitres)
            return storeAnyway(who, name + QLatin1Char(' ') + litres(value) + QStringLiteral(" girildi; bu, %1 L'den fazla.").arg(formatFloat(kAmountPattern, kMostLitres)));
        if (usual > 0 && value > 2 * usual)
            return storeAnyway(who, name + QLatin1Char(' ') + litres(value) +
                                        QStringLiteral(" girildi; son %1 günde en çok %2 vermiş.").arg(kUsualDays).arg(litres(usual)));
    }
    return {};
}

QString Ledger::unusualPayment(const PaymentEntry& entry) const
{
    const QString who = entry.kodu + QLatin1Char(' ') + entry.adi;
    for (const auto& [name, value] : {std::pair{QStringLiteral("Alacağımız"), entry.alacagimiz}, std::pair{QStringLiteral("Borcumuz"), entry.borcumuz}})
        if (std::abs(value) > kMostPayment)
            return storeAnyway(who, name + QLatin1Char(' ') + formatFloat(kAmountPattern, value) +
                                        QStringLiteral(" TL girildi; bu, %1 TL'den fazla.").arg(formatFloat(kAmountPattern, kMostPayment)));
    return {};
}

void Ledger::deleteEntry(qint64 sgid, const Written& written)
{
    const std::optional<EntryHead> head = entryHead(sgid);
    if (!head) {
        refuseIfGone(connection_, schema::sutGirisi(), sgid);
        return;
    }
    refuseIfPosted(sgid);
    if (!entries_.isOpen()) entries_.open();
    if (!entries_.locate(QStringLiteral("SGID"), sgid)) return;
    const qint64 change = entries_.deleteCurrent();
    if (written) written(change);
    emit events_.entriesChanged(head->tarih, head->kind);
    emit events_.historyChanged();
}

qint64 Ledger::deleteSettlementLine(const schema::Table& table, qint64 key)
{
    RecordedChange change(connection_, table, key);
    Statement remove(connection_, QStringLiteral("DELETE FROM %1 WHERE %2=?1;").arg(QLatin1String(table.name), table.keyField()));
    remove.bind(1, key);
    remove.run();
    const qint64 recorded = change.commit(ChangeKind::Deletion);
    if (recorded > 0) emit events_.historyChanged();
    emit events_.settlementsChanged();
    return recorded;
}

DayCollected Ledger::collectedOn(const QDate& day) const
{
    const SqlDialect& dialect = dialectOf(connection_);
    Statement sums(connection_, QStringLiteral("SELECT SUM(Sabah), SUM(Aksam), COALESCE(%1, 0), COALESCE(%2, 0) "
                                               "FROM SutGirisi WHERE Tarih=?1 AND Gelir_Gider=?2;")
                                    .arg(dialect.unitsSum(QStringLiteral("SToplam_Tutar")), dialect.unitsSum(QStringLiteral("AToplam_Tutar"))));
    sums.bind(1, day);
    sums.bind(2, kindCode(LedgerKind::Intake));
    sums.step();
    const Money sabah = Money::fromUnits(sums.column(2).toLongLong());
    return {amountOf(sums.column(0)), amountOf(sums.column(1)), sabah, sabah + Money::fromUnits(sums.column(3).toLongLong())};
}

FactoryDay factoryDay(const DayCollected& collected, double fiyat, double sabahFabrika, double aksamFabrika)
{
    FactoryDay day;
    day.sabahToplanan = collected.sabah;
    day.aksamToplanan = collected.aksam;
    day.sabahFark = collected.sabah - sabahFabrika;
    day.aksamFark = collected.aksam - aksamFabrika;
    // The day is the sum of its rows rounded once; the evening is what the
    // morning leaves of it, so the two halves add up to the day.
    day.toplananTutar = collected.tutar.rounded();
    day.sabahToplananTutar = collected.sabahTutar.rounded();
    day.aksamToplananTutar = day.toplananTutar - day.sabahToplananTutar;
    day.fabrikaTutar = Money::fromStored(factoryValue(fiyat, std::max(sabahFabrika, 0.0) + std::max(aksamFabrika, 0.0))).rounded();
    day.sabahFabrikaTutar = aksamFabrika > 0 ? Money::fromStored(factoryValue(fiyat, sabahFabrika)).rounded() : day.fabrikaTutar;
    day.aksamFabrikaTutar = day.fabrikaTutar - day.sabahFabrikaTutar;
    day.sabahKar = day.sabahFabrikaTutar - day.sabahToplananTutar;
    day.aksamKar = day.aksamFabrikaTutar - day.aksamToplananTutar;
    day.kar = day.fabrikaTutar - day.toplananTutar;
    return day;
}

void Ledger::saveDelivery(const FactoryDelivery& d, const Written& written)
{
    // Worked out from the intake rows stored now, not from what a window showed.
    const FactoryDay day = factoryDay(collectedOn(d.tarih), d.fiyat, d.sabahFabrika, d.aksamFabrika);
    const std::optional<QDate> before = deliveryDay(d.fib);
    // A corrected row takes the picker's day too.
    RowWrite row = rowFor(deliveries_, d.fib, d.tarih);
    row.setField(kTarih, d.tarih)
        .setField(QStringLiteral("Sabah_Toplanan_LT"), day.sabahToplanan)
        .setField(QStringLiteral("Sabah_Toplanan_Tutar"), day.sabahToplananTutar.toDouble())
        .setField(QStringLiteral("Sabah_Fabrika_LT"), d.sabahFabrika)
        .setField(QStringLiteral("Sabah_Fabrika_Tutar"), day.sabahFabrikaTutar.toDouble())
        .setField(QStringLiteral("Sabah_Miktar_Farki"), day.sabahFark)
        .setField(QStringLiteral("Sabah_Teslim_Kari"), day.sabahKar.toDouble())
        .setField(QStringLiteral("Sabah_Birim_Fiyat"), d.fiyat)
        .setField(QStringLiteral("Aksam_Toplanan_LT"), day.aksamToplanan)
        .setField(QStringLiteral("Aksam_Toplanan_Tutar"), day.aksamToplananTutar.toDouble())
        .setField(QStringLiteral("Aksam_Fabrika_LT"), d.aksamFabrika)
        .setField(QStringLiteral("Aksam_Fabrika_Tutar"), day.aksamFabrikaTutar.toDouble())
        .setField(QStringLiteral("Aksam_Miktar_Farki"), day.aksamFark)
        .setField(QStringLiteral("Aksam_Teslim_Kari"), day.aksamKar.toDouble())
        .setField(QStringLiteral("Aksam_Birim_Fiyat"), d.fiyat)
        .setField(QStringLiteral("Toplam_Toplanan_LT"), day.sabahToplanan + day.aksamToplanan)
        .setField(QStringLiteral("Toplam_Toplanan_Tutar"), day.toplananTutar.toDouble())
        .setField(QStringLiteral("Toplam_Fabrika_LT"), d.sabahFabrika + d.aksamFabrika)
        .setField(QStringLiteral("Toplam_Fabrika_Tutar"), day.fabrikaTutar.toDouble())
        .setField(QStringLiteral("Toplam_Miktar_Farki"), day.sabahFark + day.aksamFark)
        .setField(QStringLiteral("Toplam_Teslim_Kari"), day.kar.toDouble())
        .setField(kBirimFiyat, d.fiyat)
        .setField(QStringLiteral("Aciklama"), d.aciklama);
    const qint64 key = row.post();
    if (written) written(key);
    if (before && *before != d.tarih) emit events_.deliveriesChanged(*before);
    emit events_.deliveriesChanged(d.tarih);
    if (before) emit events_.historyChanged();
}

void Ledger::deleteDelivery(qint64 fib, const Written& written)
{
    const std::optional<QDate> day = deliveryDay(fib);
    if (!day) return;
    if (!deliveries_.isOpen()) deliveries_.open();
    if (!deliveries_.locate(QStringLiteral("FIB"), fib)) return;
    const qint64 change = deliveries_.deleteCurrent();
    if (written) written(change);
    emit events_.deliveriesChanged(*day);
    emit events_.historyChanged();
}

std::optional<QDate> Ledger::deliveryDay(qint64 fib) const
{
    Statement row(connection_, QStringLiteral("SELECT Tarih FROM Fabrika WHERE FIB=?1;"));
    row.bind(1, fib);
    if (!row.step()) return std::nullopt;
    return storedDay(row.column(0));
}

std::optional<double> Ledger::factoryPrice() const
{
    Statement price(connection_, QStringLiteral("SELECT Birim_Fiyat FROM Fabrika_Cari ORDER BY FCID LIMIT 1;"));
    if (!price.step()) return std::nullopt;
    return amountOf(price.column(0));
}

void Ledger::saveFactoryPrice(double price)
{
    if (!factoryPrice_.isOpen()) factoryPrice_.open();
    // The one row this table keeps; the first save of a price makes it.
    const bool hasRow = factoryPrice_.currentKey() != 0 || factoryPrice_.first();
    RowWrite row = hasRow ? factoryPrice_.edit() : factoryPrice_.append();
    row.setField(kBirimFiyat, price).post();
    emit events_.factoryPriceChanged();
    if (hasRow) emit events_.historyChanged();
}

bool Ledger::mayComeBack(const schema::Table& table, const QVariantMap& row, Restore& refusal) const
{
    refusal.kodu = row.value(QStringLiteral("Kodu")).toString();
    refusal.adi = row.value(QStringLiteral("Adi")).toString();
    const auto damaged = [&refusal](const char* field, const char* what = "boş") {
        refusal.outcome = RestoreOutcome::Damaged;
        refusal.flaw = QStringLiteral("'%1' alanı %2").arg(QLatin1String(field), QString::fromUtf8(what));
        return false;
    };
    const auto holder = [this, &refusal] {
        const std::optional<Account> account = accountByCode(refusal.kodu);
        refusal.holder = account ? account->adi : QString();
        return false;
    };
    if (&table == &schema::cariler()) {
        Account account;
        account.kodu = refusal.kodu;
        account.adi = refusal.adi;
        account.iban = row.value(QStringLiteral("IBAN")).toString();
        switch (checkAccount(account)) {
        case AccountCheck::Ok:
            return true;
        case AccountCheck::NoCode:
            return damaged("Kodu");
        case AccountCheck::NoName:
            return damaged("Adi");
        case AccountCheck::BadIban:
            return damaged("IBAN", "geçerli bir IBAN değil");
        case AccountCheck::CodeTaken:
            refusal.outcome = RestoreOutcome::CodeTaken;
            return holder();
        }
    }
    if (&table == &schema::sutGirisi()) {
        // The lists tell the two kinds apart by it; the program writes no row of neither.
        const QString kind = row.value(QStringLiteral("Gelir_Gider")).toString();
        if (kind != kindCode(LedgerKind::Intake) && kind != kindCode(LedgerKind::Payment)) return damaged("Gelir_Gider", "'S' ya da 'O' değil");
        switch (checkEntry(refusal.kodu, refusal.adi)) {
        case EntryCheck::Ok:
            return true;
        case EntryCheck::NoCode:
            return damaged("Kodu");
        case EntryCheck::UnknownCode:
        case EntryCheck::NameMismatch:
            refusal.outcome = RestoreOutcome::NoAccount;
            return holder();
        }
    }
    return true;
}

Ledger::Restore Ledger::restore(qint64 change)
{
    Restore result{RestoreOutcome::Restored, change, {}, {}, {}, {}};
    const Restoration restoration = restoreDeleted(
        connection_, change, [&](const schema::Table& table, const QVariantMap& row) { return mayComeBack(table, row, result); });
    switch (restoration.outcome) {
    case Restoration::Outcome::NotADeletion:
        result.outcome = RestoreOutcome::NotADeletion;
        return result;
    case Restoration::Outcome::Superseded:
        result.outcome = RestoreOutcome::Superseded;
        return result;
    case Restoration::Outcome::Damaged:
        result.outcome = RestoreOutcome::Damaged;
        result.flaw = restoration.flaw;
        return result;
    case Restoration::Outcome::Refused:
        return result;
    case Restoration::Outcome::Restored:
        break;
    }
    if (restoration.table == QLatin1String(schema::sutGirisi().name)) {
        tellEntry(restoration.key);
    } else if (restoration.table == QLatin1String(schema::cariler().name)) {
        emit events_.accountsChanged();
    } else if (restoration.table == QLatin1String(schema::kesintiler().name) ||
               restoration.table == QLatin1String(schema::kaliteFiyatlari().name)) {
        emit events_.settlementsChanged();
    } else if (restoration.table == QLatin1String(schema::fabrika().name)) {
        if (const std::optional<QDate> day = deliveryDay(restoration.key)) emit events_.deliveriesChanged(*day);
    } else {
        emit events_.factoryPriceChanged();
    }
    emit events_.historyChanged();
    return result;
}

QString Ledger::restoreRefusal(const Restore& restore)
{
    const QString unchanged = QStringLiteral(" Hiçbir şey değiştirilmedi.");
    switch (restore.outcome) {
    case RestoreOutcome::NotADeletion:
        return QStringLiteral("Yalnız silinmiş bir kayıt geri alınabilir; bu satır bir düzeltme.");
    case RestoreOutcome::Superseded:
        return QStringLiteral("Bu silme geri alınamaz: kayıt daha sonra geri alınmış. Kaydın en yeni satırına bakın.");
    case RestoreOutcome::Damaged:
        return QStringLiteral("Geçmişin %1 numaralı satırı geri alınamaz, satır bozuk: %2.").arg(restore.change).arg(restore.flaw) +
               unchanged;
    case RestoreOutcome::CodeTaken:
        return QStringLiteral("%1 %2 hesabı geri alınamaz: %1 kodu şimdi %3 hesabının; bir kod tek bir hesabı gösterir.")
                   .arg(restore.kodu, restore.adi, restore.holder) +
               unchanged;
    case RestoreOutcome::NoAccount:
        return (restore.holder.isEmpty()
                    ? QStringLiteral("Kayıt geri alınamaz: %1 kodlu hesap (%2) artık yok; önce hesabı geri alın ya da tanımlayın.")
                          .arg(restore.kodu, restore.adi)
                    : QStringLiteral("Kayıt geri alınamaz: %1 kodu şimdi %3 hesabının, kayıt ise %2 adına.")
                          .arg(restore.kodu, restore.adi, restore.holder)) +
               unchanged;
    case RestoreOutcome::Restored:
        break;
    }
    return {};
}
