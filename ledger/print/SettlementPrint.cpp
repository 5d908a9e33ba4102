#include "ledger/print/SettlementPrint.h"

#include "common/Conversions.h"
#include "common/Iban.h"
#include "ledger/print/StatementPrint.h"
#include "store/NewFile.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString kSlipTitle = QStringLiteral("Hakediş Pusulası");
const QString kPayoutTitle = QStringLiteral("Ödeme Listesi");
const QString kTotal = QStringLiteral("Toplam");
const QString kPlus = QStringLiteral("+");
const QString kMinus = QString(QChar(0x2212));

constexpr qreal kUsualPoints = 10;
// Where a slip or the list must be made smaller to fit, never below this.
constexpr qreal kSmallestPoints = 6;
// Between the two slips of an A4 page, in millimetres, the cut line in its middle.
constexpr qreal kCutGap = 10;
const QColor kShade(236, 236, 236);

qreal pixels(const QPaintDevice& device, qreal mm)
{
    return device.logicalDpiY() * mm / 25.4;
}

// The faces of one size on one device.
struct Type {
    Type(const QPaintDevice& device, qreal points)
        : points(points), body(printFont(kStatementFontFamily, points, false)),
          bold(printFont(kStatementFontFamily, points, true)),
          heading(printFont(kStatementFontFamily, points * 1.3, true)),
          small(printFont(kStatementFontFamily, points * 0.8, false)), device_(device)
    {
        const QFontMetricsF metrics(body, &device_);
        line = metrics.lineSpacing();
        pad = metrics.horizontalAdvance(QStringLiteral("0"));
    }
    qreal width(const QFont& font, const QString& text) const
    {
        return text.isEmpty() ? 0 : QFontMetricsF(font, &device_).horizontalAdvance(text);
    }
    qreal spacing(const QFont& font) const { return QFontMetricsF(font, &device_).lineSpacing(); }
    QString elided(const QFont& font, const QString& text, qreal width) const
    {
        return QFontMetricsF(font, &device_).elidedText(text, Qt::ElideRight, width);
    }

    qreal points;
    QFont body, bold, heading, small;
    qreal line = 0;
    qreal pad = 0;

private:
    const QPaintDevice& device_;
};

// Lines a fifth of a millimetre wide, whatever the resolution.
void thinPen(QPainter& painter)
{
    painter.setPen(QPen(Qt::black, painter.device()->logicalDpiX() * 0.2 / 25.4));
}

// Smaller by what is missing, in tenths of a point, and at least one tenth
// each time; never below the smallest.
qreal smallerToFit(qreal points, qreal ratio)
{
    return std::max(kSmallestPoints, std::min(std::floor(points * ratio * 10) / 10, points - 0.1));
}

// ---- The slip ----

// What the line is, its litres, its price or rate, the sign it is added
// with, its amount.
enum SlipColumn { Label, Litre, Fiyat, Sign, Amount, kSlipColumns };

struct SlipRow {
    // Text: a line across the slip. Sum and Result carry a rule above their
    // amount; a Result is the slip's own figure, in bold.
    enum Kind { Text, Titles, Entry, Sum, Result, Gap } kind = Entry;
    std::array<QString, kSlipColumns> cells;
    bool bold = false;
};

// The rows of a producer's slip, every figure as the settlement holds it:
// each sum is of the figures above it, each sign says how it is added.
std::vector<SlipRow> slipRows(const Settlement& settlement, const SettlementLine& line)
{
    std::vector<SlipRow> rows;
    const auto text = [&rows](const QString& text, bool bold) {
        SlipRow row{SlipRow::Text, {}, bold};
        row.cells[Label] = text;
        rows.push_back(row);
    };
    const auto add = [&rows](SlipRow::Kind kind, const QString& label, const QString& litre, const QString& fiyat,
                             const QString& sign, const QString& amount) {
        rows.push_back({kind, {label, litre, fiyat, sign, amount}, false});
    };
    // Shown as a sign and a figure without one, so that a calculator takes
    // it as printed.
    const auto addSigned = [&add](const QString& label, const Money& amount, bool taken) {
        const bool less = amount.isZero() ? taken : amount.isNegative() != taken;
        add(SlipRow::Entry, label, {}, {}, less ? kMinus : kPlus, (amount.isNegative() ? amount.negated() : amount).text());
    };
    const auto gap = [&rows] { rows.push_back({SlipRow::Gap, {}, false}); };

    text(line.adi, true);
    text(QStringLiteral("Kodu: ") + line.kodu + (line.koy.isEmpty() ? QString() : QStringLiteral("     Köy: ") + line.koy),
         false);
    text(QStringLiteral("IBAN: ") + (line.iban.isEmpty() ? QStringLiteral("—") : ibanGroups(line.iban)), false);
    text(QStringLiteral("Dönem: ") + settlement.periodText(), false);
    // The period's fat and protein, where they were measured.
    const QStringList quality = line.ortalama.lines();
    if (!quality.isEmpty()) text(quality.join(QStringLiteral("     ")), false);
    gap();

    add(SlipRow::Titles, {}, QStringLiteral("Litre"), QStringLiteral("Fiyat"), {}, QStringLiteral("Tutar"));
    Money priced;
    for (const PriceLine& price : line.fiyatlar) {
        add(SlipRow::Entry, {}, price.litre.text(), perLitreText(price.fiyat), {}, price.tutar.text());
        priced += price.tutar;
    }
    // Each price's amount is rounded on its own, the milk money once.
    if (priced != line.sutTutari) addSigned(AccountStatement::kRoundingNote, line.sutTutari - priced, false);
    add(SlipRow::Sum, QStringLiteral("Süt Tutarı"), {}, {}, {}, line.sutTutari.text());
    gap();

    for (size_t i = 0; i < settlement.rates.size() && i < line.kesintiler.size(); ++i)
        add(SlipRow::Entry, settlement.rates[i].adi, {}, settlement.rates[i].text(), {}, line.kesintiler[i].text());
    add(settlement.rates.empty() ? SlipRow::Entry : SlipRow::Sum, QStringLiteral("Kesinti Toplamı"), {}, {}, kMinus,
        line.kesintiToplami().text());
    add(SlipRow::Result, QStringLiteral("Net Süt Bedeli"), {}, {}, {}, line.net().text());
    gap();

    addSigned(QStringLiteral("Devreden Bakiye"), line.devreden, false);
    addSigned(QStringLiteral("Dönem Ödemeleri"), line.donemOdemeleri, true);
    add(SlipRow::Result, QStringLiteral("Ödenecek"), {}, {}, {}, line.odenecek().text());
    if (!line.yuvarlamaFarki().isZero()) {
        addSigned(AccountStatement::kRoundingNote, line.yuvarlamaFarki(), false);
        add(SlipRow::Sum, QStringLiteral("Defterdeki bakiye"), {}, {}, {}, line.defterBakiyesi.text());
    }
    return rows;
}

// One producer's slip laid out in a box of one size: on one box, or where
// it is too long even in the smallest type, over more.
class SlipLayout {
public:
    SlipLayout(const QPaintDevice& device, const Settlement& settlement, const SettlementLine& line, const QSizeF& box,
               qreal points)
        : type_(device, points), rows_(slipRows(settlement, line)), box_(box)
    {
        if (settlement.posting)
            posted_ = QStringLiteral("Kaydedildi ") + settlement.posting->zaman.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        continued_ = line.adi + QStringLiteral(" (devam)");
        measure();
    }

    bool fits() const { return width_ <= box_.width() && height_ <= box_.height(); }
    // How much smaller the type must be, at most 1.
    qreal shortfall() const { return std::min({1.0, box_.width() / width_, box_.height() / height_}); }

    // The rows each box holds, the signatures under the last.
    void breakIntoBoxes()
    {
        const int count = static_cast<int>(rows_.size());
        int row = 0;
        do {
            qreal room = box_.height() - headingHeight() - (parts_.empty() ? 0 : rowHeight(SlipRow::Text));
            int last = row;
            while (last < count && (last == row || rowHeight(rows_[static_cast<size_t>(last)].kind) <= room))
                room -= rowHeight(rows_[static_cast<size_t>(last++)].kind);
            // The signatures go with the last rows, on a box of their own if need be.
            if (last == count && room < signaturesHeight() && last - row > 1) --last;
            parts_.emplace_back(row, last);
            row = last;
        } while (row < count);
        const qreal lead = parts_.size() > 1 ? rowHeight(SlipRow::Text) : 0;
        if (box_.height() - headingHeight() - lead - rowsHeight(parts_.back()) < signaturesHeight())
            parts_.emplace_back(count, count);
    }

    int boxCount() const { return static_cast<int>(parts_.size()); }

    // With the painter's origin at the box's top left.
    void paint(QPainter& painter, int part) const
    {
        qreal y = paintHeading(painter);
        const auto& [first, last] = parts_[static_cast<size_t>(part)];
        if (part > 0) y = paintRow(painter, y, {SlipRow::Text, {continued_}, false});
        for (int row = first; row < last; ++row) y = paintRow(painter, y, rows_[static_cast<size_t>(row)]);
        if (part == boxCount() - 1) paintSignatures(painter, y);
    }

private:
    qreal headingHeight() const
    {
        return type_.spacing(type_.heading) * 1.2 + (posted_.isEmpty() ? 0 : type_.spacing(type_.small)) + type_.line * 0.5;
    }
    qreal rowHeight(SlipRow::Kind kind) const
    {
        switch (kind) {
        case SlipRow::Text: return type_.line * 1.2;
        case SlipRow::Gap: return type_.line * 0.5;
        default: return type_.line * 1.3;
        }
    }
    qreal rowsHeight(const std::pair<int, int>& part) const
    {
        qreal height = 0;
        for (int row = part.first; row < part.second; ++row) height += rowHeight(rows_[static_cast<size_t>(row)].kind);
        return height;
    }
    qreal signaturesHeight() const { return type_.line * 5.5; }

    const QFont& fontOf(const SlipRow& row) const
    {
        const bool bold = row.bold || row.kind == SlipRow::Titles || row.kind == SlipRow::Result;
        return bold ? type_.bold : type_.body;
    }

    // Each figure's column as wide as its widest; the line's name takes the rest.
    void measure()
    {
        widths_.fill(0);
        qreal across = type_.width(type_.heading, AccountStatement::kProductLine) + type_.width(type_.heading, kSlipTitle) + 4 * type_.pad;
        for (const SlipRow& row : rows_) {
            const QFont& font = fontOf(row);
            if (row.kind == SlipRow::Text) {
                across = std::max(across, type_.width(font, row.cells[Label]));
                continue;
            }
            for (int c = 0; c < kSlipColumns; ++c)
                widths_[c] = std::max(widths_[c], type_.width(c == Label && row.kind != SlipRow::Entry ? type_.bold : font,
                                                              row.cells[c]) + 2 * type_.pad);
        }
        across = std::max(across, type_.width(type_.body, continued_));
        widths_[Sign] = std::max(widths_[Sign], type_.width(type_.body, kMinus) + 2 * type_.pad);
        qreal figures = 0;
        for (int c = Litre; c < kSlipColumns; ++c) figures += widths_[c];
        width_ = std::max(across, widths_[Label] + figures);
        // The figures stand at the right edge; the names take what is left.
        widths_[Label] = std::max(widths_[Label], box_.width() - figures);
        qreal x = 0;
        for (int c = 0; c < kSlipColumns; ++c) {
            lefts_[c] = x;
            x += widths_[c];
        }
        height_ = headingHeight() + signaturesHeight();
        for (const SlipRow& row : rows_) height_ += rowHeight(row.kind);
    }

    qreal paintHeading(QPainter& painter) const
    {
        painter.setFont(type_.heading);
        const QRectF top(0, 0, box_.width(), type_.spacing(type_.heading) * 1.2);
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, AccountStatement::kProductLine);
        painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, kSlipTitle);
        qreal y = top.bottom();
        if (!posted_.isEmpty()) {
            painter.setFont(type_.small);
            const qreal height = type_.spacing(type_.small);
            painter.drawText(QRectF(0, y, box_.width(), height), Qt::AlignRight | Qt::AlignVCenter, posted_);
            y += height;
        }
        y += type_.line * 0.2;
        painter.drawLine(QPointF(0, y), QPointF(box_.width(), y));
        return y + type_.line * 0.3;
    }

    qreal paintRow(QPainter& painter, qreal y, const SlipRow& row) const
    {
        const qreal height = rowHeight(row.kind);
        if (row.kind == SlipRow::Gap) return y + height;
        painter.setFont(fontOf(row));
        if (row.kind == SlipRow::Text) {
            painter.drawText(QRectF(0, y, box_.width(), height), Qt::AlignLeft | Qt::AlignVCenter,
                             type_.elided(fontOf(row), row.cells[Label], box_.width()));
            return y + height;
        }
        if (row.kind == SlipRow::Sum || row.kind == SlipRow::Result) {
            // Under the figures it sums: the amount's column, or the whole table for the slip's own figures.
            const qreal from = row.kind == SlipRow::Result ? 0 : lefts_[Amount] + type_.pad;
            painter.drawLine(QPointF(from, y + type_.line * 0.1), QPointF(box_.width(), y + type_.line * 0.1));
        }
        if (row.kind == SlipRow::Titles) painter.fillRect(QRectF(lefts_[Litre], y, box_.width() - lefts_[Litre], height), kShade);
        for (int c = 0; c < kSlipColumns; ++c) {
            if (row.cells[c].isEmpty()) continue;
            const Qt::Alignment side = c == Label ? Qt::AlignLeft : c == Sign ? Qt::AlignHCenter : Qt::AlignRight;
            painter.setFont(c == Label && row.kind != SlipRow::Entry ? type_.bold : fontOf(row));
            painter.drawText(QRectF(lefts_[c] + type_.pad, y, widths_[c] - 2 * type_.pad, height), side | Qt::AlignVCenter,
                             row.cells[c]);
        }
        return y + height;
    }

    // Two places side by side, each a name over a line to sign on.
    void paintSignatures(QPainter& painter, qreal y) const
    {
        painter.setFont(type_.bold);
        const qreal half = box_.width() / 2;
        const qreal top = std::max(y + type_.line, box_.height() - signaturesHeight() + type_.line);
        const QString names[] = {QStringLiteral("Teslim Eden"), QStringLiteral("Teslim Alan")};
        for (int side = 0; side < 2; ++side) {
            const qreal left = side * half + half * 0.1;
            const qreal width = half * 0.8;
            painter.drawText(QRectF(left, top, width, type_.line * 1.2), Qt::AlignHCenter | Qt::AlignVCenter, names[side]);
            const qreal under = top + type_.line * 4;
            painter.drawLine(QPointF(left, under), QPointF(left + width, under));
        }
    }

    Type type_;
    std::vector<SlipRow> rows_;
    QSizeF box_;
    QString posted_;
    QString continued_;
    std::array<qreal, kSlipColumns> widths_{};
    std::array<qreal, kSlipColumns> lefts_{};
    qreal width_ = 0;
    qreal height_ = 0;
    std::vector<std::pair<int, int>> parts_;
};

class SlipPages : public PagedDocument {
public:
    SlipPages(QPagedPaintDevice& device, const Settlement& settlement, bool twoPerA4) : twoPerPage_(twoPerA4)
    {
        const QPageLayout page = device.pageLayout();
        area_ = page.paintRectPixels(device.logicalDpiX()).size();
        gap_ = pixels(device, kCutGap);
        const QSizeF box(area_.width(), twoPerPage_ ? (area_.height() - gap_) / 2 : area_.height());
        for (const SettlementLine& line : settlement.lines) {
            qreal points = kUsualPoints;
            for (;;) {
                auto slip = std::make_unique<SlipLayout>(device, settlement, line, box, points);
                if (slip->fits() || points <= kSmallestPoints) {
                    slip->breakIntoBoxes();
                    for (int part = 0; part < slip->boxCount(); ++part)
                        boxes_.emplace_back(static_cast<int>(slips_.size()), part);
                    slips_.push_back(std::move(slip));
                    break;
                }
                points = smallerToFit(points, slip->shortfall());
            }
        }
        boxTop_ = box.height() + gap_;
    }

    int pageCount() const override
    {
        const int perPage = twoPerPage_ ? 2 : 1;
        return (static_cast<int>(boxes_.size()) + perPage - 1) / perPage;
    }

    void paintPage(QPainter& painter, int page) const override
    {
        thinPen(painter);
        const int perPage = twoPerPage_ ? 2 : 1;
        for (int i = 0; i < perPage; ++i) {
            const size_t box = static_cast<size_t>(page * perPage + i);
            if (box >= boxes_.size()) break;
            painter.save();
            painter.translate(0, i * boxTop_);
            slips_[static_cast<size_t>(boxes_[box].first)]->paint(painter, boxes_[box].second);
            painter.restore();
            if (i == 1) {
                // Cut along here: dashed across the paper's printable width.
                painter.save();
                QPen dashed = painter.pen();
                dashed.setStyle(Qt::DashLine);
                painter.setPen(dashed);
                const qreal y = boxTop_ - gap_ / 2;
                painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
                painter.restore();
            }
        }
    }

    QString title() const override { return kSlipTitle; }

private:
    bool twoPerPage_;
    QSizeF area_;
    qreal gap_ = 0;
    qreal boxTop_ = 0;
    std::vector<std::unique_ptr<SlipLayout>> slips_;
    std::vector<std::pair<int, int>> boxes_;  // slip, its own box
};

// ---- The payout list ----

// The bank's columns; those without an IBAN take the same, the code in the IBAN's place.
enum PayoutColumn { Name, Iban, Tutar, Note, kPayoutColumns };

struct PayoutRow {
    enum Kind { Titles, Line, Total, Section, Gap } kind = Line;
    int table = 0;  // 0: the bank's, 1: those without an IBAN
    std::array<QString, kPayoutColumns> cells;
};

class PayoutPages : public PagedDocument {
public:
    PayoutPages(QPagedPaintDevice& device, const Settlement& settlement, const PayoutList& payouts)
    {
        const QPageLayout page = device.pageLayout();
        area_ = page.paintRectPixels(device.logicalDpiX()).size();
        header_ = {QStringLiteral("Dönem: ") + settlement.periodText(), QStringLiteral("Açıklama: ") + payouts.aciklama};
        titles_[0] = {PayoutList::kColumnTitles.value(0), PayoutList::kColumnTitles.value(1),
                      PayoutList::kColumnTitles.value(2), PayoutList::kColumnTitles.value(3)};
        titles_[1] = {PayoutList::kColumnTitles.value(0), QStringLiteral("Kodu"), PayoutList::kColumnTitles.value(2), {}};
        rows_.push_back({PayoutRow::Titles, 0, titles_[0]});
        for (const Payout& payout : payouts.bank)
            rows_.push_back({PayoutRow::Line, 0, {payout.adi, ibanGroups(payout.iban), payout.tutar.text(), payouts.aciklama}});
        rows_.push_back({PayoutRow::Total, 0, {kTotal, {}, payouts.total().text(), {}}});
        if (!payouts.withoutIban.empty()) {
            rows_.push_back({PayoutRow::Gap, 1, {}});
            rows_.push_back({PayoutRow::Section, 1, {QStringLiteral("IBAN'ı olmayanlar")}});
            rows_.push_back({PayoutRow::Titles, 1, titles_[1]});
            Money sum;
            for (const Payout& payout : payouts.withoutIban) {
                rows_.push_back({PayoutRow::Line, 1, {payout.adi, payout.kodu, payout.tutar.text(), {}}});
                sum += payout.tutar;
            }
            rows_.push_back({PayoutRow::Total, 1, {kTotal, {}, sum.text(), {}}});
        }
        qreal points = kUsualPoints;
        for (;;) {
            type_ = std::make_unique<Type>(device, points);
            const qreal needed = measure();
            if (needed <= area_.width() || points <= kSmallestPoints) break;
            points = smallerToFit(points, area_.width() / needed);
        }
        breakIntoPages();
    }

    int pageCount() const override { return static_cast<int>(pages_.size()); }

    void paintPage(QPainter& painter, int page) const override
    {
        thinPen(painter);
        const auto& [first, last] = pages_[static_cast<size_t>(page)];
        qreal y = paintHeading(painter, page == 0);
        const PayoutRow& opening = rows_[static_cast<size_t>(first)];
        // A table going on from the page before shows its titles again.
        if (opening.kind == PayoutRow::Line || opening.kind == PayoutRow::Total)
            y = paintRow(painter, y, {PayoutRow::Titles, opening.table, titles_[static_cast<size_t>(opening.table)]}, false);
        for (int row = first; row < last; ++row)
            y = paintRow(painter, y, rows_[static_cast<size_t>(row)], row % 2 == 0);
        paintFooter(painter, page);
    }

    QString title() const override { return kPayoutTitle; }

private:
    const QFont& fontOf(const PayoutRow& row) const { return row.kind == PayoutRow::Line ? type_->body : type_->bold; }

    // The figures' columns as wide as their widest, the names what is left.
    qreal measure()
    {
        widths_.fill(0);
        for (const PayoutRow& row : rows_) {
            if (row.kind == PayoutRow::Section || row.kind == PayoutRow::Gap) continue;
            for (int c = 0; c < kPayoutColumns; ++c)
                widths_[c] = std::max(widths_[c], type_->width(fontOf(row), row.cells[c]) + 2 * type_->pad);
        }
        qreal fixed = 0;
        for (int c = Iban; c < kPayoutColumns; ++c) fixed += widths_[c];
        qreal needed = widths_[Name] + fixed;
        for (const QString& line : header_) needed = std::max(needed, type_->width(type_->body, line));
        needed = std::max(needed, type_->width(type_->heading, AccountStatement::kProductLine) + type_->width(type_->heading, kPayoutTitle) +
                                      4 * type_->pad);
        widths_[Name] = std::max(type_->pad * 8, area_.width() - fixed);
        qreal x = 0;
        for (int c = 0; c < kPayoutColumns; ++c) {
            lefts_[c] = x;
            x += widths_[c];
        }
        return needed;
    }

    qreal rowHeight(PayoutRow::Kind kind) const
    {
        return kind == PayoutRow::Gap ? type_->line : kind == PayoutRow::Section ? type_->line * 1.6 : type_->line * 1.35;
    }
    qreal headingHeight(bool first) const
    {
        return type_->spacing(type_->heading) * 1.3 + (first ? header_.size() * type_->line * 1.2 : 0) + type_->line * 0.6;
    }
    qreal footerHeight() const { return type_->line * 1.9; }

    void breakIntoPages()
    {
        const int count = static_cast<int>(rows_.size());
        const auto height = [this](int row) { return rowHeight(rows_[static_cast<size_t>(row)].kind); };
        int row = 0;
        while (row < count) {
            const bool first = pages_.empty();
            // A gap does not open a page.
            if (!first && rows_[static_cast<size_t>(row)].kind == PayoutRow::Gap) ++row;
            qreal room = area_.height() - headingHeight(first) - footerHeight();
            const PayoutRow::Kind opening = rows_[static_cast<size_t>(row)].kind;
            if (opening == PayoutRow::Line || opening == PayoutRow::Total) room -= rowHeight(PayoutRow::Titles);
            int last = row;
            while (last < count) {
                // A section's title and its titles stand with its first line.
                int together = 1;
                const PayoutRow::Kind kind = rows_[static_cast<size_t>(last)].kind;
                if (kind == PayoutRow::Section || kind == PayoutRow::Titles || kind == PayoutRow::Gap)
                    together = std::min(count - last, kind == PayoutRow::Titles ? 2 : 3);
                qreal needed = 0;
                for (int i = 0; i < together; ++i) needed += height(last + i);
                if (last > row && needed > room) break;
                room -= height(last);
                ++last;
            }
            pages_.emplace_back(row, last);
            row = last;
        }
    }

    qreal paintHeading(QPainter& painter, bool first) const
    {
        painter.setFont(type_->heading);
        const QRectF top(0, 0, area_.width(), type_->spacing(type_->heading) * 1.3);
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, AccountStatement::kProductLine);
        painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, kPayoutTitle);
        qreal y = top.bottom();
        painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        if (first) {
            painter.setFont(type_->body);
            for (const QString& line : header_) {
                painter.drawText(QRectF(0, y, area_.width(), type_->line * 1.2), Qt::AlignLeft | Qt::AlignVCenter, line);
                y += type_->line * 1.2;
            }
        }
        return y + type_->line * 0.6;
    }

    qreal paintRow(QPainter& painter, qreal y, const PayoutRow& row, bool shaded) const
    {
        const qreal height = rowHeight(row.kind);
        if (row.kind == PayoutRow::Gap) return y + height;
        if (row.kind == PayoutRow::Section) {
            painter.setFont(type_->bold);
            painter.drawText(QRectF(0, y, area_.width(), height), Qt::AlignLeft | Qt::AlignBottom, row.cells[Name]);
            return y + height;
        }
        if (row.kind == PayoutRow::Line && shaded) painter.fillRect(QRectF(0, y, area_.width(), height), kShade);
        if (row.kind == PayoutRow::Total) painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        painter.setFont(fontOf(row));
        for (int c = 0; c < kPayoutColumns; ++c) {
            if (row.cells[c].isEmpty()) continue;
            const qreal width = widths_[c] - 2 * type_->pad;
            // Only a name is ever shortened, and only in the smallest type.
            const QString text = c == Name ? type_->elided(fontOf(row), row.cells[c], width) : row.cells[c];
            painter.drawText(QRectF(lefts_[c] + type_->pad, y, width, height),
                             (c == Tutar ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
        }
        y += height;
        if (row.kind == PayoutRow::Titles) painter.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        return y;
    }

    void paintFooter(QPainter& painter, int page) const
    {
        const qreal y = area_.height() - type_->line * 1.2;
        painter.drawLine(QPointF(0, y - type_->line * 0.3), QPointF(area_.width(), y - type_->line * 0.3));
        painter.setFont(type_->body);
        const QRectF strip(0, y, area_.width(), type_->line * 1.2);
        painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter, header_.value(0));
        painter.drawText(strip, Qt::AlignRight | Qt::AlignVCenter, AccountStatement::pageText(page + 1, pageCount()));
    }

    QSizeF area_;
    QStringList header_;
    std::array<std::array<QString, kPayoutColumns>, 2> titles_;
    std::vector<PayoutRow> rows_;
    std::unique_ptr<Type> type_;
    std::array<qreal, kPayoutColumns> widths_{};
    std::array<qreal, kPayoutColumns> lefts_{};
    std::vector<std::pair<int, int>> pages_;  // rows
};

}  // namespace

std::unique_ptr<PagedDocument> layOutSlips(QPagedPaintDevice& device, const Settlement& settlement, bool twoPerA4)
{
    return std::make_unique<SlipPages>(device, settlement, twoPerA4);
}

std::unique_ptr<PagedDocument> layOutPayoutList(QPagedPaintDevice& device, const Settlement& settlement,
                                                const PayoutList& payouts)
{
    return std::make_unique<PayoutPages>(device, settlement, payouts);
}

bool printPages(QPagedPaintDevice& device, const PagedDocument& pages, const std::function<bool(int done, int total)>& progress)
{
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (int page = 0; page < pages.pageCount(); ++page) {
        if (progress && !progress(page, pages.pageCount())) break;
        if (page > 0) device.newPage();
        pages.paintPage(painter, page);
    }
    painter.end();
    return true;
}

QString writePagesPdf(const QString& path, const QPageLayout& layout, int resolution,
                      const std::function<std::unique_ptr<PagedDocument>(QPagedPaintDevice&)>& layOut,
                      const std::function<bool(int done, int total)>& progress)
{
    bool stopped = false;
    return replaceWhole(
        path,
        [&](QIODevice& file) {
            QPdfWriter pdf(&file);
            pdf.setPageLayout(layout);
            pdf.setResolution(resolution);
            const std::unique_ptr<PagedDocument> pages = layOut(pdf);
            if (!pages) return false;
            pdf.setTitle(pages->title());
            return printPages(pdf, *pages,
                              [&](int done, int total) { return !(stopped = progress && !progress(done, total)); }) &&
                   !stopped;
        },
        QByteArrayLiteral("%%EOF"));
}
