#include "screens/SutAlim/SutAlimWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/ProducerStrip.h"
#include "screens/SutAlim/SutAlim.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

SutAlimWindow::SutAlimWindow(TSutAlimF& screen) : FormWindow(QStringLiteral("Orvalin Kovanta - Süt Alımı Girişi"), screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* columns = new QHBoxLayout(centre);

    auto* strip = new ProducerStrip(screen, {QStringLiteral("Bul"), QStringLiteral("Süt Alım Listesi")}, centre);
    auto* YeniHesapBut = strip->addButton(QStringLiteral("Yeni Hesap Ekle"), [&screen] { screen.YeniHesapButClick(); });
    columns->addWidget(strip);

    // The entry panel.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    auto* panel = new QWidget(centre);
    // A row under the boxes names the entry being corrected.
    panel->setFixedHeight(118);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 4, 4, 4);
    const auto label = [panel](const char* text) { return new QLabel(QString::fromUtf8(text), panel); };

    auto* tarihDate = new DatePicker(panel);
    auto* KoduEdit = new QLineEdit(panel);
    auto* GetirBut = new QPushButton(QStringLiteral("Getir"), panel);
    GetirBut->setFixedWidth(44);
    auto* AdiEdit = new NameEdit(panel);
    auto* sabahEdit = new AmountEdit(panel);
    auto* SBirimFiyatEdit = new AmountEdit(panel);
    auto* aksamEdit = new AmountEdit(panel);
    auto* AciklamaEdit = new QLineEdit(panel);
    auto* SaklaBut = new QPushButton(QStringLiteral("Girişi Sakla"), panel);
    auto* yeniBut = new QPushButton(QStringLiteral("Yeni Süt Alım Girişi"), panel);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), panel);
    auto* SonrakiRadio = new QRadioButton(QStringLiteral("Sonrakine Geç"), panel);
    auto* GecmeRadio = new QRadioButton(QStringLiteral("Sonrakine Geçme"), panel);
    sabahEdit->setAlignment(Qt::AlignRight);
    aksamEdit->setAlignment(Qt::AlignRight);
    SBirimFiyatEdit->setAlignment(Qt::AlignLeft);
    // Sized to what they show, so the panel fits a 1024-pixel screen.
    tarihDate->setFixedWidth(100);
    KoduEdit->setMinimumWidth(60);
    AdiEdit->setMinimumWidth(150);
    for (QLineEdit* amount : {static_cast<QLineEdit*>(sabahEdit), static_cast<QLineEdit*>(SBirimFiyatEdit),
                              static_cast<QLineEdit*>(aksamEdit)})
        amount->setFixedWidth(80);

    grid->addWidget(label("Tarih"), 0, 0);
    grid->addWidget(tarihDate, 1, 0);
    grid->addWidget(label("Kodu"), 0, 1);
    auto* code = new QHBoxLayout;
    code->addWidget(KoduEdit);
    code->addWidget(GetirBut);
    grid->addLayout(code, 1, 1);
    grid->addWidget(label("Adı Soyadı"), 0, 2);
    grid->addWidget(AdiEdit, 1, 2);
    grid->addWidget(label("Sabah"), 0, 3);
    grid->addWidget(sabahEdit, 1, 3);
    grid->addWidget(label("Süt Fiyatı"), 0, 4);
    grid->addWidget(SBirimFiyatEdit, 1, 4);
    grid->addWidget(label("Akşam"), 0, 5);
    grid->addWidget(aksamEdit, 1, 5);
    grid->addWidget(label("Açıklama"), 2, 0);
    grid->addWidget(AciklamaEdit, 2, 1, 1, 2);
    auto* actions = new QHBoxLayout;
    actions->addWidget(SaklaBut);
    actions->addWidget(yeniBut);
    actions->addWidget(kapatButton);
    actions->addStretch();
    grid->addLayout(actions, 2, 3, 1, 4);
    grid->addWidget(correctionLine(screen, this, panel), 3, 0, 1, 7);
    grid->addWidget(SonrakiRadio, 0, 6);
    grid->addWidget(GecmeRadio, 1, 6);
    grid->setColumnStretch(2, 1);
    right->addWidget(panel);

    // The day and month pages.
    auto* tabs = new QTabWidget(centre);
    auto* dayGrid = new QueryGrid(screen.SutGirisiQuery, TSutAlimF::kDayColumns);
    entryListItems(dayGrid, screen);
    dayGrid->addCsvItem([&screen] { screen.GunlukCsvClick(); });
    dayGrid->addXlsxItem([&screen] { screen.GunlukXlsxClick(); });
    tabs->addTab(viewPage(dayGrid, screen.SutGirisiToplam, TSutAlimF::kDayTotals), QString());
    auto* monthGrid = new QueryGrid(screen.AylikSutGirisiQuery, TSutAlimF::kMonthColumns);
    monthGrid->setEnterWalksCells(true);
    monthGrid->addCsvItem([&screen] { screen.AylikCsvClick(); });
    monthGrid->addXlsxItem([&screen] { screen.AylikXlsxClick(); });
    tabs->addTab(viewPage(monthGrid, screen.AylikSutGirisiToplam, TSutAlimF::kMonthTotals), QString());
    auto* GelmeyenGrid = new QueryGrid(screen.GelmeyenQuery, TSutAlimF::kAbsentColumns);
    // The pick, then his morning litres.
    const auto pickAbsent = [&screen, sabahEdit] {
        screen.GelmeyenGridDblClick();
        sabahEdit->setFocus(Qt::TabFocusReason);
    };
    GelmeyenGrid->addMenuItem(QStringLiteral("Seç"), pickAbsent);
    GelmeyenGrid->addCsvItem([&screen] { screen.GelmeyenCsvClick(); });
    GelmeyenGrid->addXlsxItem([&screen] { screen.GelmeyenXlsxClick(); });
    GelmeyenGrid->onEnter(pickAbsent);
    GelmeyenGrid->onDoubleClick(pickAbsent);
    tabs->addTab(GelmeyenGrid, QString());
    tabs->setCurrentIndex(0);
    right->addWidget(tabs, 1);
    setCentralWidget(centre);

    bind(tarihDate, screen.tarihDate, [&screen] { screen.tarihDateChange(); });
    bind(KoduEdit, screen.KoduEdit);
    bind(AdiEdit, screen.AdiEdit);
    bind(sabahEdit, screen.sabahEdit);
    bind(SBirimFiyatEdit, screen.SBirimFiyatEdit);
    bind(aksamEdit, screen.aksamEdit);
    bind(AciklamaEdit, screen.AciklamaEdit);
    bind(SonrakiRadio, GecmeRadio, screen.SonrakiRadio);
    bindCaption(tabs, 0, screen.GunlukSheet);
    bindCaption(tabs, 1, screen.AylikSheet);
    bindCaption(tabs, 2, screen.GelmeyenSheet);

    onExit(KoduEdit, [&screen] { screen.KoduEditExit(); });
    onDoubleClick(KoduEdit, [&screen] { screen.YeniHesapButClick(); });
    onDoubleClick(AdiEdit, [&screen] { screen.YeniHesapButClick(); });
    onClick(GetirBut, [&screen] { screen.GetirButClick(); });
    onClick(SaklaBut, [&screen] { screen.SaklaButClick(); });
    onClick(yeniBut, [&screen] { screen.yeniButClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });

    setControls({
        {tarihDate, "tarihDate"},
        {KoduEdit, "KoduEdit"},
        {AdiEdit, "AdiEdit"},
        {sabahEdit, "sabahEdit"},
        {SBirimFiyatEdit, "SBirimFiyatEdit"},
        {aksamEdit, "aksamEdit"},
        {AciklamaEdit, "AciklamaEdit"},
        {SaklaBut, "SaklaBut"},
        {yeniBut, "yeniBut"},
        {kapatButton, "kapatButton"},
        {GetirBut, "GetirBut"},
        {SonrakiRadio, "SonrakiRadio"},
        {GecmeRadio, "GecmeRadio"},
        {strip->searchEdit, "SutcuAraEdit"},
        {strip->findButton, "BulBut"},
        {YeniHesapBut, "YeniHesapBut"},
        {strip->grid, "CariGrid"},
        {tabs, "tabs"},
        {dayGrid, "dayGrid"},
        {monthGrid, "monthGrid"},
        {GelmeyenGrid, "GelmeyenGrid"},
    });
    // From anywhere in the window straight to who has not poured yet.
    auto* toAbsent = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    connect(toAbsent, &QShortcut::activated, this, [tabs, GelmeyenGrid] {
        tabs->setCurrentWidget(GelmeyenGrid);
        GelmeyenGrid->setFocus(Qt::ShortcutFocusReason);
    });
    keyboardLists(tabs, {dayGrid, monthGrid, GelmeyenGrid}, KoduEdit);
    saveOnCtrlS(panel, SaklaBut);
    // The opening loads the first producer: his morning litres come next.
    setStartControl(sabahEdit);
    strip->setAfterPick(sabahEdit);
}
