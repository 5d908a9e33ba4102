#pragma once

#include <QStringList>
#include <vector>

// A list a screen makes whole from the ledger's figures, as text, for a
// grid that only shows it.
struct TextTable {
    QStringList titles;
    std::vector<QStringList> rows;
    // Figures, shown right-aligned.
    std::vector<int> figureColumns;
    // A row set apart in bold (a total line); -1 for none.
    int boldRow = -1;

    bool operator==(const TextTable&) const = default;
};
