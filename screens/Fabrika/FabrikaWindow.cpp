#include "screens/Fabrika/FabrikaWindow.h"

#include "common/widgets/BarChart.h"
#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Fabrika/Fabrika.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPanelHeight = 89;
constexpr int kFigureWidth = 84;
constexpr int kNoteWidth = 209;

// A worked-out figure: shown, never typed in, so Tab and Enter pass it by.
QLineEdit* figureBox(QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(kFigureWidth);
    return box;
}

AmountEdit* amountBox(QWidget* parent)
{
    auto* box = new AmountEdit(parent);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(kFigureWidth);
    return box;
}

}  // namespace

FabrikaWindow::FabrikaWindow(TFabrikaF& screen)
    : FormWindow(QStringLiteral("Orvalin Kovanta - Fabrika Süt Teslim İşlemleri"), screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* rows = new QVBoxLayout(centre);
    rows->setContentsMargins(4, 0, 4, 4);
    rows->setSpacing(2);

    // The entry panel.
    auto* panel = new QWidget(centre);
    panel->setFixedHeight(kPanelHeight);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(2, 3, 2, 3);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    const auto label = [panel](const char* text) { return new QLabel(QString::fromUtf8(text), panel); };

    auto* tarihDate = new DatePicker(panel);
    auto* FabrikaSutFiyatiEdit = amountBox(panel);
    auto* FiyatSaklaBut = new QPushButton(QStringLiteral("Fiyat Sakla"), panel);
    auto* STMiktariEdit = figureBox(panel);
    auto* ATMiktariEdit = figureBox(panel);
    auto* ToplamTutarEdit = figureBox(panel);
    auto* SFMiktariEdit = amountBox(panel);
    auto* AFMiktariEdit = amountBox(panel);
    auto* FabrikaTutarEdit = figureBox(panel);
    auto* SFarkMiktariEdit = figureBox(panel);
    auto* AFarkMiktariEdit = figureBox(panel);
    auto* FarkTutarEdit = figureBox(panel);
    auto* SaklaBut = new QPushButton(QStringLiteral("Sakla"), panel);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), panel);
    auto* AciklamaEdit = new QLineEdit(panel);
    AciklamaEdit->setFixedWidth(kNoteWidth);
    AciklamaEdit->setAlignment(Qt::AlignLeft);

    // Date and price at the left.
    auto* day = new QHBoxLayout;
    day->addWidget(label("Tarih"));
    day->addWidget(tarihDate);
    grid->addLayout(day, 0, 0);
    grid->addWidget(label("Fabrika Süt Fiyatı"), 1, 0);
    auto* price = new QHBoxLayout;
    price->addWidget(FabrikaSutFiyatiEdit);
    price->addWidget(FiyatSaklaBut);
    grid->addLayout(price, 2, 0);
    grid->setColumnMinimumWidth(1, 8);

    // The three-by-three block: collected, delivered, difference.
    const struct {
        const char* caption;
        QLineEdit* box;
        int row;
        int column;
    } block[] = {
        {"Sabah Top. Mik.", STMiktariEdit, 0, 0},   {"Akşam Top. Mik.", ATMiktariEdit, 0, 1},
        {"Toplam Tutarı", ToplamTutarEdit, 0, 2},   {"Sabah Fab. Mik.", SFMiktariEdit, 1, 0},
        {"Akşam Fab. Mik.", AFMiktariEdit, 1, 1},   {"Fabrika Tutarı", FabrikaTutarEdit, 1, 2},
        {"Sabah Fark Mik.", SFarkMiktariEdit, 2, 0}, {"Akşam Fark Mik.", AFarkMiktariEdit, 2, 1},
        {"Fark Tutarı", FarkTutarEdit, 2, 2},
    };
    for (const auto& cell : block) {
        auto* caption = label(cell.caption);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, cell.row, 2 + 2 * cell.column);
        grid->addWidget(cell.box, cell.row, 3 + 2 * cell.column);
    }

    // Save, close and the note at the right.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaklaBut);
    buttons->addWidget(kapatButton);
    grid->addLayout(buttons, 0, 9);
    grid->addWidget(label("Açıklama"), 1, 9);
    grid->addWidget(AciklamaEdit, 2, 9);
    grid->setColumnMinimumWidth(8, 8);
    grid->setColumnStretch(10, 1);
    rows->addWidget(panel);

    // The month page.
    auto* tabs = new QTabWidget(centre);
    auto* FabrikaGrid = new QueryGrid(screen.FabrikaQuery, TFabrikaF::kMonthColumns);
    FabrikaGrid->onEnter([&screen] { screen.FabrikaGridDblClick(); });
    FabrikaGrid->addMenuItem(QStringLiteral("Değiştir"), [&screen] { screen.Degistir1Click(); });
    FabrikaGrid->addMenuItem(QStringLiteral("Kaydı Sil"), [&screen] { screen.KaydSil1Click(); }, QKeySequence(Qt::Key_Delete));
    FabrikaGrid->addMenuItem(QStringLiteral("Silineni Geri Al"), [&screen] { screen.GeriAl1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    FabrikaGrid->addCsvItem([&screen] { screen.FabrikaCsvClick(); });
    FabrikaGrid->addXlsxItem([&screen] { screen.FabrikaXlsxClick(); });
    // Fifteen columns fit 1024 pixels only with their titles on two lines
    // and each as wide as the month's figures need, in a wide face too.
    FabrikaGrid->fitNumberColumns(QStringLiteral("9.999,99"));
    tabs->addTab(viewPage(FabrikaGrid, screen.AyToplam, TFabrikaF::kMonthTotals), QString());
    auto* GrafikChart = new BarChart(screen.AylikGrafik);
    tabs->addTab(GrafikChart, QStringLiteral("Grafik"));
    rows->addWidget(tabs, 1);
    setCentralWidget(centre);

    bind(tarihDate, screen.tarihDate, [&screen] { screen.tarihDateChange(); });
    bind(FabrikaSutFiyatiEdit, screen.FabrikaSutFiyatiEdit);
    bind(STMiktariEdit, screen.STMiktariEdit);
    bind(ATMiktariEdit, screen.ATMiktariEdit);
    bind(ToplamTutarEdit, screen.ToplamTutarEdit);
    bind(SFMiktariEdit, screen.SFMiktariEdit);
    bind(AFMiktariEdit, screen.AFMiktariEdit);
    bind(FabrikaTutarEdit, screen.FabrikaTutarEdit);
    bind(SFarkMiktariEdit, screen.SFarkMiktariEdit);
    bind(AFarkMiktariEdit, screen.AFarkMiktariEdit);
    bind(FarkTutarEdit, screen.FarkTutarEdit);
    bind(AciklamaEdit, screen.AciklamaEdit);
    bindCaption(tabs, 0, screen.AylikSheet);

    // Leaving a delivery or the price box rewrites it, then the sums follow.
    for (AmountEdit* entry : {FabrikaSutFiyatiEdit, SFMiktariEdit, AFMiktariEdit})
        connect(entry, &AmountEdit::left, entry, [&screen] { guarded([&screen] { screen.ToplamAl(); }); });
    onClick(SaklaBut, [&screen] { screen.SaklaButClick(); });
    onClick(FiyatSaklaBut, [&screen] { screen.FiyatSaklaButClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });
    FabrikaGrid->onDoubleClick([&screen] { screen.FabrikaGridDblClick(); });

    // "Fiyat Sakla" right after the price: Enter twice keeps a new price.
    setControls({
        {tarihDate, "tarihDate"},
        {FabrikaSutFiyatiEdit, "FabrikaSutFiyatiEdit"},
        {FiyatSaklaBut, "FiyatSaklaBut"},
        {SFMiktariEdit, "SFMiktariEdit"},
        {AFMiktariEdit, "AFMiktariEdit"},
        {AciklamaEdit, "AciklamaEdit"},
        {SaklaBut, "SaklaBut"},
        {kapatButton, "kapatButton"},
        {STMiktariEdit, "STMiktariEdit"},
        {SFarkMiktariEdit, "SFarkMiktariEdit"},
        {ATMiktariEdit, "ATMiktariEdit"},
        {AFarkMiktariEdit, "AFarkMiktariEdit"},
        {ToplamTutarEdit, "ToplamTutarEdit"},
        {FabrikaTutarEdit, "FabrikaTutarEdit"},
        {FarkTutarEdit, "FarkTutarEdit"},
        {tabs, "tabs"},
        {FabrikaGrid, "FabrikaGrid"},
        {GrafikChart, "GrafikChart"},
    });
    setStartControl(SFMiktariEdit);
    saveOnCtrlS(panel, SaklaBut);
    keyboardLists(tabs, {FabrikaGrid, GrafikChart}, SFMiktariEdit);
}
