#pragma once

#include "common/Field.h"
#include "common/TextTable.h"

#include <QTableWidget>
#include <functional>

// A read-only grid over a screen's text table; its current row and the
// screen's follow each other both ways (-1: none). Enter and a
// double-click run the row's handler.
class TextGrid : public QTableWidget {
    Q_OBJECT
public:
    TextGrid(Field<TextTable>& table, Field<int>& currentRow, QWidget* parent = nullptr);

    void onEnter(std::function<void()> handler) { enter_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fill(const TextTable& table);

    Field<int>& currentRow_;
    std::function<void()> enter_;
    bool filling_ = false;
};
