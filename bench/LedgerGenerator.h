#pragma once

#include <QDate>
#include <QString>

class Connection;

// A realistic ledger for measurements and for a demo: producers with
// Turkish names, one intake row per producer and day, a payment every ten
// days or so, one factory row per day, and corrections of the evening litres
// kept in the history as the program keeps them.
struct LedgerShape {
    int producers = 300;
    int days = 3650;
    QDate lastDay = QDate(2025, 12, 31);
    unsigned seed = 2024;
    int corrections = 0;
};

// Fills a new, empty database of the program, in one transaction.
void generateLedger(Connection& connection, const LedgerShape& shape);
