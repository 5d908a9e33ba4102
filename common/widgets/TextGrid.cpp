#include "common/widgets/TextGrid.h"

#include "common/widgets/ErrorBox.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <cstdlib>

namespace {

// A title of several words on two lines, so that a column is as wide as its
// figures need and the settlement's columns fit a 1024-pixel screen.
QString twoLines(const QString& title)
{
    if (!title.contains(QLatin1Char(' '))) return title;
    int best = -1;
    for (int i = 0; i < title.size(); ++i)
        if (title[i] == QLatin1Char(' ') && (best < 0 || std::abs(i - title.size() / 2) < std::abs(best - title.size() / 2))) best = i;
    QString lines = title;
    lines[best] = QLatin1Char('\n');
    return lines;
}

}  // namespace

TextGrid::TextGrid(Field<TextTable>& table, Field<int>& currentRow, QWidget* parent)
    : QTableWidget(parent), currentRow_(currentRow)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    // The last column takes what is left, so no bare strip follows the titles.
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setTabKeyNavigation(false);
    fill(table.get());
    table.onChange([this](const TextTable& rows) { fill(rows); });
    currentRow.onChange([this](int row) {
        if (filling_ || row == QTableWidget::currentRow()) return;
        if (row >= 0 && row < rowCount())
            setCurrentCell(row, 0);
        else
            setCurrentCell(-1, -1);
    });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!filling_) currentRow_.set(row);
    });
}

void TextGrid::fill(const TextTable& table)
{
    filling_ = true;
    clear();
    setColumnCount(static_cast<int>(table.titles.size()));
    setRowCount(static_cast<int>(table.rows.size()));
    QStringList titles;
    for (const QString& title : table.titles) titles << twoLines(title);
    setHorizontalHeaderLabels(titles);
    for (int row = 0; row < rowCount(); ++row) {
        const QStringList& cells = table.rows[static_cast<size_t>(row)];
        for (int column = 0; column < cells.size() && column < columnCount(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            const bool figure = std::find(table.figureColumns.begin(), table.figureColumns.end(), column) != table.figureColumns.end();
            item->setTextAlignment(Qt::AlignVCenter | (figure ? Qt::AlignRight : Qt::AlignLeft));
            if (row == table.boldRow) {
                QFont bold = font();
                bold.setBold(true);
                item->setFont(bold);
            }
            setItem(row, column, item);
        }
    }
    resizeColumnsToContents();
    // Sized to its contents the last column no longer takes what is left.
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setStretchLastSection(true);
    const int row = currentRow_.get();
    if (row >= 0 && row < rowCount()) setCurrentCell(row, 0);
    filling_ = false;
}

void TextGrid::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && enter_) {
        if (currentRow() >= 0) guarded(enter_);
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TextGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableWidget::mouseDoubleClickEvent(event);
    if (enter_ && currentRow() >= 0) guarded(enter_);
}
