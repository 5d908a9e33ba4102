#pragma once

#include "ledger/Statements.h"
#include "ledger/print/PagedDocument.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPageLayout;
class QPagedPaintDevice;
class QFont;
class QPainter;
class StatementLayout;
class TextWidths;

// The face statements are laid out for; installed with the program. Where
// the system gives another, its own widths are measured.
inline const QString kStatementFontFamily = QStringLiteral("Liberation Sans");
// The face at a size; every printed paper takes its type from here.
QFont printFont(const QString& family, qreal points, bool bold);

// Statements laid out once on the pages of a device, so that any one page
// can be painted on its own: a preview shows the first at once. Every
// column is as wide as the font in use measures its widest figure; where
// they do not all fit across the paper at the usual size, that statement's
// type is made smaller until they do, so no figure is ever cut.
class StatementPages : public PagedDocument {
public:
    StatementPages(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements,
                   const QString& family = kStatementFontFamily);
    ~StatementPages() override;
    int pageCount() const override;
    void paintPage(QPainter& painter, int page) const override;
    QString title() const override;

private:
    // Widths measured in one size of the face, kept for every statement
    // laid out in it.
    struct Measures;
    std::vector<std::unique_ptr<Measures>> measures_;
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
                     const std::function<bool(int done, int total)>& progress = {},
                     const QString& family = kStatementFontFamily);

// Writes the statements as a PDF file in place of `path`, whole or not at
// all: a failure, or a stop asked through progress, leaves the file that was
// there. Returns why it was not written, in Turkish (empty when it was).
QString writeStatementsPdf(const QString& path, const QPageLayout& layout, int resolution,
                           const std::vector<AccountStatement>& statements,
                           const std::function<bool(int done, int total)>& progress = {});
