#include "ledger/print/StatementPrint.h"

#include "ledger/print/SettlementPrint.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

using C = AccountStatement::Column;

// The columns of the paper: on A4 one figure each; on A5 two figures share
// a column, one above the other, so that the type stays readable.
using Slots = std::vector<std::vector<int>>;
const Slots kWideSlots = {{C::Tarih}, {C::FisNo}, {C::Aciklama}, {C::Sabah}, {C::Aksam},
                          {C::Fiyat}, {C::Miktar}, {C::Borc}, {C::Alacak}, {C::Bakiye}};
const Slots kNarrowSlots = {{C::Tarih, C::FisNo}, {C::Aciklama}, {C::Sabah, C::Aksam}, {C::Fiyat, C::Miktar},
                            {C::Borc}, {C::Alacak}, {C::Bakiye}};
constexpr qreal kWidePoints = 9;
constexpr qreal kNarrowPoints = 8;
// Where a wide face must be made smaller to fit, never below this.
constexpr qreal kSmallestPoints = 5;
// Narrower than this (in millimetres) the paper takes the A5 columns.
constexpr qreal kNarrowPaper = 160;
const QColor kShade(236, 236, 236);

bool isNoteSlot(const std::vector<int>& slot) { return slot.front() == C::Aciklama; }

QFont fontOf(const QString& family, qreal points, bool bold) { return printFont(family, points, bold); }

}  // namespace

// Carries every Turkish letter; installed with the program's fonts.
QFont printFont(const QString& family, qreal points, bool bold)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Widths of texts in one font on one device, measured once: dates, prices
// and litres come back on every statement of a long run.
class TextWidths {
public:
    TextWidths(const QFont& font, QPaintDevice& device) : metrics_(font, &device) {}
    qreal operator()(const QString& text)
    {
        if (text.isEmpty()) return 0;
        const auto found = widths_.constFind(text);
        if (found != widths_.constEnd()) return *found;
        return *widths_.insert(text, metrics_.horizontalAdvance(text));
    }

private:
    QFontMetricsF metrics_;
    QHash<QString, qreal> widths_;
};

// One statement's layout on pages of one size.
class StatementLayout {
public:
    StatementLayout(QPaintDevice& device, const AccountStatement& statement, const QSizeF& area, bool narrow,
                    const QString& family, qreal points, TextWidths& bodyWidths, TextWidths& boldWidths)
        : device_(device), statement_(statement), area_(area), slots_(narrow ? kNarrowSlots : kWideSlots)
    {
        body_ = fontOf(family, points, false);
        bold_ = fontOf(family, points, true);
        heading_ = fontOf(family, points * 1.4, true);
        closing_ = fontOf(family, points * 1.2, true);
        const QFontMetricsF metrics(bold_, &device_);
        line_ = metrics.lineSpacing();
        pad_ = metrics.horizontalAdvance(QStringLiteral("0"));
        headingHeight_ = QFontMetricsF(heading_, &device_).lineSpacing() * 1.3;

        // One pass over the rows measures the columns and notes what each row
        // holds; the heights follow once the note's width is known.
        filled_.reserve(statement_.lines.size() + 1);
        measureColumns(bodyWidths, boldWidths, filled_);
    }

    // The rows' heights and the pages, once the columns are settled.
    void paginate()
    {
        heights_.reserve(filled_.size());
        for (size_t row = 0; row < filled_.size(); ++row)
            heights_.push_back(rowHeight(static_cast<int>(row), filled_[row]));
        filled_ = {};
        breakIntoPages();
    }

    int pageCount() const { return static_cast<int>(pages_.size()); }
    // The figures' columns and the note's least width, against the paper's.
    qreal neededWidth() const { return needed_; }
    bool fits() const { return needed_ <= area_.width(); }

    void paintPage(QPainter& painter, int page) const
    {
        const Page& p = pages_[static_cast<size_t>(page)];
        qreal y = paintHeading(painter, page == 0);
        y = paintRow(painter, y, AccountStatement::kColumnTitles, bold_, false, titleHeight());
        painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        for (int row = p.first; row < p.last; ++row)
            y = paintRow(painter, y, cellsOf(row), body_, row % 2 == 1, heights_[static_cast<size_t>(row)]);
        if (p.totals) paintTotals(painter, y);
        paintFooter(painter, page);
    }

private:
    struct Page {
        int first;  // rows, the balance brought forward being row 0
        int last;
        bool totals;
    };

    // Made when needed: a long run keeps only the figures, not their texts.
    QStringList cellsOf(int row) const
    {
        return row == 0 ? statement_.openingCells() : statement_.lines[static_cast<size_t>(row - 1)].cells();
    }

    // Each column as wide as its widest figure or title; the note takes
    // what is left and goes on over more lines. Notes for each row which
    // of its cells hold anything.
    void measureColumns(TextWidths& body, TextWidths& bold, std::vector<int>& filled)
    {
        widths_.assign(slots_.size(), 0);
        const auto widen = [&](const QStringList& cells, TextWidths& measure) {
            for (size_t s = 0; s < slots_.size(); ++s) {
                if (isNoteSlot(slots_[s])) continue;
                for (int field : slots_[s]) widths_[s] = std::max(widths_[s], measure(cells[field]) + 2 * pad_);
            }
        };
        widen(AccountStatement::kColumnTitles, bold);
        widen(statement_.totalCells(), bold);
        for (int row = 0; row <= static_cast<int>(statement_.lines.size()); ++row) {
            const QStringList cells = cellsOf(row);
            widen(cells, body);
            int mask = 0;
            for (int field = 0; field < cells.size(); ++field)
                if (!cells[field].isEmpty()) mask |= 1 << field;
            filled.push_back(mask);
        }
        qreal fixed = 0;
        for (size_t s = 0; s < slots_.size(); ++s)
            if (!isNoteSlot(slots_[s])) fixed += widths_[s];
        const qreal noteMinimum = bold(AccountStatement::kRoundingNote) + 2 * pad_;
        needed_ = fixed + noteMinimum;
        qreal x = 0;
        for (size_t s = 0; s < slots_.size(); ++s) {
            if (isNoteSlot(slots_[s])) widths_[s] = std::max(noteMinimum, area_.width() - fixed);
            lefts_.push_back(x);
            x += widths_[s];
        }
    }

    // The note's lines at its column's width.
    int noteLines(const QString& note, const QFont& font) const
    {
        if (note.isEmpty()) return 1;
        const QFontMetricsF metrics(font, &device_);
        const qreal width = widths_[noteSlot()] - 2 * pad_;
        if (metrics.horizontalAdvance(note) <= width) return 1;
        const QRectF used = metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, note);
        return std::max(1, static_cast<int>(std::lround(used.height() / metrics.lineSpacing())));
    }

    size_t noteSlot() const
    {
        for (size_t s = 0; s < slots_.size(); ++s)
            if (isNoteSlot(slots_[s])) return s;
        return 0;
    }

    // As many lines as its note needs or as the figures stacked in a column.
    qreal rowHeight(int row, int filled) const
    {
        const QString& note = row == 0 ? AccountStatement::kOpeningNote
                                       : statement_.lines[static_cast<size_t>(row - 1)].aciklama;
        int lines = noteLines(note, body_);
        for (const std::vector<int>& slot : slots_)
            for (size_t i = 0; i < slot.size(); ++i)
                if (filled & (1 << slot[i])) lines = std::max(lines, static_cast<int>(i) + 1);
        return lines * line_ + line_ * 0.35;
    }

    qreal titleHeight() const
    {
        size_t stacked = 1;
        for (const std::vector<int>& slot : slots_) stacked = std::max(stacked, slot.size());
        return static_cast<qreal>(stacked) * line_ + line_ * 0.35;
    }

    qreal headingHeight(bool first) const
    {
        const int lines = first ? static_cast<int>(statement_.headerLines().size()) : 1;
        return headingHeight_ + lines * line_ * 1.2 + line_ * 0.6;
    }
    qreal totalsHeight() const
    {
        if (heights_.empty()) return 0;
        const auto summary = static_cast<qreal>(statement_.summaryLines().size());
        return line_ * 1.35 + line_ * 0.6 + summary * line_ * 1.2 + line_ * 1.6;
    }
    qreal footerHeight() const { return line_ * 1.9; }

    void breakIntoPages()
    {
        const int rows = static_cast<int>(heights_.size());
        int row = 0;
        bool first = true;
        for (;;) {
            const qreal room = area_.height() - headingHeight(first) - titleHeight() - footerHeight();
            qreal used = 0;
            int last = row;
            // At least one row a page, however tall.
            while (last < rows && (last == row || used + heights_[static_cast<size_t>(last)] <= room))
                used += heights_[static_cast<size_t>(last++)];
            const bool totals = last == rows && used + totalsHeight() <= room;
            pages_.push_back({row, last, totals});
            row = last;
            first = false;
            if (totals) break;
        }
    }

    // The product's line and the title; on the first page the producer and
    // the period, on the others the producer alone. Returns where it ends.
    qreal paintHeading(QPainter& painter, bool first) const
    {
        painter.setFont(heading_);
        const QRectF top(0, 0, area_.width(), headingHeight_);
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, AccountStatement::kProductLine);
        painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, AccountStatement::kTitle);
        qreal y = headingHeight_;
        painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        painter.setFont(body_);
        const QStringList lines = first ? statement_.headerLines()
                                        : QStringList{statement_.headerLines().mid(0, 2).join(QStringLiteral("   "))};
        const QFontMetricsF metrics(body_, &device_);
        for (const QString& line : lines) {
            painter.drawText(QRectF(0, y, area_.width(), line_ * 1.2), Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(line, Qt::ElideRight, area_.width()));
            y += line_ * 1.2;
        }
        return y + line_ * 0.6;
    }

    // Returns where the row ends.
    qreal paintRow(QPainter& painter, qreal y, const QStringList& cells, const QFont& font, bool shaded, qreal height) const
    {
        if (shaded) painter.fillRect(QRectF(0, y, area_.width(), height), kShade);
        painter.setFont(font);
        const qreal top = y + line_ * 0.175;
        for (size_t s = 0; s < slots_.size(); ++s) {
            const qreal left = lefts_[s] + pad_;
            const qreal width = widths_[s] - 2 * pad_;
            if (isNoteSlot(slots_[s])) {
                if (cells[C::Aciklama].isEmpty()) continue;
                painter.drawText(QRectF(left, top, width, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                 cells[C::Aciklama]);
                continue;
            }
            for (size_t i = 0; i < slots_[s].size(); ++i) {
                const int field = slots_[s][i];
                if (cells[field].isEmpty()) continue;
                const Qt::Alignment side = AccountStatement::isNumberColumn(field) ? Qt::AlignRight : Qt::AlignLeft;
                painter.drawText(QRectF(left, top + static_cast<qreal>(i) * line_, width, line_), side | Qt::AlignVCenter,
                                 cells[field]);
            }
        }
        return y + height;
    }

    void paintTotals(QPainter& painter, qreal y) const
    {
        painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        y = paintRow(painter, y, statement_.totalCells(), bold_, false, line_ * 1.35) + line_ * 0.6;
        painter.setFont(body_);
        for (const QString& line : statement_.summaryLines()) {
            painter.drawText(QRectF(0, y, area_.width(), line_ * 1.2), Qt::AlignRight | Qt::AlignVCenter, line);
            y += line_ * 1.2;
        }
        painter.setFont(closing_);
        painter.drawText(QRectF(0, y, area_.width(), line_ * 1.6), Qt::AlignRight | Qt::AlignVCenter,
                         statement_.closingLine());
    }

    void paintFooter(QPainter& painter, int page) const
    {
        const qreal y = area_.height() - line_ * 1.2;
        painter.drawLine(QPointF(0, y - line_ * 0.3), QPointF(area_.width(), y - line_ * 0.3));
        painter.setFont(body_);
        const QFontMetricsF metrics(body_, &device_);
        const QString pageText = AccountStatement::pageText(page + 1, pageCount());
        const qreal pageWidth = metrics.horizontalAdvance(pageText);
        // However long the code and name, they stop short of the page number.
        const QString who = metrics.elidedText(statement_.kodu + QStringLiteral(" - ") + statement_.adi, Qt::ElideRight,
                                               area_.width() - pageWidth - 4 * pad_);
        const QRectF strip(0, y, area_.width(), line_ * 1.2);
        painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter, who);
        painter.drawText(strip, Qt::AlignRight | Qt::AlignVCenter, pageText);
    }

    QPaintDevice& device_;
    const AccountStatement& statement_;
    QSizeF area_;
    Slots slots_;
    QFont body_, bold_, heading_, closing_;
    qreal line_ = 0;
    qreal pad_ = 0;
    qreal headingHeight_ = 0;
    qreal needed_ = 0;
    std::vector<int> filled_;
    std::vector<qreal> heights_;
    std::vector<qreal> widths_;
    std::vector<qreal> lefts_;
    std::vector<Page> pages_;
};

struct StatementPages::Measures {
    Measures(const QString& family, qreal size, QPaintDevice& device)
        : points(size), body(fontOf(family, size, false), device), bold(fontOf(family, size, true), device)
    {
    }
    qreal points;
    TextWidths body;
    TextWidths bold;
};

StatementPages::StatementPages(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements,
                               const QString& family)
{
    const QPageLayout page = device.pageLayout();
    const QSizeF area = page.paintRectPixels(device.logicalDpiX()).size();
    const bool narrow = page.fullRect(QPageLayout::Millimeter).width() < kNarrowPaper;
    const auto measuresAt = [&](qreal points) -> Measures& {
        for (const auto& m : measures_)
            if (m->points == points) return *m;
        return *measures_.emplace_back(std::make_unique<Measures>(family, points, device));
    };
    layouts_.reserve(statements.size());
    for (const AccountStatement& statement : statements) {
        qreal points = narrow ? kNarrowPoints : kWidePoints;
        for (;;) {
            Measures& m = measuresAt(points);
            auto layout = std::make_unique<StatementLayout>(device, statement, area, narrow, family, points, m.body, m.bold);
            if (layout->fits() || points <= kSmallestPoints) {
                layout->paginate();
                layouts_.push_back(std::move(layout));
                break;
            }
            // Widths grow with the size: scaled by what is missing, in
            // tenths of a point, and at least one tenth smaller each time.
            const qreal scaled = std::floor(points * area.width() / layout->neededWidth() * 10) / 10;
            points = std::max(kSmallestPoints, std::min(scaled, points - 0.1));
        }
        for (int p = 0; p < layouts_.back()->pageCount(); ++p)
            pages_.emplace_back(static_cast<int>(layouts_.size()) - 1, p);
    }
}

StatementPages::~StatementPages() = default;

int StatementPages::pageCount() const
{
    return static_cast<int>(pages_.size());
}

void StatementPages::paintPage(QPainter& painter, int page) const
{
    // Lines a fifth of a millimetre wide, whatever the resolution.
    painter.setPen(QPen(Qt::black, painter.device()->logicalDpiX() * 0.2 / 25.4));
    const auto& [layout, own] = pages_[static_cast<size_t>(page)];
    layouts_[static_cast<size_t>(layout)]->paintPage(painter, own);
}

QString StatementPages::title() const
{
    return AccountStatement::kTitle;
}

bool printStatements(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements,
                     const std::function<bool(int done, int total)>& progress, const QString& family)
{
    return printPages(device, StatementPages(device, statements, family), progress);
}

QString writeStatementsPdf(const QString& path, const QPageLayout& layout, int resolution,
                           const std::vector<AccountStatement>& statements,
                           const std::function<bool(int done, int total)>& progress)
{
    return writePagesPdf(
        path, layout, resolution,
        [&statements](QPagedPaintDevice& device) { return std::make_unique<StatementPages>(device, statements); }, progress);
}
