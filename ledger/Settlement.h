#pragma once

#include "common/Money.h"
#include "common/Sheet.h"
#include "ledger/AverageQuality.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Ledger;
struct SqlDialect;

// A deduction line as the collector keeps it: a rate in percent that holds
// from its day until the next line of the same name. No rate: not applied.
struct Deduction {
    qint64 ksid = 0;  // 0: not stored yet
    QString adi;
    std::optional<double> oran;
    QDate baslangic;  // empty only on lines kept from before start days were asked: from the start of the ledger
};

// The rate a settlement applies, held as ten-thousandths of a percent so
// that "1,0000" is exact.
struct DeductionRate {
    QString adi;
    qint64 onBinde = 0;

    static DeductionRate of(const QString& adi, double oran);
    double oran() const { return static_cast<double>(onBinde) / 10000.0; }
    // "%1,0000"
    QString text() const;
    // The amount × rate ÷ 100, rounded once to the kuruş (a half away from zero).
    Money of(const Money& amount) const;
};

// Litres and milk money at one price.
struct PriceLine {
    double fiyat = 0;
    Money litre;
    Money tutar;  // rounded once
};

// One producer's line: every figure as printed, each sum of what it adds.
struct SettlementLine {
    QString kodu;
    QString adi;
    QString koy;
    QString iban;  // as stored
    Money litre;
    // The period's litres-weighted fat and protein; none where nothing was
    // measured, and none on the total line: an average does not add up.
    AverageQuality ortalama;
    Money sutTutari;  // the period's intake amounts summed exactly, rounded once
    std::vector<PriceLine> fiyatlar;
    std::vector<Money> kesintiler;  // one per rate of the settlement
    Money devreden;                 // the exact balance before the period, rounded once
    Money donemOdemeleri;           // paid and given less booked to him, rounded once
    // His exact balance at the period's end with the deductions posted,
    // rounded once: what the report and the statements show.
    Money defterBakiyesi;

    Money kesintiToplami() const;
    Money net() const { return sutTutari - kesintiToplami(); }
    Money odenecek() const { return devreden + net() - donemOdemeleri; }
    // The statements' closing balance less the rounded parts.
    Money yuvarlamaFarki() const { return defterBakiyesi - odenecek(); }
};

// "01.12.2026–31.12.2026"
QString settlementPeriod(const QDate& ilk, const QDate& son);

struct SettlementPosting {
    qint64 hkid = 0;
    QDate ilk;
    QDate son;
    QDateTime zaman;
    QDate odemeTarihi;  // empty until the payout is written

    QString periodText() const { return settlementPeriod(ilk, son); }
};

struct Settlement {
    QDate ilk;
    QDate son;
    std::vector<DeductionRate> rates;
    std::vector<SettlementLine> lines;
    // This very period, posted.
    std::optional<SettlementPosting> posting;
    // Another posted period that shares days with this one.
    std::optional<SettlementPosting> overlapping;

    // The sums of the lines' printed figures.
    SettlementLine total() const;
    QStringList columnTitles() const;
    // A line's cells for a file: the code and the IBAN as text, every sum a figure.
    std::vector<SheetCell> sheetCells(const SettlementLine& line) const;
    // A line's cells as shown, "#,##0.00"; plain numbers for a spreadsheet.
    QStringList cells(const SettlementLine& line, bool plain = false) const;
    // Kodu;Adı Soyadı;Litre;Ort. Yağ %;Ort. Protein %;…;Ödenecek;IBAN, a line per producer, and the
    // totals under them (in the .xlsx file only).
    Sheet sheet() const;
    QString csv() const;
    // "HK-20261231"
    QString fisNo() const;
    QString periodText() const { return settlementPeriod(ilk, son); }
    // "Süt bedeli Aralık 2026", or the days for a part of a month.
    QString payoutNote() const;
    // "Hakedis-01.12.2026-31.12.2026.pdf"
    QString fileName(const QString& what) const;
    enum Column { Kodu, Adi, Litre, OrtYag, OrtProtein, SutTutari };
};

// The payout list: who is paid what, and who cannot be paid by the bank.
struct Payout {
    QString kodu;
    QString adi;
    QString iban;
    Money tutar;
};
struct PayoutList {
    QString aciklama;
    std::vector<Payout> bank;
    // Ödenecek over zero but no valid IBAN: named, never left out silently.
    std::vector<Payout> withoutIban;

    Money total() const;
    static const QStringList kColumnTitles;
    // A line for each bank payout, and the total under them (in the .xlsx file only).
    Sheet sheet() const;
    QString csv() const;
    // "IBAN'ı olmayan ya da yanlış olanlar: …"
    QString withoutIbanLine() const;
};
PayoutList payoutList(const Settlement& settlement);

// The settlement's SQL: ?1 and ?2 the period's days, ?3 a posting's key.
struct SettlementSql {
    static QString milk(const SqlDialect& dialect);      // litres and money by code and price
    static QString payments(const SqlDialect& dialect);  // paid less booked by code, the posting's own rows left out
    static const QString kProducers;  // who has milk, with name, village and IBAN
    static const QString kRates;      // each name's rate that holds on ?1
};

// The settlements and their deductions, over the ledger's connection; every
// change is told on the ledger's events.
class Settlements {
public:
    explicit Settlements(Ledger& ledger) : ledger_(ledger) {}

    std::vector<Deduction> deductions() const;
    enum class DeductionCheck { Ok, NoName, BadRate, NoStartDay };
    static DeductionCheck checkDeduction(const Deduction& deduction);
    DeductionCheck saveDeduction(const Deduction& deduction);
    // The key of the deletion's row of the history, for Ctrl+Z.
    qint64 deleteDeduction(qint64 ksid);

    // The period's lines, one for each producer with milk in it (one code
    // only when given). A posted period shows the deductions it posted.
    Settlement compute(const QDate& ilk, const QDate& son, const QString& kodu = {}) const;

    enum class PostOutcome { Posted, Overlaps, Nothing };
    struct Post {
        PostOutcome outcome = PostOutcome::Posted;
        std::optional<SettlementPosting> overlapping;
        int rows = 0;
    };
    // Every producer's deductions as payment rows on the period's last day,
    // in one transaction. A period that shares a day with a posted one is
    // refused. The settlement is computed anew inside the transaction.
    Post post(const QDate& ilk, const QDate& son);
    // Removes a posting whole, its payout too, each row kept in the history.
    bool undo(qint64 hkid);
    enum class PaidOutcome { Paid, NotPosted, AlreadyPaid, Nothing };
    // Each bank payout as a payment row on the day, in one transaction.
    PaidOutcome markPaid(const QDate& ilk, const QDate& son, const QDate& day);

    // Why a posting was refused, in Turkish.
    static QString overlapRefusal(const SettlementPosting& posted);

private:
    std::optional<SettlementPosting> postingOver(const QDate& ilk, const QDate& son) const;

    Ledger& ledger_;
};
