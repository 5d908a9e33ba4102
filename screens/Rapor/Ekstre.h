#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Connection;

// A producer's statement for a period, as handed over at settlement: the
// balance brought forward, every ledger row of the code in the period with
// the balance after it, the totals and what is still owed. The figures are
// kept as read; the texts are what the paper shows.
struct AccountStatementLine {
    QString tarih;        // dd.MM.yyyy
    QString aciklama;
    QVariant sabah;       // litres; empty on payment rows
    QVariant aksam;
    QVariant birimFiyat;  // price per litre of intake rows only
    QVariant borc;        // "Borcumuz"
    QVariant alacak;      // "Alacağımız"
    double bakiye = 0;    // the balance after this row

    // The row's cells in the order of AccountStatement::kColumnTitles.
    QStringList cells() const;
};

struct AccountStatement {
    QString kodu;
    QString adi;
    QString koy;
    QDate ilk;
    QDate son;
    double acilisBakiyesi = 0;
    std::vector<AccountStatementLine> lines;
    double sabahToplami = 0;
    double aksamToplami = 0;
    double borcToplami = 0;
    double alacakToplami = 0;

    // Brought forward, plus what the period booked, less what it gave.
    double kalanTutar() const { return acilisBakiyesi + borcToplami - alacakToplami; }

    static inline const QString kProductLine = QStringLiteral("Orvalin Kovanta");
    static inline const QString kTitle = QStringLiteral("Hesap Ekstresi");
    static const QStringList kColumnTitles;
    // Which columns hold numbers, and so stand right-aligned.
    static bool isNumberColumn(int column) { return column >= 2; }

    // The heading lines under the title: code, name, village, period.
    QStringList headerLines() const;
    // The first row: the balance brought forward.
    QStringList openingCells() const;
    // The last row: the period's totals of litres and money.
    QStringList totalCells() const;
    // "Kalan Tutar: …"
    QString closingLine() const;
    // "Sayfa 2/3"
    static QString pageText(int page, int pageCount);
    // "Ekstre-<Kodu>-<Adı>-<dd.MM.yyyy>-<dd.MM.yyyy>.pdf"
    QString fileName() const;
};

// One code's statement for the period. The name and village come from the
// account while it exists; a deleted account keeps the name given here.
AccountStatement buildStatement(Connection& connection, const QString& kodu, const QString& adi, const QDate& ilk,
                         const QDate& son);

// "Ekstreler-<dd.MM.yyyy>-<dd.MM.yyyy>.pdf": every producer's statement of a period.
QString allStatementsFileName(const QDate& ilk, const QDate& son);

// A text made fit for a file name: path separators, wildcards, quotes and
// control characters become "_".
QString safeFileName(const QString& text);

// Shows statements for printing or saving; the window implements it, tests
// record what they are given.
class StatementPreview {
public:
    virtual ~StatementPreview() = default;
    // One statement per producer, each starting on a new page.
    virtual void previewStatements(const std::vector<AccountStatement>& statements, const QString& fileName) = 0;
};
