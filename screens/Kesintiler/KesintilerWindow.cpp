#include "screens/Kesintiler/KesintilerWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"
#include "common/widgets/TextGrid.h"
#include "screens/Kesintiler/Kesintiler.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

KesintilerWindow::KesintilerWindow(TKesintilerF& screen)
    : FormWindow(QStringLiteral("Orvalin Kovanta - Kesintiler"), screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* rows = new QVBoxLayout(centre);
    rows->setContentsMargins(4, 4, 4, 4);

    auto* panel = new QWidget(centre);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(2, 2, 2, 2);
    auto* AdiCombo = new QComboBox(panel);
    AdiCombo->setEditable(true);
    AdiCombo->setInsertPolicy(QComboBox::NoInsert);
    AdiCombo->addItems(TKesintilerF::kOfferedNames);
    AdiCombo->setMinimumWidth(AdiCombo->fontMetrics().horizontalAdvance(TKesintilerF::kOfferedNames.value(1)) + 60);
    auto* OranEdit = new AmountEdit(panel);
    OranEdit->setDecimals(4);
    OranEdit->fitFigure(QStringLiteral("99,9999"), 24);
    auto* BaslangicDate = new DatePicker(panel);
    const auto label = [panel](const QString& text, QWidget* buddy) {
        auto* caption = new QLabel(text, panel);
        caption->setBuddy(buddy);
        return caption;
    };
    grid->addWidget(label(QStringLiteral("&Adı"), AdiCombo), 0, 0);
    grid->addWidget(AdiCombo, 0, 1);
    grid->addWidget(label(QStringLiteral("&Oran (%)"), OranEdit), 1, 0);
    grid->addWidget(OranEdit, 1, 1, Qt::AlignLeft);
    grid->addWidget(label(QStringLiteral("&Başlangıç Tarihi"), BaslangicDate), 2, 0);
    grid->addWidget(BaslangicDate, 2, 1, Qt::AlignLeft);
    auto* hint = new QLabel(TKesintilerF::kHint, panel);
    grid->addWidget(hint, 3, 0, 1, 3);
    auto* DurumLabel = new QLabel(panel);
    grid->addWidget(DurumLabel, 0, 2);

    grid->setColumnStretch(3, 1);
    rows->addWidget(panel);
    const LineControls lines = addLineControls(
        grid, 4, 3, rows, screen.KesintiList, screen.KesintiRow, QStringLiteral("Kesinti &Listesi (Enter: düzelt)"),
        {[&screen] { screen.KaydetClick(); }, [&screen] { screen.YeniClick(); }, [&screen] { screen.SilClick(); },
         [&screen] { screen.KesintiListEnter(); }, [&screen] { screen.KesintiListDelete(); }});
    setCentralWidget(centre);

    bind(AdiCombo, screen.AdiCombo);
    bind(OranEdit, screen.OranEdit);
    bind(BaslangicDate, screen.BaslangicDate, [] {});
    bind(DurumLabel, screen.DurumLabel);
    // The name is taken as typed, then the rate is next.
    enterGoesTo(AdiCombo, OranEdit);
    enterGoesTo(BaslangicDate, lines.kaydet);

    setControls({
        {AdiCombo, "AdiCombo"},
        {OranEdit, "OranEdit"},
        {BaslangicDate, "BaslangicDate"},
        {lines.kaydet, "KaydetBut"},
        {lines.yeni, "YeniBut"},
        {lines.sil, "SilBut"},
        {lines.kapat, "kapatButton"},
        {lines.list, "KesintiGrid"},
    });
    setStartControl(AdiCombo);
    keyboardList(lines.list, AdiCombo);
    saveOnCtrlS(panel, lines.kaydet);
}
