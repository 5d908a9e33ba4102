#include "screens/PagePreviewDialog.h"

#include "common/Platform.h"
#include "common/widgets/ErrorBox.h"
#include "ledger/print/SettlementPrint.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include <functional>

PagePreviewDialog::PagePreviewDialog(LayOut layOut, QPrinter& printer, QWidget* parent, std::function<void()> saveXlsx)
    : QDialog(parent), layOut_(std::move(layOut)), printer_(printer), saveXlsx_(std::move(saveXlsx))
{
    auto* rows = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    const auto button = [this, bar](const QString& text, const QKeySequence& keys, auto handler) {
        auto* b = new QPushButton(text, this);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(keys.toString(QKeySequence::NativeText));
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, b, &QPushButton::click);
        bar->addWidget(b);
        return b;
    };
    button(QStringLiteral("Yazdır..."), QKeySequence::Print, &PagePreviewDialog::print);
    papers_ = new QButtonGroup(this);
    for (const auto& [caption, paper] : {std::pair{"A&4", QPageSize::A4}, std::pair{"A&5", QPageSize::A5}}) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        papers_->addButton(b, paper);
        bar->addWidget(b);
    }
    connect(papers_, &QButtonGroup::idClicked, this,
            [this](int paper) { guarded([this, paper] { choosePaper(static_cast<QPageSize::PageSizeId>(paper)); }); });
    button(QStringLiteral("Sayfa Yapısı..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &PagePreviewDialog::pageSetup);
    if (saveXlsx_)
        button(QStringLiteral("Excel Olarak Kaydet…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), &PagePreviewDialog::saveXlsx);
    bar->addStretch();
    auto* previous = new QPushButton(QStringLiteral("< Önceki"), this);
    auto* next = new QPushButton(QStringLiteral("Sonraki >"), this);
    where_ = new QLabel(this);
    for (QPushButton* b : {previous, next}) b->setFocusPolicy(Qt::NoFocus);
    connect(previous, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    bar->addWidget(previous);
    bar->addWidget(where_);
    bar->addWidget(next);
    bar->addStretch();
    auto* close = new QPushButton(QStringLiteral("Kapat"), this);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    bar->addWidget(close);
    rows->addLayout(bar);

    // The pages turn with the keys wherever the focus stands.
    const std::pair<QKeySequence, std::function<void()>> turns[] = {
        {QKeySequence(Qt::Key_PageDown), [this] { showPage(page_ + 1); }},
        {QKeySequence(Qt::Key_PageUp), [this] { showPage(page_ - 1); }},
        {QKeySequence(Qt::Key_Home), [this] { showPage(0); }},
        {QKeySequence(Qt::Key_End), [this] { showPage(pageCount() - 1); }},
    };
    for (const auto& [keys, turn] : turns) connect(new QShortcut(keys, this), &QShortcut::activated, this, turn);
    // Ctrl+= as well: "+" needs Shift on many keyboards.
    const std::pair<QKeySequence, std::function<void()>> zooms[] = {
        {QKeySequence::ZoomIn, [this] { setZoom(zoom_ * 1.25); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { setZoom(zoom_ * 1.25); }},
        {QKeySequence::ZoomOut, [this] { setZoom(zoom_ / 1.25); }},
        {QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(1); }},
    };
    for (const auto& [keys, zoom] : zooms) connect(new QShortcut(keys, this), &QShortcut::activated, this, zoom);

    area_ = new QScrollArea(this);
    area_->setFocusPolicy(Qt::StrongFocus);
    area_->setAlignment(Qt::AlignHCenter);
    area_->setBackgroundRole(QPalette::Dark);
    image_ = new QLabel(area_);
    area_->setWidget(image_);
    rows->addWidget(area_, 1);
    relayout();
    area_->setFocus();
}

PagePreviewDialog::~PagePreviewDialog() = default;

void PagePreviewDialog::saveXlsx()
{
    if (saveXlsx_) saveXlsx_();
}

int PagePreviewDialog::pageCount() const
{
    return pages_ ? pages_->pageCount() : 0;
}

void PagePreviewDialog::relayout()
{
    pages_ = layOut_(printer_);
    setWindowTitle(kProgramTitle + QStringLiteral(" - ") + title());
    const int paper = printer_.pageLayout().pageSize().id();
    for (QAbstractButton* b : papers_->buttons()) b->setChecked(papers_->id(b) == paper);
    showPage(0);
}

void PagePreviewDialog::choosePaper(QPageSize::PageSizeId paper)
{
    if (!printer_.setPageSize(QPageSize(paper))) return;
    relayout();
}

void PagePreviewDialog::setZoom(double zoom)
{
    const QScrollBar* down = area_->verticalScrollBar();
    const double along = down->maximum() > 0 ? static_cast<double>(down->value()) / down->maximum() : 0;
    zoom_ = std::clamp(zoom, 0.25, 4.0);
    showPage(page_);
    // The same part of the page stays in view.
    area_->verticalScrollBar()->setValue(static_cast<int>(along * area_->verticalScrollBar()->maximum()));
}

void PagePreviewDialog::showPage(int page)
{
    page_ = std::clamp(page, 0, std::max(0, pageCount() - 1));
    where_->setText(QStringLiteral("Sayfa %1/%2").arg(page_ + 1).arg(pageCount()));
    if (pageCount() == 0) return;
    // The page as wide as the window allows, times the zoom, drawn at the
    // printer's own measure and scaled, so it shows what the paper will hold.
    const int printerDpi = printer_.logicalDpiX();
    const QPageLayout layout = printer_.pageLayout();
    const QSizeF paper = layout.fullRectPixels(printerDpi).size();
    // The dialog's own width, less the frame and a scroll bar beside the
    // page: its scroll area is laid out only after a resize.
    const int room = width() - 40 - area_->verticalScrollBar()->sizeHint().width();
    const qreal scale = std::max(0.05, room / paper.width() * zoom_);
    QImage sheet((paper * scale).toSize(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(printerDpi / 0.0254);
    sheet.setDotsPerMeterX(dotsPerMeter);
    sheet.setDotsPerMeterY(dotsPerMeter);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(layout.paintRectPixels(printerDpi).topLeft());
    pages_->paintPage(painter, page_);
    painter.end();
    image_->setPixmap(QPixmap::fromImage(sheet));
    image_->resize(sheet.size());
    area_->verticalScrollBar()->setValue(0);
}

void PagePreviewDialog::print()
{
    const QPageLayout before = printer_.pageLayout();
    QPrintDialog dialog(&printer_, this);
    dialog.setWindowTitle(title() + QStringLiteral(" Yazdır"));
    if (dialog.exec() != QDialog::Accepted) return;
    // The print dialog may have changed the paper.
    if (!printer_.pageLayout().isEquivalentTo(before)) relayout();
    QProgressDialog progress(title() + QStringLiteral(" yazdırılıyor..."), QStringLiteral("İptal"), 0, pageCount(), this);
    progress.setWindowTitle(kProgramTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const auto tell = [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    };
    // A PDF file is written whole beside its name and then put in place, so
    // a failure leaves the one that was there.
    const QString file = printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName() : QString();
    const QString why = !file.isEmpty() ? writePagesPdf(file, printer_.pageLayout(), printer_.resolution(), layOut_, tell)
                        : printPages(printer_, *pages_, tell) ? QString()
                                                              : QStringLiteral("yazıcı işi almadı");
    if (!why.isEmpty() && !progress.wasCanceled())
        showBox(QMessageBox::NoIcon,
                title() + QStringLiteral(" yazdırılamadı (%1).").arg(why) + (file.isEmpty() ? QString() : QLatin1Char('\n') + file),
                QMessageBox::Ok);
}

void PagePreviewDialog::pageSetup()
{
    QPageSetupDialog dialog(&printer_, this);
    if (dialog.exec() == QDialog::Accepted) relayout();
}

QString PagePreviewDialog::title() const
{
    return pages_ ? pages_->title() : QString();
}

void PagePreviewDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (pages_) showPage(page_);
}
