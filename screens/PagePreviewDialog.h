#pragma once

#include "ledger/print/PagedDocument.h"

#include <QDialog>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;

// Pages shown one at a time, each drawn when it is shown; laid out again
// for the printer's paper when it changes. The keys are the statements'.
class PagePreviewDialog : public QDialog {
    Q_OBJECT
public:
    using LayOut = std::function<std::unique_ptr<PagedDocument>(QPagedPaintDevice&)>;
    PagePreviewDialog(LayOut layOut, QPrinter& printer, QWidget* parent);
    ~PagePreviewDialog() override;
};
