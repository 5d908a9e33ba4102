#include "screens/Rapor/RaporWindow.h"

#include "common/widgets/BarChart.h"
#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/QtPlatform.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Rapor/Rapor.h"
#include "ledger/print/StatementPrint.h"
#include "screens/PagePreviewDialog.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kPaperKey = QStringLiteral("Ekstre/Kagit");

// The paper chosen last, for the next preview and the next start.
QPageSize savedPaperSize()
{
    const bool a5 = QSettings().value(kPaperKey).toString() == QStringLiteral("A5");
    return QPageSize(a5 ? QPageSize::A5 : QPageSize::A4);
}

void savePaperSize(const QPageSize& size)
{
    if (size.id() == QPageSize::A4 || size.id() == QPageSize::A5)
        QSettings().setValue(kPaperKey, size.id() == QPageSize::A5 ? QStringLiteral("A5") : QStringLiteral("A4"));
}

constexpr int kTopBarHeight = 73;
constexpr int kSummaryWidth = 500;
constexpr int kLabelStripHeight = 25;
// Under the detail, leaving it some fifteen rows at 768 pixels.
constexpr int kChartHeight = 200;

}  // namespace

RaporWindow::RaporWindow(TRaporF& screen)
    : FormWindow(QStringLiteral("Orvalin Kovanta - Süt Alım Hesap Raporlama"), screen), screen_(screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* areas = new QVBoxLayout(centre);
    areas->setContentsMargins(4, 0, 4, 4);
    areas->setSpacing(2);

    // The top bar: the period, the name search, "Kapat".
    auto* top = new QWidget(centre);
    top->setFixedHeight(kTopBarHeight);
    auto* bar = new QGridLayout(top);
    bar->setContentsMargins(4, 6, 4, 6);
    auto* ilktarihDate = new DatePicker(top);
    auto* sontarihDate = new DatePicker(top);
    ilktarihDate->setMinimumWidth(110);
    sontarihDate->setMinimumWidth(110);
    auto* YenileBut = new QPushButton(QStringLiteral("Yenile"), top);
    YenileBut->setMinimumHeight(48);
    auto* AdiEdit = new NameEdit(top);
    AdiEdit->setMinimumWidth(200);
    auto* bulButton = new QPushButton(QStringLiteral("Bul"), top);
    bulButton->setFixedWidth(50);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), top);
    auto* EkstreBut = new QPushButton(QStringLiteral("Ekstre"), top);
    auto* TumEkstreBut = new QPushButton(QStringLiteral("Tüm Ekstreler"), top);
    bar->addWidget(new QLabel(QStringLiteral("İlk Tarih"), top), 0, 0);
    bar->addWidget(ilktarihDate, 0, 1);
    bar->addWidget(new QLabel(QStringLiteral("Son Tarih"), top), 1, 0);
    bar->addWidget(sontarihDate, 1, 1);
    bar->addWidget(YenileBut, 0, 2, 2, 1);
    bar->setColumnMinimumWidth(3, 24);
    bar->addWidget(new QLabel(QStringLiteral("Adı Soyadı"), top), 0, 4);
    bar->addWidget(AdiEdit, 1, 4);
    bar->addWidget(bulButton, 1, 5);
    bar->setColumnStretch(6, 1);
    bar->addWidget(kapatButton, 1, 7);
    bar->addWidget(EkstreBut, 1, 8);
    bar->addWidget(TumEkstreBut, 1, 9);
    areas->addWidget(top);

    auto* body = new QHBoxLayout;
    areas->addLayout(body, 1);

    // The summary area: one page with the accounts, the period's totals under it.
    auto* summary = new QWidget(centre);
    summary->setFixedWidth(kSummaryWidth);
    auto* summaryRows = new QVBoxLayout(summary);
    summaryRows->setContentsMargins(0, 0, 0, 0);
    summaryRows->setSpacing(0);
    auto* tabs = new QTabWidget(summary);
    auto* SutGirisiGrid = new QueryGrid(screen.SutGirisiQuery, TRaporF::kSummaryColumns);
    tabs->addTab(SutGirisiGrid, QString());
    summaryRows->addWidget(tabs, 1);
    // Each total under its title, the three sharing the list's width: a
    // period of many years still shows its figures whole.
    auto* totals = new QWidget(summary);
    auto* boxes = new QGridLayout(totals);
    boxes->setContentsMargins(4, 2, 4, 2);
    boxes->setVerticalSpacing(0);
    int column = 0;
    for (const TotalBox& total : TRaporF::kTotals) {
        boxes->addWidget(new QLabel(total.title, totals), 0, column);
        auto* box = new TotalField(screen.SutGirisiToplam, total.field, total.format, totals);
        box->setObjectName(total.field);
        box->setAlignment(Qt::AlignRight);
        boxes->addWidget(box, 1, column);
        boxes->setColumnStretch(column++, 1);
    }
    summaryRows->addWidget(totals);
    body->addWidget(summary);

    // The detail area: whose rows they are, then the rows.
    auto* detail = new QVBoxLayout;
    detail->setSpacing(0);
    auto* Label1 = new QLabel(centre);
    Label1->setFixedHeight(kLabelStripHeight);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    detail->addWidget(Label1);
    auto* detayGrid = new QueryGrid(screen.detayQuery, TRaporF::kDetailColumns, centre);
    // Beside the summary it has some 480 pixels: the figures come first,
    // the name stands above the list, the note takes what is left, on more
    // lines where it is longer, as a posted deduction's is.
    detayGrid->fitNumberColumns(QStringLiteral("99.999,99"));
    detayGrid->setColumnHidden(1, true);
    detayGrid->setWrapColumn(2);
    detail->addWidget(detayGrid, 1);
    auto* DetayChart = new BarChart(screen.DetayGrafik, centre);
    DetayChart->setFixedHeight(kChartHeight);
    detail->addWidget(DetayChart);
    body->addLayout(detail, 1);
    setCentralWidget(centre);

    bind(ilktarihDate, screen.ilktarihDate, nullptr);
    bind(sontarihDate, screen.sontarihDate, nullptr);
    bind(AdiEdit, screen.AdiEdit);
    bindCaption(tabs, 0, screen.RaporSheet);
    bind(Label1, screen.Label1);

    onClick(YenileBut, [&screen] { screen.YenileButClick(); });
    enterGoesTo(sontarihDate, YenileBut);
    onClick(bulButton, [&screen, AdiEdit] {
        screen.bulButtonClick();
        // A name searched for has done its work: Escape may close.
        AdiEdit->setModified(false);
    });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });
    SutGirisiGrid->onDoubleClick([&screen] { screen.SutGirisiGridDblClick(); });
    onClick(EkstreBut, [&screen] { screen.EkstreButClick(); });
    onClick(TumEkstreBut, [&screen] { screen.TumEkstreButClick(); });
    // What the double-click does, for the keyboard: the menu key, or Space.
    SutGirisiGrid->addMenuItem(QStringLiteral("Hesap Hareketleri"), [&screen] { screen.SutGirisiGridDblClick(); },
                               QKeySequence(Qt::Key_Space));
    SutGirisiGrid->addMenuItem(QStringLiteral("Hesap Ekstresi"), [&screen] { screen.EkstreButClick(); });
    SutGirisiGrid->addMenuItem(QStringLiteral("Tüm Ekstreler"), [&screen] { screen.TumEkstreButClick(); });
    SutGirisiGrid->addCsvItem([&screen] { screen.RaporCsvClick(); });
    detayGrid->addCsvItem([&screen] { screen.DetayCsvClick(); });
    SutGirisiGrid->addXlsxItem([&screen] { screen.RaporXlsxClick(); });
    detayGrid->addXlsxItem([&screen] { screen.DetayXlsxClick(); });
    screen.attachStatementPreview(this);

    setControls({
        // A period typed is followed by "Yenile", so Enter after the last date reaches it.
        {ilktarihDate, "ilktarihDate"},
        {sontarihDate, "sontarihDate"},
        {YenileBut, "YenileBut"},
        {AdiEdit, "AdiEdit"},
        {bulButton, "bulButton"},
        {kapatButton, "kapatButton"},
        {EkstreBut, "EkstreBut"},
        {TumEkstreBut, "TumEkstreBut"},
        {tabs, "tabs"},
        {SutGirisiGrid, "SutGirisiGrid"},
        {detayGrid, "detayGrid"},
        {DetayChart, "DetayChart"},
    });
    Label1->setObjectName(QStringLiteral("Label1"));
    keyboardLists(tabs, {SutGirisiGrid}, ilktarihDate);
}

RaporWindow::~RaporWindow()
{
    screen_.attachStatementPreview(nullptr);
}

bool RaporWindow::progress(int done, int total)
{
    if (!progress_) {
        progress_ = new QProgressDialog(QStringLiteral("Ekstreler hazırlanıyor..."), QStringLiteral("İptal"), 0, total, this);
        progress_->setWindowTitle(kProgramTitle);
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
    }
    // Shown at once, then told a few times a second: painting it for every
    // producer would cost more than the statements.
    if (done > 0 && progressShown_.isValid() && progressShown_.elapsed() < 100) return !progress_->wasCanceled();
    progressShown_.start();
    progress_->setMaximum(total);
    progress_->setValue(done);
    QApplication::processEvents();
    if (!progress_->wasCanceled()) return true;
    closeProgress();
    return false;
}

void RaporWindow::closeProgress()
{
    delete progress_;
    progress_ = nullptr;
}

void RaporWindow::previewStatements(const std::vector<AccountStatement>& statements, const QString& fileName)
{
    closeProgress();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(savedPaperSize());
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    printer.setDocName(QFileInfo(fileName).completeBaseName());
    printer.setOutputFileName(QDir::current().absoluteFilePath(fileName));
    PagePreviewDialog preview(
        [&statements](QPagedPaintDevice& device) { return std::make_unique<StatementPages>(device, statements); }, printer,
        this, [this, &statements, &fileName] { screen_.saveStatementsAsXlsx(statements, fileName); });
    preview.resize(size());
    preview.exec();
    savePaperSize(printer.pageLayout().pageSize());
}
