#pragma once

#include "ledger/Statements.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPrinter;
class QScrollArea;
class StatementPages;

// The statements' pages one at a time, each drawn when it is shown, so the
// first stands on screen at once however many follow. PageDown and PageUp
// turn the pages, Home and End go to the first and the last; Ctrl+P prints
// (or writes the PDF the printer is named after), Ctrl+Shift+P chooses the
// paper, Escape closes.
class StatementPreviewDialog : public QDialog {
    Q_OBJECT
public:
    StatementPreviewDialog(const std::vector<AccountStatement>& statements, QPrinter& printer, QWidget* parent);
    ~StatementPreviewDialog() override;

    int pageCount() const;
    QPrinter& printer() { return printer_; }
    int currentPage() const { return page_; }
    void showPage(int page);
    // Lays the statements out again for the printer's paper.
    void relayout();
    void print();
    void pageSetup();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    const std::vector<AccountStatement>& statements_;
    QPrinter& printer_;
    std::unique_ptr<StatementPages> pages_;
    QScrollArea* area_ = nullptr;
    QLabel* image_ = nullptr;
    QLabel* where_ = nullptr;
    int page_ = 0;
};
