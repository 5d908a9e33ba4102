#include "screens/Verilenler/VerilenlerWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/ProducerStrip.h"
#include "screens/Verilenler/Verilenler.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

VerilenlerWindow::VerilenlerWindow(TVerilenlerF& screen)
    : FormWindow(QStringLiteral("Orvalin Kovanta - Yapılan Ödeme ve Diğer İşlemler"), screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* columns = new QHBoxLayout(centre);

    auto* strip = new ProducerStrip(screen, {QStringLiteral("AdSoyad'tan Bul"), QStringLiteral("Cari üye listesi"), true}, centre);
    auto* SutcuAraEdit = strip->searchEdit;
    columns->addWidget(strip);

    // The entry panel, three rows of labelled boxes with the buttons at the right.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    auto* panel = new QWidget(centre);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 4, 4, 4);
    const auto label = [panel](const char* text) { return new QLabel(QString::fromUtf8(text), panel); };

    auto* tarihDate = new DatePicker(panel);
    auto* KoduEdit = new QLineEdit(panel);
    auto* secButton = new QPushButton(QStringLiteral("Seç"), panel);
    auto* AdiEdit = new NameEdit(panel);
    auto* FisNoEdit = new QLineEdit(panel);
    auto* MiktariEdit = new AmountEdit(panel);
    auto* AlacagimizEdit = new AmountEdit(panel);
    auto* BorcumuzEdit = new AmountEdit(panel);
    auto* AciklamaEdit = new QLineEdit(panel);
    auto* SaklaBut = new QPushButton(QStringLiteral("Sakla"), panel);
    auto* yeniBut = new QPushButton(QStringLiteral("Yeni Giriş"), panel);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), panel);
    for (AmountEdit* amount : {MiktariEdit, AlacagimizEdit, BorcumuzEdit}) {
        amount->setAlignment(Qt::AlignRight);
        amount->setFixedWidth(110);
    }
    tarihDate->setFixedWidth(100);
    secButton->setFixedWidth(40);
    KoduEdit->setMinimumWidth(60);
    AdiEdit->setMinimumWidth(180);
    FisNoEdit->setFixedWidth(110);

    grid->addWidget(label("Tarih"), 0, 0);
    grid->addWidget(tarihDate, 0, 1, Qt::AlignLeft);
    grid->addWidget(label("Fiş No"), 0, 2);
    grid->addWidget(FisNoEdit, 0, 3);
    grid->addWidget(label("Miktarı"), 0, 4);
    grid->addWidget(MiktariEdit, 0, 5);
    auto* saveAndClose = new QHBoxLayout;
    saveAndClose->addWidget(SaklaBut);
    saveAndClose->addWidget(kapatButton);
    grid->addLayout(saveAndClose, 0, 6);
    grid->addWidget(label("Kodu"), 1, 0);
    auto* code = new QHBoxLayout;
    code->addWidget(KoduEdit);
    code->addWidget(secButton);
    grid->addLayout(code, 1, 1);
    grid->addWidget(label("Alacağımız"), 1, 2);
    grid->addWidget(AlacagimizEdit, 1, 3);
    grid->addWidget(label("Borcumuz"), 1, 4);
    grid->addWidget(BorcumuzEdit, 1, 5);
    auto* newEntry = new QHBoxLayout;
    newEntry->addWidget(yeniBut);
    grid->addLayout(newEntry, 1, 6);
    grid->addWidget(label("Adı Soyadı"), 2, 0);
    grid->addWidget(AdiEdit, 2, 1);
    grid->addWidget(label("Açıklama"), 2, 2);
    grid->addWidget(AciklamaEdit, 2, 3, 1, 3);
    grid->addWidget(correctionLine(screen, this, panel), 3, 0, 1, 7);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(7, 1);
    right->addWidget(panel);

    // The month page.
    auto* tabs = new QTabWidget(centre);
    auto* monthGrid = new QueryGrid(screen.SutGirisiQuery, TVerilenlerF::kMonthColumns);
    entryListItems(monthGrid, screen);
    monthGrid->addCsvItem([&screen] { screen.AylikCsvClick(); });
    monthGrid->addXlsxItem([&screen] { screen.AylikXlsxClick(); });
    // The figures as narrow as they and their titles allow; the note, the last
    // column, takes what they leave, on more lines where it is longer, as a
    // posted deduction's is.
    monthGrid->fitNumberColumns(QStringLiteral("99.999,99"));
    monthGrid->setWrapColumn(static_cast<int>(TVerilenlerF::kMonthColumns.size()) - 1);
    tabs->addTab(viewPage(monthGrid, screen.SutGirisiToplam, TVerilenlerF::kMonthTotals), QString());
    right->addWidget(tabs, 1);
    setCentralWidget(centre);

    bind(tarihDate, screen.tarihDate, [&screen] { screen.tarihDateChange(); });
    bind(KoduEdit, screen.KoduEdit);
    bind(AdiEdit, screen.AdiEdit);
    bind(FisNoEdit, screen.FisNoEdit);
    bind(MiktariEdit, screen.MiktariEdit);
    bind(AlacagimizEdit, screen.AlacagimizEdit);
    bind(BorcumuzEdit, screen.BorcumuzEdit);
    bind(AciklamaEdit, screen.AciklamaEdit);
    bindCaption(tabs, 0, screen.AylikSheet);

    onExit(KoduEdit, [&screen] { screen.KoduEditExit(); });
    for (QWidget* box : {static_cast<QWidget*>(KoduEdit), static_cast<QWidget*>(AdiEdit),
                         static_cast<QWidget*>(SutcuAraEdit)})
        onDoubleClick(box, [&screen] { screen.secButtonClick(); });
    onClick(SaklaBut, [&screen] { screen.SaklaButClick(); });
    onClick(yeniBut, [&screen] { screen.yeniButClick(); });
    onClick(secButton, [&screen] { screen.secButtonClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });

    setControls({
        {tarihDate, "tarihDate"},
        {KoduEdit, "KoduEdit"},
        {AdiEdit, "AdiEdit"},
        {FisNoEdit, "FisNoEdit"},
        {MiktariEdit, "MiktariEdit"},
        {AlacagimizEdit, "AlacagimizEdit"},
        {BorcumuzEdit, "BorcumuzEdit"},
        {AciklamaEdit, "AciklamaEdit"},
        {SaklaBut, "SaklaBut"},
        {yeniBut, "yeniBut"},
        {secButton, "secButton"},
        {kapatButton, "kapatButton"},
        {SutcuAraEdit, "SutcuAraEdit"},
        {strip->findButton, "BulBut"},
        {strip->grid, "CariGrid"},
        {tabs, "tabs"},
        {monthGrid, "monthGrid"},
    });
    keyboardLists(tabs, {monthGrid}, KoduEdit);
    saveOnCtrlS(panel, SaklaBut);
    setStartControl(KoduEdit);
    strip->setAfterPick(FisNoEdit);
}
