#include "screens/PagePreviewDialog.h"

PagePreviewDialog::PagePreviewDialog(LayOut, QPrinter&, QWidget* parent) : QDialog(parent) {}
PagePreviewDialog::~PagePreviewDialog() = default;
