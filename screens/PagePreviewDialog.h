#pragma once

#include "ledger/print/PagedDocument.h"

#include <QDialog>
#include <QPageSize>
#include <functional>
#include <memory>

class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QScrollArea;

// Pages one at a time, each drawn when it is shown, so the first stands on
// screen at once however many follow; laid out again for the printer's
// paper when it changes. A page fills the
// window's width; Ctrl++ and Ctrl+- zoom, Ctrl+0 fits the width again, the
// arrows scroll. PageDown and PageUp turn the pages, Home and End go to the
// first and the last; Alt+4 and Alt+5 lay them out on A4 or A5, Ctrl+P
// prints (or writes the PDF the printer is named after), Ctrl+Shift+P
// chooses any other paper, Ctrl+Shift+E saves them as an .xlsx file where
// the caller can, Escape closes.
class PagePreviewDialog : public QDialog {
    Q_OBJECT
public:
    using LayOut = std::function<std::unique_ptr<PagedDocument>(QPagedPaintDevice&)>;
    PagePreviewDialog(LayOut layOut, QPrinter& printer, QWidget* parent, std::function<void()> saveXlsx = {});
    ~PagePreviewDialog() override;

    int pageCount() const;
    QPrinter& printer() { return printer_; }
    int currentPage() const { return page_; }
    void showPage(int page);
    // 1 fits the page's width to the window.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    // Lays the pages out again on this paper, the margins kept.
    void choosePaper(QPageSize::PageSizeId paper);
    // Lays the pages out again for the printer's paper.
    void relayout();
    void print();
    void pageSetup();
    void saveXlsx();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString title() const;

    LayOut layOut_;
    QPrinter& printer_;
    std::function<void()> saveXlsx_;
    std::unique_ptr<PagedDocument> pages_;
    QScrollArea* area_ = nullptr;
    QLabel* image_ = nullptr;
    QLabel* where_ = nullptr;
    class QButtonGroup* papers_ = nullptr;
    int page_ = 0;
    double zoom_ = 1;
};
