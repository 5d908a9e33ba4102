#pragma once

#include <QString>

// The old Windows program's Jet file of a ledger: its four tables with every
// row as the ledger holds it, written by the tests' Jet writer. A ledger to
// try the take-over on, as big as a ten-year demo.
void writeJetOfLedger(const QString& ledgerPath, const QString& jetPath);
