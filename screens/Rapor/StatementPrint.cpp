#include "screens/Rapor/StatementPrint.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNoteColumn = 1;
constexpr qreal kLargestPoints = 10;
constexpr qreal kSmallestPoints = 5;
// Room for the totals row, a gap and the closing line.
constexpr int kTotalsRows = 3;
const QColor kShade(236, 236, 236);

// Carries every Turkish letter; installed with the program's fonts.
QFont fontOf(qreal points, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// One statement's layout on pages of one size.
class StatementLayout {
public:
    StatementLayout(QPaintDevice& device, const AccountStatement& statement, const QSizeF& area)
        : device_(device), statement_(statement), area_(area)
    {
        // The widest figure decides the type: it is made as large as fits.
        qreal points = kLargestPoints;
        fit(points);
        const qreal needed = fixedWidth_ + noteMinimum_;
        if (needed > area_.width()) {
            points = std::max(kSmallestPoints, points * area_.width() / needed);
            fit(points);
        }
        const qreal note = std::max(noteMinimum_, area_.width() - fixedWidth_);
        widths_[kNoteColumn] = note;
        qreal x = 0;
        for (qreal w : widths_) {
            lefts_.push_back(x);
            x += w;
        }
        paginate();
    }

    int pageCount() const { return static_cast<int>(pages_.size()); }

    void paintPage(QPainter& painter, int page) const
    {
        const Page& p = pages_[static_cast<size_t>(page)];
        qreal y = paintHeading(painter, page == 0);
        paintRow(painter, y, AccountStatement::kColumnTitles, bold_, false);
        y += rowHeight_;
        painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        for (int row = p.first; row < p.last; ++row) {
            const QStringList cells = row == 0 ? statement_.openingCells()
                                               : statement_.lines[static_cast<size_t>(row - 1)].cells();
            paintRow(painter, y, cells, body_, row % 2 == 1);
            y += rowHeight_;
        }
        if (p.totals) {
            painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
            paintRow(painter, y, statement_.totalCells(), bold_, false);
            y += rowHeight_ * 1.5;
            painter.setFont(closing_);
            painter.drawText(QRectF(0, y, area_.width(), rowHeight_ * 1.3), Qt::AlignRight | Qt::AlignVCenter,
                             statement_.closingLine());
        }
        paintFooter(painter, page);
    }

private:
    struct Page {
        int first;  // rows, the balance brought forward being row 0
        int last;
        bool totals;
    };

    void fit(qreal points)
    {
        body_ = fontOf(points, false);
        bold_ = fontOf(points, true);
        heading_ = fontOf(points * 1.4, true);
        closing_ = fontOf(points * 1.2, true);
        const QFontMetricsF body(body_, &device_);
        const QFontMetricsF bold(bold_, &device_);
        const qreal pad = bold.horizontalAdvance(QStringLiteral("00"));
        const int columns = static_cast<int>(AccountStatement::kColumnTitles.size());
        widths_.assign(static_cast<size_t>(columns), 0);
        auto widen = [&](const QStringList& cells, const QFontMetricsF& metrics) {
            for (int c = 0; c < columns; ++c)
                widths_[static_cast<size_t>(c)] = std::max(widths_[static_cast<size_t>(c)],
                                                           metrics.horizontalAdvance(cells[c]) + pad);
        };
        widen(AccountStatement::kColumnTitles, bold);
        widen(statement_.openingCells(), body);
        widen(statement_.totalCells(), bold);
        for (const AccountStatementLine& line : statement_.lines) widen(line.cells(), body);
        // The note takes what is left and is cut short when it runs out.
        noteMinimum_ = std::max(bold.horizontalAdvance(QStringLiteral("Devreden Bakiye")) + pad,
                                std::min(widths_[kNoteColumn], bold.horizontalAdvance(QStringLiteral("0")) * 24));
        fixedWidth_ = 0;
        for (int c = 0; c < columns; ++c)
            if (c != kNoteColumn) fixedWidth_ += widths_[static_cast<size_t>(c)];
        rowHeight_ = body.lineSpacing() * 1.35;
        lineHeight_ = body.lineSpacing() * 1.2;
        headingHeight_ = QFontMetricsF(heading_, &device_).lineSpacing() * 1.3;
    }

    qreal headingHeight(bool first) const
    {
        const int lines = first ? static_cast<int>(statement_.headerLines().size()) : 1;
        return headingHeight_ + lines * lineHeight_ + lineHeight_ * 0.6;
    }
    qreal footerHeight() const { return lineHeight_ * 1.6; }

    void paginate()
    {
        const int rows = 1 + static_cast<int>(statement_.lines.size());
        int row = 0;
        bool first = true;
        for (;;) {
            const qreal room = area_.height() - headingHeight(first) - rowHeight_ - footerHeight();
            const int capacity = std::max(1, static_cast<int>(std::floor(room / rowHeight_)));
            const int take = std::min(capacity, rows - row);
            const bool totals = row + take == rows && (capacity - take >= kTotalsRows || take == 0);
            pages_.push_back({row, row + take, totals});
            row += take;
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
        for (const QString& line : lines) {
            painter.drawText(QRectF(0, y, area_.width(), lineHeight_), Qt::AlignLeft | Qt::AlignVCenter, line);
            y += lineHeight_;
        }
        return y + lineHeight_ * 0.6;
    }

    void paintRow(QPainter& painter, qreal y, const QStringList& cells, const QFont& font, bool shaded) const
    {
        if (shaded) painter.fillRect(QRectF(0, y, area_.width(), rowHeight_), kShade);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device_);
        const qreal pad = metrics.horizontalAdvance(QLatin1Char('0')) / 2;
        for (int c = 0; c < cells.size(); ++c) {
            const QRectF cell(lefts_[static_cast<size_t>(c)] + pad, y, widths_[static_cast<size_t>(c)] - 2 * pad, rowHeight_);
            const QString text = metrics.elidedText(cells[c], Qt::ElideRight, cell.width());
            const Qt::Alignment side = AccountStatement::isNumberColumn(c) ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(cell, side | Qt::AlignVCenter, text);
        }
    }

    void paintFooter(QPainter& painter, int page) const
    {
        const qreal y = area_.height() - lineHeight_;
        painter.drawLine(QPointF(0, y - lineHeight_ * 0.3), QPointF(area_.width(), y - lineHeight_ * 0.3));
        painter.setFont(body_);
        const QRectF strip(0, y, area_.width(), lineHeight_);
        painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter,
                         statement_.kodu + QStringLiteral(" - ") + statement_.adi);
        painter.drawText(strip, Qt::AlignRight | Qt::AlignVCenter, AccountStatement::pageText(page + 1, pageCount()));
    }

    QPaintDevice& device_;
    const AccountStatement& statement_;
    QSizeF area_;
    QFont body_, bold_, heading_, closing_;
    std::vector<qreal> widths_;
    std::vector<qreal> lefts_;
    qreal noteMinimum_ = 0;
    qreal fixedWidth_ = 0;
    qreal rowHeight_ = 0;
    qreal lineHeight_ = 0;
    qreal headingHeight_ = 0;
    std::vector<Page> pages_;
};

}  // namespace

bool printStatements(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements)
{
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // Lines a fifth of a millimetre wide, whatever the resolution.
    painter.setPen(QPen(Qt::black, device.logicalDpiX() * 0.2 / 25.4));
    const QSizeF area = device.pageLayout().paintRectPixels(device.logicalDpiX()).size();
    bool firstPage = true;
    for (const AccountStatement& statement : statements) {
        const StatementLayout layout(device, statement, area);
        for (int page = 0; page < layout.pageCount(); ++page) {
            if (!firstPage) device.newPage();
            firstPage = false;
            layout.paintPage(painter, page);
        }
    }
    painter.end();
    return true;
}
