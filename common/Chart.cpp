#include "common/Chart.h"

#include "common/Conversions.h"

#include <algorithm>
#include <cmath>

QString chosenValues(const ChartData& chart, int category)
{
    if (category < 0 || category >= chart.titles.size()) return {};
    QStringList parts{chart.titles[category]};
    std::vector<const ChartSeries*> series;
    for (const ChartSeries& bar : chart.bars) series.push_back(&bar);
    if (chart.line) series.push_back(&*chart.line);
    for (const ChartSeries* s : series) {
        const std::optional<double> value =
            category < static_cast<int>(s->values.size()) ? s->values[static_cast<size_t>(category)] : std::nullopt;
        parts << s->name + QLatin1Char(' ') +
                     (value ? formatFloat(kAmountPattern, *value) + QLatin1Char(' ') + s->unit : QStringLiteral("—"));
    }
    return parts.join(QStringLiteral("  ·  "));
}

AxisScale axisScale(double lowest, double highest, int steps)
{
    const double low = std::min(0.0, lowest);
    const double high = std::max(0.0, highest);
    if (high - low <= 0) return {};
    const double rough = (high - low) / steps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / power;
    const double step = (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * power;
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}
