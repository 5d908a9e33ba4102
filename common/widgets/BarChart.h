#pragma once

#include "common/Chart.h"
#include "common/Field.h"

#include <QWidget>

// A screen's chart drawn with QPainter: bars side by side per category on
// the left axis, a line on the right one, the categories numbered under
// them and the chosen one's values written out above. The arrow keys (and
// Home, End, a click) choose a category; it is redrawn when its data changes.
class BarChart : public QWidget {
    Q_OBJECT
public:
    BarChart(Field<ChartData>& data, QWidget* parent = nullptr);

    int chosen() const { return chosen_; }
    // What stands above the plot: the chosen category's values.
    QString chosenText() const { return chosenValues(data_, chosen_); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setData(const ChartData& data);
    void choose(int category);
    int count() const { return static_cast<int>(data_.labels.size()); }
    // Where the bars and the line are drawn.
    QRect plotArea() const;

    ChartData data_;
    AxisScale barScale_;
    std::optional<AxisScale> lineScale_;
    int chosen_ = -1;
};
