#include "screens/Hakedis/HakedisWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/TextGrid.h"
#include "ledger/print/SettlementPrint.h"
#include "screens/PagePreviewDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

HakedisWindow::HakedisWindow(THakedisF& screen)
    : FormWindow(QStringLiteral("Orvalin Kovanta - Hakediş"), screen), screen_(screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* rows = new QVBoxLayout(centre);
    rows->setContentsMargins(4, 4, 4, 4);
    rows->setSpacing(3);

    // The period and its quick choices.
    auto* period = new QHBoxLayout;
    auto* IlkTarihDate = new DatePicker(centre);
    auto* SonTarihDate = new DatePicker(centre);
    // A day needs no more; the buttons of both rows get the room.
    for (DatePicker* day : {IlkTarihDate, SonTarihDate}) day->setMaximumWidth(day->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 40);
    const auto label = [centre](const QString& text, QWidget* buddy) {
        auto* caption = new QLabel(text, centre);
        caption->setBuddy(buddy);
        return caption;
    };
    auto* BuAyBut = new QPushButton(QStringLiteral("&Bu Ay"), centre);
    auto* IlkYariBut = new QPushButton(QStringLiteral("1–1&5"), centre);
    auto* IkinciYariBut = new QPushButton(QStringLiteral("16–Ay &Sonu"), centre);
    auto* HesaplaBut = new QPushButton(QStringLiteral("&Hesapla"), centre);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), centre);
    period->addWidget(label(QStringLiteral("İlk &Tarih"), IlkTarihDate));
    period->addWidget(IlkTarihDate);
    period->addWidget(label(QStringLiteral("S&on Tarih"), SonTarihDate));
    period->addWidget(SonTarihDate);
    period->addSpacing(8);
    for (QPushButton* button : {BuAyBut, IlkYariBut, IkinciYariBut}) period->addWidget(button);
    period->addSpacing(8);
    period->addWidget(HesaplaBut);
    auto* OdendiBut = new QPushButton(QStringLiteral("Ö&dendi Olarak Kaydet"), centre);
    period->addSpacing(8);
    period->addWidget(OdendiBut);
    period->addStretch();
    auto* IkiPusulaCheck = new QCheckBox(QStringLiteral("&A4'e iki pusula"), centre);
    period->addWidget(IkiPusulaCheck);
    period->addWidget(kapatButton);
    rows->addLayout(period);

    // What is done with the settlement.
    auto* actions = new QHBoxLayout;
    auto* KaydetBut = new QPushButton(QStringLiteral("Hakedişi &Kaydet"), centre);
    auto* GeriAlBut = new QPushButton(QStringLiteral("Hakedişi &Geri Al"), centre);
    auto* PusulaBut = new QPushButton(QStringLiteral("&Pusula"), centre);
    auto* TumPusulaBut = new QPushButton(QStringLiteral("T&üm Pusulalar"), centre);
    auto* OdemeListesiBut = new QPushButton(QStringLiteral("Ödeme &Listesi"), centre);
    auto* OdemeCsvBut = new QPushButton(QStringLiteral("Ödeme &CSV…"), centre);
    auto* OdemeExcelBut = new QPushButton(QStringLiteral("Ödeme E&xcel…"), centre);
    auto* HakedisCsvBut = new QPushButton(QStringLiteral("Hakediş CS&V…"), centre);
    auto* HakedisExcelBut = new QPushButton(QStringLiteral("Hakediş &Excel…"), centre);
    // The lists' own key for a spreadsheet file, beside Alt+E: a button's
    // own shortcut would take the place of its underlined letter.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this), &QShortcut::activated, HakedisExcelBut,
            &QPushButton::click);
    for (QWidget* control : std::initializer_list<QWidget*>{KaydetBut, GeriAlBut, PusulaBut, TumPusulaBut, OdemeListesiBut, OdemeCsvBut, OdemeExcelBut, HakedisCsvBut,
                                                           HakedisExcelBut})
        actions->addWidget(control);
    actions->addStretch();
    rows->addLayout(actions);

    auto* HakedisGrid = new TextGrid(screen.HakedisGrid, screen.HakedisRow, centre);
    rows->addWidget(HakedisGrid, 1);
    auto* YuvarlamaLabel = new QLabel(centre);
    auto* DurumLabel = new QLabel(centre);
    QFont bold = DurumLabel->font();
    bold.setBold(true);
    DurumLabel->setFont(bold);
    // Long lines are cut at the window's edge, whole on hover.
    for (QLabel* line : {YuvarlamaLabel, DurumLabel}) line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rows->addWidget(YuvarlamaLabel);
    rows->addWidget(DurumLabel);
    setCentralWidget(centre);

    bind(IlkTarihDate, screen.IlkTarihDate, [&screen] { screen.dateChange(); });
    bind(SonTarihDate, screen.SonTarihDate, [&screen] { screen.dateChange(); });
    bind(YuvarlamaLabel, screen.YuvarlamaLabel);
    bind(DurumLabel, screen.DurumLabel);
    bind(IkiPusulaCheck, screen.IkiPusulaCheck);
    screen.DurumLabel.onChange([DurumLabel](const QString& text) { DurumLabel->setToolTip(text); });
    enterGoesTo(IlkTarihDate, SonTarihDate);
    enterGoesTo(SonTarihDate, HesaplaBut);
    onClick(BuAyBut, [&screen] { screen.quickClick(THakedisF::Quick::WholeMonth); });
    onClick(IlkYariBut, [&screen] { screen.quickClick(THakedisF::Quick::FirstHalf); });
    onClick(IkinciYariBut, [&screen] { screen.quickClick(THakedisF::Quick::SecondHalf); });
    onClick(HesaplaBut, [&screen] { screen.HesaplaClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });
    onClick(KaydetBut, [&screen] { screen.KaydetClick(); });
    onClick(GeriAlBut, [&screen] { screen.GeriAlClick(); });
    onClick(PusulaBut, [&screen] { screen.PusulaClick(); });
    onClick(TumPusulaBut, [&screen] { screen.TumPusulalarClick(); });
    onClick(OdemeListesiBut, [&screen] { screen.OdemeListesiClick(); });
    onClick(OdemeCsvBut, [&screen] { screen.OdemeCsvClick(); });
    onClick(HakedisCsvBut, [&screen] { screen.HakedisCsvClick(); });
    onClick(OdemeExcelBut, [&screen] { screen.OdemeExcelClick(); });
    onClick(HakedisExcelBut, [&screen] { screen.HakedisExcelClick(); });
    onClick(OdendiBut, [&screen] { screen.OdendiClick(); });
    HakedisGrid->onEnter([&screen] { screen.PusulaClick(); });
    screen.attachPreview(this);

    setControls({
        {IlkTarihDate, "IlkTarihDate"},
        {SonTarihDate, "SonTarihDate"},
        {BuAyBut, "BuAyBut"},
        {IlkYariBut, "IlkYariBut"},
        {IkinciYariBut, "IkinciYariBut"},
        {HesaplaBut, "HesaplaBut"},
        {OdendiBut, "OdendiBut"},
        {IkiPusulaCheck, "IkiPusulaCheck"},
        {KaydetBut, "KaydetBut"},
        {GeriAlBut, "GeriAlBut"},
        {PusulaBut, "PusulaBut"},
        {TumPusulaBut, "TumPusulaBut"},
        {OdemeListesiBut, "OdemeListesiBut"},
        {OdemeCsvBut, "OdemeCsvBut"},
        {OdemeExcelBut, "OdemeExcelBut"},
        {HakedisCsvBut, "HakedisCsvBut"},
        {HakedisExcelBut, "HakedisExcelBut"},
        {HakedisGrid, "HakedisGrid"},
        {kapatButton, "kapatButton"},
    });
    setStartControl(IlkTarihDate);
    keyboardList(HakedisGrid, IlkTarihDate);
}

HakedisWindow::~HakedisWindow()
{
    screen_.attachPreview(nullptr);
}

namespace {

void setUpPrinter(QPrinter& printer, QPageSize::PageSizeId paper, const QString& fileName)
{
    printer.setPageSize(QPageSize(paper));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    printer.setDocName(fileName);
    printer.setOutputFileName(QDir::current().absoluteFilePath(fileName + QStringLiteral(".pdf")));
}

}  // namespace

void HakedisWindow::previewSlips(const Settlement& settlement, bool twoPerA4)
{
    QPrinter printer(QPrinter::HighResolution);
    const QString what = settlement.lines.size() == 1 ? QStringLiteral("Pusula-") + settlement.lines.front().kodu
                                                      : QStringLiteral("Pusulalar");
    setUpPrinter(printer, twoPerA4 ? QPageSize::A4 : QPageSize::A5, settlement.fileName(what));
    PagePreviewDialog preview([settlement, twoPerA4](QPagedPaintDevice& device) { return layOutSlips(device, settlement, twoPerA4); },
                              printer, this);
    preview.resize(size());
    preview.exec();
}

void HakedisWindow::previewPayouts(const Settlement& settlement, const PayoutList& payouts)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, QPageSize::A4, settlement.fileName(QStringLiteral("Odeme-Listesi")));
    PagePreviewDialog preview(
        [settlement, payouts](QPagedPaintDevice& device) { return layOutPayoutList(device, settlement, payouts); }, printer, this);
    preview.resize(size());
    preview.exec();
}
