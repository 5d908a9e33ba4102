#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What a screen's chart shows, worked out without a window: for each
// category (a day, a month) bars side by side on the axis at the left and,
// when there is one, a line on an axis of its own at the right.
struct ChartSeries {
    QString name;
    QString unit;
    // One a category; none draws nothing there.
    std::vector<std::optional<double>> values;
    bool operator==(const ChartSeries&) const = default;
};

struct ChartData {
    QString categoryAxis;
    QString barAxis;
    QString lineAxis;
    // Under each category, and of the chosen one written out.
    QStringList labels;
    QStringList titles;
    std::vector<ChartSeries> bars;
    std::optional<ChartSeries> line;
    // The category chosen when the chart is shown; -1 for none.
    int chosen = -1;
    bool operator==(const ChartData&) const = default;
};

// The values of one category written out: its title, then each series'
// name, figure and unit ("—" where it has none); nothing for no category.
QString chosenValues(const ChartData& chart, int category);

// An axis over round steps of 1, 2 or 5 times a power of ten, about
// `steps` of them, from below the lowest value to above the highest; 0 is
// always on it, so bars stand on it.
struct AxisScale {
    double low = 0;
    double high = 1;
    double step = 1;
    bool operator==(const AxisScale&) const = default;
};
AxisScale axisScale(double lowest, double highest, int steps = 5);
