#pragma once

#include "ledger/Statements.h"

#include <functional>
#include <memory>
#include <vector>

class QPageLayout;
class QPagedPaintDevice;
class QPainter;
class StatementLayout;

// Statements laid out once on the pages of a device, so that any one page
// can be painted on its own: a preview shows the first at once.
class StatementPages {
public:
    StatementPages(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements);
    ~StatementPages();
    int pageCount() const;
    // With the painter's origin at the top left of the page's printable area,
    // in the device's pixels.
    void paintPage(QPainter& painter, int page) const;

private:
    std::vector<std::unique_ptr<StatementLayout>> layouts_;
    std::vector<std::pair<int, int>> pages_;  // statement, its own page
};

// Lays statements out on the pages of a printer or a PDF file: each one
// starts on a new page, long ones go on over more pages with the column
// titles again, and every page carries the producer and "Sayfa n/m" of
// its statement. A5 keeps a readable type by setting two figures in one
// column; a long note goes on over more lines. False when the device
// cannot be painted on.
// Told before each page; false stops.
bool printStatements(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements,
                     const std::function<bool(int done, int total)>& progress = {});

// Writes the statements as a PDF file in place of `path`, whole or not at
// all: a failure, or a stop asked through progress, leaves the file that was
// there. Returns why it was not written, in Turkish (empty when it was).
QString writeStatementsPdf(const QString& path, const QPageLayout& layout, int resolution,
                           const std::vector<AccountStatement>& statements,
                           const std::function<bool(int done, int total)>& progress = {});
