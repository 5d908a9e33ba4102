#include "screens/KaliteFiyati/KaliteFiyatiWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/TextGrid.h"
#include "screens/KaliteFiyati/KaliteFiyati.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

KaliteFiyatiWindow::KaliteFiyatiWindow(TKaliteFiyatiF& screen)
    : FormWindow(QStringLiteral("Orvalin Kovanta - Kalite Fiyatı"), screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* rows = new QVBoxLayout(centre);
    rows->setContentsMargins(4, 4, 4, 4);

    auto* panel = new QWidget(centre);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(2, 2, 2, 2);
    auto* BaslangicDate = new DatePicker(panel);
    const auto figureBox = [panel] {
        auto* box = new AmountEdit(panel);
        box->fitFigure(QStringLiteral("9.999,99"), 24);
        return box;
    };
    auto* ReferansFiyatEdit = figureBox();
    auto* ReferansYagEdit = figureBox();
    auto* ReferansProteinEdit = figureBox();
    auto* YagPrimiEdit = figureBox();
    auto* YagKesintisiEdit = figureBox();
    auto* ProteinPrimiEdit = figureBox();
    auto* ProteinKesintisiEdit = figureBox();
    auto* HijyenEdit = new QLineEdit(panel);
    HijyenEdit->setPlaceholderText(QStringLiteral("A=0,05; C=-0,30"));
    const auto place = [panel, grid](const QString& text, QWidget* box, int row, int column) {
        auto* caption = new QLabel(text, panel);
        caption->setBuddy(box);
        grid->addWidget(caption, row, column);
        grid->addWidget(box, row, column + 1, Qt::AlignLeft);
    };
    place(QStringLiteral("&Başlangıç Tarihi"), BaslangicDate, 0, 0);
    place(QStringLiteral("Referans &Fiyat (TL/LT)"), ReferansFiyatEdit, 1, 0);
    place(QStringLiteral("&Referans Yağ %"), ReferansYagEdit, 2, 0);
    place(QStringLiteral("Referans &Protein %"), ReferansProteinEdit, 3, 0);
    place(QStringLiteral("Yağ Pri&mi (0,1 puan)"), YagPrimiEdit, 0, 2);
    place(QStringLiteral("Yağ K&esintisi (0,1 puan)"), YagKesintisiEdit, 1, 2);
    place(QStringLiteral("Protein Pr&imi (0,1 puan)"), ProteinPrimiEdit, 2, 2);
    place(QStringLiteral("Protein Kesin&tisi (0,1 puan)"), ProteinKesintisiEdit, 3, 2);
    place(QStringLiteral("&Hijyen Farkları"), HijyenEdit, 4, 0);
    grid->addWidget(HijyenEdit, 4, 1, 1, 3);
    auto* hint = new QLabel(TKaliteFiyatiF::kHint, panel);
    hint->setWordWrap(true);
    grid->addWidget(hint, 5, 0, 1, 5);
    auto* DurumLabel = new QLabel(panel);
    grid->addWidget(DurumLabel, 0, 4);

    grid->setColumnStretch(4, 1);
    rows->addWidget(panel);
    const LineControls lines = addLineControls(
        grid, 6, 5, rows, screen.FiyatList, screen.FiyatRow, QStringLiteral("Fiyat &Listesi (Enter: düzelt)"),
        {[&screen] { screen.KaydetClick(); }, [&screen] { screen.YeniClick(); }, [&screen] { screen.SilClick(); },
         [&screen] { screen.FiyatListEnter(); }, [&screen] { screen.FiyatListDelete(); }});
    setCentralWidget(centre);

    bind(BaslangicDate, screen.BaslangicDate, [] {});
    bind(ReferansFiyatEdit, screen.ReferansFiyatEdit);
    bind(ReferansYagEdit, screen.ReferansYagEdit);
    bind(ReferansProteinEdit, screen.ReferansProteinEdit);
    bind(YagPrimiEdit, screen.YagPrimiEdit);
    bind(YagKesintisiEdit, screen.YagKesintisiEdit);
    bind(ProteinPrimiEdit, screen.ProteinPrimiEdit);
    bind(ProteinKesintisiEdit, screen.ProteinKesintisiEdit);
    bind(HijyenEdit, screen.HijyenEdit);
    bind(DurumLabel, screen.DurumLabel);
    enterGoesTo(BaslangicDate, ReferansFiyatEdit);

    setControls({
        {BaslangicDate, "BaslangicDate"},
        {ReferansFiyatEdit, "ReferansFiyatEdit"},
        {ReferansYagEdit, "ReferansYagEdit"},
        {ReferansProteinEdit, "ReferansProteinEdit"},
        {YagPrimiEdit, "YagPrimiEdit"},
        {YagKesintisiEdit, "YagKesintisiEdit"},
        {ProteinPrimiEdit, "ProteinPrimiEdit"},
        {ProteinKesintisiEdit, "ProteinKesintisiEdit"},
        {HijyenEdit, "HijyenEdit"},
        {lines.kaydet, "KaydetBut"},
        {lines.yeni, "YeniBut"},
        {lines.sil, "SilBut"},
        {lines.kapat, "kapatButton"},
        {lines.list, "FiyatGrid"},
    });
    setStartControl(BaslangicDate);
    keyboardList(lines.list, BaslangicDate);
    saveOnCtrlS(panel, lines.kaydet);
}
