#pragma once

#include "common/Csv.h"
#include "common/Money.h"
#include "common/Sheet.h"
#include "ledger/AverageQuality.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

struct SqlDialect;

class Connection;

// A producer's statement for a period, as handed over at settlement and
// checked by hand: every money figure is printed to the kuruş, every
// balance is the one before it plus and minus the printed figures, the
// totals are the sums of the printed rows.
struct AccountStatementLine {
    QString tarih;        // dd.MM.yyyy; empty on the rounding line
    QString fisNo;
    QString aciklama;
    QVariant sabah;       // litres; empty on payment rows
    QVariant aksam;
    QVariant fiyat;       // price per litre, on intake rows
    QVariant aksamFiyat;  // the evening's, where its pour was priced apart
    QVariant miktar;      // quantity of goods, on payment rows where set
    std::optional<Money> borc;    // "Borcumuz", as printed
    std::optional<Money> alacak;  // "Alacağımız", as printed
    Money bakiye;                 // the balance after this row

    // The row's cells in the order of AccountStatement::kColumnTitles.
    QStringList cells() const;
    // The price cell: the evening's beside the morning's where they differ.
    QString fiyatText() const;
};

struct AccountStatement {
    QString kodu;
    QString adi;
    // Other names the code's rows carry in the period (an account renamed).
    QStringList digerAdlar;
    QString koy;
    QDate ilk;
    QDate son;
    // The exact balance of the code's rows before the period, rounded once:
    // the closing balance of the statement that ends the day before.
    Money devreden;
    std::vector<AccountStatementLine> lines;
    Money sabahToplami;  // litres add up in hundredths the same way
    Money aksamToplami;
    Money borcToplami;
    Money alacakToplami;
    // The period's litres-weighted fat and protein; none where nothing was measured.
    AverageQuality ortalama;

    // What the period booked less what it gave.
    Money donem() const { return borcToplami - alacakToplami; }
    // Brought forward and the period: the exact balance rounded once.
    Money kapanis() const { return devreden + donem(); }

    static inline const QString kProductLine = QStringLiteral("Orvalin Kovanta");
    static inline const QString kTitle = QStringLiteral("Hesap Ekstresi");
    static inline const QString kRoundingNote = QStringLiteral("Yuvarlama farkı");
    static inline const QString kOpeningNote = QStringLiteral("Devreden Bakiye");
    static inline const QString kTotalNote = QStringLiteral("Toplam");
    static const QStringList kColumnTitles;
    enum Column { Tarih, FisNo, Aciklama, Sabah, Aksam, Fiyat, Miktar, Borc, Alacak, Bakiye };
    // Which columns hold numbers, and so stand right-aligned.
    static bool isNumberColumn(int column) { return column >= Sabah; }

    // The heading lines under the title: code, name, other names, village, period.
    QStringList headerLines() const;
    // The first row: the balance brought forward.
    QStringList openingCells() const;
    // The last row: the period's totals of litres and money.
    QStringList totalCells() const;
    // "Ort. Yağ: %…", "Ort. Protein: %…" where measured, then
    // "Devreden Bakiye: …", "Dönem: …"
    QStringList summaryLines() const;
    // Who owes whom, in words: "Üreticiye borcumuz: 1.234,56".
    QString closingLine() const;
    // "Sayfa 2/3"
    static QString pageText(int page, int pageCount);
    // "Ekstre-<Kodu>-<Adı>-<dd.MM.yyyy>-<dd.MM.yyyy>.pdf"
    QString fileName() const;
};

// The statements' SQL, with their bound values: ?1 the code or the first
// day, ?2 and ?3 the days.
struct StatementSql {
    static QString opening(const SqlDialect& dialect);   // one code's exact balance before ?2
    static QString openings(const SqlDialect& dialect);  // every code's, before ?1
    static const QString kRows;      // one code's rows of the period
    static const QString kCodes;     // who gets a statement, ?1 to ?2
};

// One code's statement for the period. The name and village come from the
// account while it exists; a deleted account keeps the name given here.
AccountStatement buildStatement(Connection& connection, const QString& kodu, const QString& adi, const QDate& ilk,
                                const QDate& son);

// An account has the code, or a ledger row does.
bool isKnownCode(Connection& connection, const QString& kodu);
// A stored row with a figure beyond what an entry takes (from an old file or
// a hand-made change) would make every sum over it wrong: it is refused with
// a Turkish text naming the row (code, day, figure). Throws std::runtime_error.
void refuseFiguresBeyondMoney(Connection& connection);

// Who gets a statement for the period: every code with rows in it, and every
// code whose balance at its end is not zero; in Turkish order of name.
struct StatementCode {
    QString kodu;
    QString adi;
};
std::vector<StatementCode> statementCodes(Connection& connection, const QDate& ilk, const QDate& son);

// Every statement of the period, told after each one; false from the
// progress stops the work, and what was built so far is returned.
std::vector<AccountStatement> buildAllStatements(Connection& connection, const QDate& ilk, const QDate& son,
                                                 const std::function<bool(int done, int total)>& progress = {});

// The statements for a spreadsheet, one block per producer, each row named
// with his code and name: the balance brought forward with the period's
// average fat and protein beside his name, his rows with the running balance
// and the rounding line, and his totals (left out of the CSV).
Sheet statementsSheet(const std::vector<AccountStatement>& statements);
QString statementsCsv(const std::vector<AccountStatement>& statements);

// "Ekstreler-<dd.MM.yyyy>-<dd.MM.yyyy>.pdf": every producer's statement of a period.
QString allStatementsFileName(const QDate& ilk, const QDate& son);
