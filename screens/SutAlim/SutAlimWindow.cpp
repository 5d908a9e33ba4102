#include "screens/SutAlim/SutAlimWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/ProducerStrip.h"
#include "screens/SutAlim/SutAlim.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

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
    // A row under the boxes names the entry being corrected; the quality
    // boxes and the price they make take two rows more while they are shown.
    const auto fitPanel = [panel](bool quality) { panel->setFixedHeight(quality ? 170 : 118); };
    fitPanel(screen.KaliteGoster.checked());
    screen.KaliteGoster.onChange(fitPanel);
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
    // Each pour's fat, protein and grade, under the litres, and under them
    // the price they make, on a line of its own so that it is read whole.
    auto* quality = new QWidget(panel);
    auto* qualityLines = new QVBoxLayout(quality);
    qualityLines->setContentsMargins(0, 0, 0, 0);
    qualityLines->setSpacing(2);
    auto* qualityRow = new QHBoxLayout;
    qualityLines->addLayout(qualityRow);
    const auto figureBox = [quality] {
        auto* box = new AmountEdit(quality);
        box->setEmptyKept(true);
        box->fitFigure(QStringLiteral("99,99"), 16);
        return box;
    };
    const auto gradeBox = [quality] {
        auto* box = new QLineEdit(quality);
        box->setMaxLength(4);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 12);
        return box;
    };
    auto* SYagEdit = figureBox();
    auto* SProteinEdit = figureBox();
    auto* SHijyenEdit = gradeBox();
    auto* AYagEdit = figureBox();
    auto* AProteinEdit = figureBox();
    auto* AHijyenEdit = gradeBox();
    auto* KaliteFiyatLabel = new QLabel(quality);
    // Texts that come and go never widen the window past the screen: a
    // narrow one cuts them.
    KaliteFiyatLabel->setMinimumWidth(1);
    KaliteFiyatLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    const auto labelled = [quality, qualityRow](const char* text, QWidget* box) {
        qualityRow->addWidget(new QLabel(QString::fromUtf8(text), quality));
        qualityRow->addWidget(box);
    };
    labelled("Sabah: Yağ %", SYagEdit);
    labelled("Protein %", SProteinEdit);
    labelled("Hijyen", SHijyenEdit);
    qualityRow->addSpacing(12);
    labelled("Akşam: Yağ %", AYagEdit);
    labelled("Protein %", AProteinEdit);
    labelled("Hijyen", AHijyenEdit);
    qualityRow->addStretch();
    qualityLines->addWidget(KaliteFiyatLabel);
    grid->addWidget(quality, 3, 0, 1, 7);
    grid->addWidget(correctionLine(screen, this, panel), 4, 0, 1, 7);
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
    bind(SYagEdit, screen.SYagEdit);
    bind(SProteinEdit, screen.SProteinEdit);
    bind(SHijyenEdit, screen.SHijyenEdit);
    bind(AYagEdit, screen.AYagEdit);
    bind(AProteinEdit, screen.AProteinEdit);
    bind(AHijyenEdit, screen.AHijyenEdit);
    bind(KaliteFiyatLabel, screen.KaliteFiyatLabel);
    bindVisible(quality, screen.KaliteGoster);
    for (QWidget* box : {static_cast<QWidget*>(SYagEdit), static_cast<QWidget*>(SProteinEdit), static_cast<QWidget*>(SHijyenEdit),
                         static_cast<QWidget*>(AYagEdit), static_cast<QWidget*>(AProteinEdit), static_cast<QWidget*>(AHijyenEdit)})
        onExit(box, [&screen] { screen.KaliteExit(); });
    for (const auto& [litres, pour] : {std::pair{sabahEdit, TSutAlimF::Pour::Sabah}, std::pair{aksamEdit, TSutAlimF::Pour::Aksam}})
        enterGoesTo(litres, [this, &screen, pour] {
            const QString next = screen.afterLitres(pour);
            return next.isEmpty() ? nullptr : findChild<QWidget*>(next);
        });
    // What of the counter is connected, on the status bar's right: most
    // of the room the lost-server line leaves.
    auto* CihazDurumu = new QLabel(statusBar());
    CihazDurumu->setMinimumWidth(1);
    CihazDurumu->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addPermanentWidget(CihazDurumu, 3);
    bind(CihazDurumu, screen.CihazDurumu);
    // F7 and F8 fill the pour the keyboard is on: the evening's boxes, or the morning's.
    const auto pourInFocus = [eveningBoxes = std::vector<QWidget*>{aksamEdit, AYagEdit, AProteinEdit, AHijyenEdit}] {
        const bool evening = std::find(eveningBoxes.begin(), eveningBoxes.end(), QApplication::focusWidget()) != eveningBoxes.end();
        return evening ? TSutAlimF::Pour::Aksam : TSutAlimF::Pour::Sabah;
    };
    const auto counterKey = [this](Qt::Key key, std::function<void()> handler) {
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, [handler = std::move(handler)] { guarded(handler); });
    };
    counterKey(Qt::Key_F7, [&screen, pourInFocus] { screen.AnalizClick(pourInFocus()); });
    counterKey(Qt::Key_F8, [&screen, pourInFocus] { screen.TeraziClick(pourInFocus()); });
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
        {SYagEdit, "SYagEdit"},
        {SProteinEdit, "SProteinEdit"},
        {SHijyenEdit, "SHijyenEdit"},
        {SBirimFiyatEdit, "SBirimFiyatEdit"},
        {aksamEdit, "aksamEdit"},
        {AYagEdit, "AYagEdit"},
        {AProteinEdit, "AProteinEdit"},
        {AHijyenEdit, "AHijyenEdit"},
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
