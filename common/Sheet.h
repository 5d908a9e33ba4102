#pragma once

#include "common/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

// A list as the program writes it to a file, each cell typed, so that one
// build of the rows gives both the CSV and the .xlsx file: a code stays
// text, a figure a number, a day a day.
struct SheetCell {
    enum class Kind { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    QString text;
    // Every figure the program writes has two decimals: kept whole, so the
    // CSV and the spreadsheet hold the very same number.
    qint64 hundredths = 0;
    // How the spreadsheet shows a figure.
    QString pattern;
    QDate day;

    // Empty text is an empty cell.
    static SheetCell textOf(const QString& text);
    static SheetCell figure(qint64 hundredths);
    static SheetCell amount(const Money& money) { return figure(money.kurus()); }
    // A stored double as a two-decimal pattern shows it.
    static SheetCell number(double value);
    static SheetCell date(const QDate& day);

    double value() const { return static_cast<double>(hundredths) / 100.0; }
    // As the CSV writes it: 1234,56 and dd.MM.yyyy.
    QString plain() const;
    // As a person reads it: 1.234,56.
    QString shown() const;
};

struct SheetRow {
    std::vector<SheetCell> cells;
    // A sum of the rows above it: bold in the .xlsx file; the CSV, read by
    // the bank and by scripts, leaves it out so nothing is counted twice.
    bool total = false;
};

struct Sheet {
    // The tab's name in the .xlsx file.
    QString name;
    QStringList titles;
    std::vector<SheetRow> rows;

    void add(std::vector<SheetCell> cells) { rows.push_back({std::move(cells), false}); }
    void addTotal(std::vector<SheetCell> cells) { rows.push_back({std::move(cells), true}); }
};

// The titles, then every row but the totals, as csvLine writes them.
QString sheetCsv(const Sheet& sheet);
