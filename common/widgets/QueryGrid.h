#pragma once

#include <QAbstractTableModel>
#include <QKeySequence>
#include <QLineEdit>
#include <QTableView>
#include <QVariant>
#include <functional>
#include <vector>

#include "common/GridColumns.h"

class Query;
class Totals;

// The rows of a query as a table, coloured alternately by row.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    QueryTableModel(Query& query, std::vector<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    Query& query() const { return query_; }
    const std::vector<GridColumn>& columns() const { return columns_; }

private:
    Query& query_;
    std::vector<GridColumn> columns_;
};

// A read-only grid over a query: its current row and the query's current
// row follow each other both ways. A column widens to the widest text its
// rows hold, so no figure or name is cut short.
class QueryGrid : public QTableView {
    Q_OBJECT
public:
    QueryGrid(Query& query, std::vector<GridColumn> columns, QWidget* parent = nullptr);

    // Enter walks through the cells (Shift+Enter backwards).
    void setEnterWalksCells(bool on) { enterWalksCells_ = on; }
    // An item of the grid's context menu; its shortcut works while the grid has the focus.
    void addMenuItem(const QString& text, std::function<void()> handler, const QKeySequence& shortcut = {});
    // An action of the window's own in the grid's context menu, its
    // shortcut working wherever the window's focus is.
    void addMenuAction(QAction* action) { addAction(action); }
    // "CSV Olarak Kaydet…", the last item, on Ctrl+S; on Ctrl+Shift+S where
    // Ctrl+S already saves something else.
    void addCsvItem(std::function<void()> handler);
    // "Excel Olarak Kaydet…", after it, on Ctrl+Shift+E.
    void addXlsxItem(std::function<void()> handler);
    // Runs the handler on a double-click on a row.
    void onDoubleClick(std::function<void()> handler);
    // Runs the handler on Enter, instead of walking the cells.
    void onEnter(std::function<void()> handler) { enterHandler_ = std::move(handler); }
    // For lists wider than the screen: titles on two lines, and each
    // number column as wide as its title's lines and its widest figure,
    // at least the one given, measured again whenever the rows change.
    void fitNumberColumns(const QString& widestFigure);
    // The column takes the width the others leave in the pane, at least
    // what its title and its widest cell need.
    void setFillColumn(int column);
    // The column takes the width the others leave, and a longer text goes on
    // over more lines of its row (a posted deduction's note).
    void setWrapColumn(int column);

signals:
    void gridDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void followQuery();
    void fitColumns();
    int textWidth(int column) const;

    QueryTableModel model_;
    bool enterWalksCells_ = false;
    QString widestFigure_;  // empty: number columns keep their widths
    int fillColumn_ = -1;
    std::function<void()> enterHandler_;
    bool following_ = false;
};

// A read-only box showing one of a list's totals; while it has the focus a
// number shows in the edit pattern "#.00".
class TotalField : public QLineEdit {
    Q_OBJECT
public:
    TotalField(Totals& totals, QString field, CellFormat format, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refresh();

    Totals& totals_;
    QString field_;
    CellFormat format_;
};

// A page of a screen's tabs: the grid, and under it its labelled total boxes.
QWidget* viewPage(QueryGrid* grid, Totals& totals, const std::vector<TotalBox>& boxes);
