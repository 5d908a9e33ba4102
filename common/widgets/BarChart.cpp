#include "common/widgets/BarChart.h"

#include "common/Conversions.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBarColours[] = {QColor(52, 101, 164), QColor(230, 150, 40)};
const QColor kLineColour(190, 30, 30);
const QColor kChosenColour(222, 231, 247);
const QColor kGridColour(226, 226, 226);
constexpr int kGap = 6;

std::vector<double> ticks(const AxisScale& scale)
{
    std::vector<double> at;
    for (int i = 0; scale.low + i * scale.step <= scale.high + scale.step / 2; ++i) at.push_back(scale.low + i * scale.step);
    return at;
}

QString tickText(double value)
{
    return formatFloat(kAxisPattern, value);
}

// The lowest and the highest of the series' values; 0 and 0 when none has one.
std::pair<double, double> range(const std::vector<const ChartSeries*>& series)
{
    double low = 0;
    double high = 0;
    for (const ChartSeries* s : series)
        for (const std::optional<double>& v : s->values)
            if (v) {
                low = std::min(low, *v);
                high = std::max(high, *v);
            }
    return {low, high};
}

}  // namespace

BarChart::BarChart(Field<ChartData>& data, QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(160);
    setData(data.get());
    QPointer<BarChart> guard(this);
    data.onChange([guard](const ChartData& changed) {
        if (guard) guard->setData(changed);
    });
}

void BarChart::setData(const ChartData& data)
{
    data_ = data;
    std::vector<const ChartSeries*> bars;
    for (const ChartSeries& s : data_.bars) bars.push_back(&s);
    const auto [low, high] = range(bars);
    barScale_ = axisScale(low, high);
    lineScale_.reset();
    if (data_.line) {
        const auto [lineLow, lineHigh] = range({&*data_.line});
        lineScale_ = axisScale(lineLow, lineHigh);
    }
    chosen_ = std::min(data_.chosen, count() - 1);
    update();
}

void BarChart::choose(int category)
{
    if (count() == 0) return;
    chosen_ = std::clamp(category, 0, count() - 1);
    update();
}

QRect BarChart::plotArea() const
{
    const QFontMetrics metrics = fontMetrics();
    const auto widest = [&metrics](const AxisScale& scale) {
        int width = 0;
        for (const double v : ticks(scale)) width = std::max(width, metrics.horizontalAdvance(tickText(v)));
        return width;
    };
    const int left = kGap + widest(barScale_) + kGap;
    const int right = lineScale_ ? kGap + widest(*lineScale_) + kGap : 2 * kGap;
    // Above: the chosen values, then the axes' titles and the legend;
    // below: the categories and their axis' title.
    const int top = kGap + 2 * metrics.height() + 3 * kGap;
    const int bottom = 2 * metrics.height() + 2 * kGap;
    return QRect(left, top, width() - left - right, height() - top - bottom);
}

void BarChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (hasFocus()) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const QRect plot = plotArea();
    if (plot.width() < 20 || plot.height() < 20) return;

    // The chosen category's values, then the axes' titles and the legend.
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QRect(kGap, kGap, width() - 2 * kGap, line), Qt::AlignLeft | Qt::AlignVCenter, chosenText());
    painter.setFont(font());
    const QRect titles(kGap, kGap + line + kGap, width() - 2 * kGap, line);
    painter.drawText(titles, Qt::AlignLeft | Qt::AlignVCenter, data_.barAxis);
    if (data_.line) painter.drawText(titles, Qt::AlignRight | Qt::AlignVCenter, data_.lineAxis);
    std::vector<std::pair<QString, QColor>> legend;
    for (size_t i = 0; i < data_.bars.size(); ++i) legend.emplace_back(data_.bars[i].name, kBarColours[i % 2]);
    if (data_.line) legend.emplace_back(data_.line->name, kLineColour);
    int legendWidth = 0;
    for (const auto& [name, colour] : legend) legendWidth += line + 4 + metrics.horizontalAdvance(name) + 2 * kGap;
    int x = (width() - legendWidth) / 2;
    for (const auto& [name, colour] : legend) {
        painter.fillRect(QRect(x, titles.top() + 2, line - 4, line - 4), colour);
        x += line;
        painter.drawText(QRect(x, titles.top(), metrics.horizontalAdvance(name) + 1, line), Qt::AlignVCenter, name);
        x += metrics.horizontalAdvance(name) + 2 * kGap;
    }

    const int n = count();
    const double slot = n > 0 ? plot.width() / static_cast<double>(n) : plot.width();
    const auto slotLeft = [&](int i) { return plot.left() + qRound(i * slot); };
    const auto yOf = [&plot](const AxisScale& scale, double v) {
        return plot.bottom() - qRound((v - scale.low) / (scale.high - scale.low) * plot.height());
    };
    if (chosen_ >= 0) painter.fillRect(QRect(slotLeft(chosen_), plot.top(), slotLeft(chosen_ + 1) - slotLeft(chosen_), plot.height() + 1), kChosenColour);

    // The steps of the bars' axis across the plot, its figures at the left.
    for (const double v : ticks(barScale_)) {
        const int y = yOf(barScale_, v);
        painter.setPen(v == 0 ? Qt::darkGray : kGridColour);
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y - line / 2, plot.left() - kGap, line), Qt::AlignRight | Qt::AlignVCenter, tickText(v));
    }
    painter.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());

    // The bars of a category side by side in its middle four fifths.
    const int barCount = static_cast<int>(data_.bars.size());
    for (int b = 0; b < barCount; ++b) {
        const ChartSeries& series = data_.bars[static_cast<size_t>(b)];
        for (int i = 0; i < n && i < static_cast<int>(series.values.size()); ++i) {
            const std::optional<double>& v = series.values[static_cast<size_t>(i)];
            if (!v) continue;
            const double width = slot * 0.8 / barCount;
            const int left = qRound(plot.left() + i * slot + slot * 0.1 + b * width);
            const int right = qRound(plot.left() + i * slot + slot * 0.1 + (b + 1) * width) - (width >= 4 ? 1 : 0);
            const int zero = yOf(barScale_, 0);
            const int top = yOf(barScale_, *v);
            painter.fillRect(QRect(QPoint(left, std::min(zero, top)), QPoint(std::max(left, right - 1), std::max(zero, top))),
                             kBarColours[b % 2]);
        }
    }

    // The line on its own axis at the right; a category without a value breaks it.
    if (data_.line && lineScale_) {
        for (const double v : ticks(*lineScale_)) {
            const int y = yOf(*lineScale_, v);
            painter.setPen(kLineColour);
            painter.drawLine(plot.right(), y, plot.right() + 3, y);
            painter.drawText(QRect(plot.right() + kGap, y - line / 2, width() - plot.right() - kGap, line),
                             Qt::AlignLeft | Qt::AlignVCenter, tickText(v));
        }
        painter.drawLine(plot.right(), plot.top(), plot.right(), plot.bottom());
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        bool drawing = false;
        const std::vector<std::optional<double>>& values = data_.line->values;
        for (int i = 0; i < n && i < static_cast<int>(values.size()); ++i) {
            const std::optional<double>& v = values[static_cast<size_t>(i)];
            if (!v) {
                drawing = false;
                continue;
            }
            const QPointF at(plot.left() + (i + 0.5) * slot, yOf(*lineScale_, *v));
            if (drawing)
                path.lineTo(at);
            else
                path.moveTo(at);
            drawing = true;
            painter.setBrush(kLineColour);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(at, i == chosen_ ? 4.0 : 2.5, i == chosen_ ? 4.0 : 2.5);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kLineColour, 2));
        painter.drawPath(path);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    // The categories under the plot, as many as fit, and their axis' title.
    painter.setPen(Qt::black);
    int widestLabel = 0;
    for (const QString& label : data_.labels) widestLabel = std::max(widestLabel, metrics.horizontalAdvance(label));
    const int every = std::max(1, static_cast<int>(std::ceil((widestLabel + kGap) / slot)));
    for (int i = 0; i < n; i += every) {
        const int centre = plot.left() + qRound((i + 0.5) * slot);
        painter.drawLine(centre, plot.bottom() + 1, centre, plot.bottom() + 3);
        painter.drawText(QRect(centre - widestLabel, plot.bottom() + 4, 2 * widestLabel, line), Qt::AlignCenter,
                         data_.labels[i]);
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 4 + line, plot.width(), line + kGap), Qt::AlignCenter,
                     data_.categoryAxis);
}

void BarChart::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        choose(chosen_ - 1);
        break;
    case Qt::Key_Right:
        choose(chosen_ + 1);
        break;
    case Qt::Key_Home:
        choose(0);
        break;
    case Qt::Key_End:
        choose(count() - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void BarChart::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QRect plot = plotArea();
    if (count() > 0 && plot.width() > 0 && event->position().x() >= plot.left() && event->position().x() <= plot.right())
        choose(static_cast<int>((event->position().x() - plot.left()) * count() / plot.width()));
}
