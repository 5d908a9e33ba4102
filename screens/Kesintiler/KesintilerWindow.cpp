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
    OranEdit->setAlignment(Qt::AlignRight);
    OranEdit->setFixedWidth(OranEdit->fontMetrics().horizontalAdvance(QStringLiteral("99,9999")) + 24);
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

    auto* buttons = new QHBoxLayout;
    auto* KaydetBut = new QPushButton(QStringLiteral("&Kaydet"), panel);
    auto* YeniBut = new QPushButton(QStringLiteral("&Yeni"), panel);
    auto* SilBut = new QPushButton(QStringLiteral("&Sil"), panel);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), panel);
    for (QPushButton* button : {KaydetBut, YeniBut, SilBut, kapatButton}) buttons->addWidget(button);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    rows->addWidget(panel);

    auto* KesintiGrid = new TextGrid(screen.KesintiList, screen.KesintiRow, centre);
    auto* listLabel = new QLabel(QStringLiteral("Kesinti &Listesi (Enter: düzelt)"), centre);
    listLabel->setBuddy(KesintiGrid);
    rows->addWidget(listLabel);
    rows->addWidget(KesintiGrid, 1);
    setCentralWidget(centre);

    bind(AdiCombo, screen.AdiCombo);
    bind(OranEdit, screen.OranEdit);
    bind(BaslangicDate, screen.BaslangicDate, [] {});
    bind(DurumLabel, screen.DurumLabel);
    // The name is taken as typed, then the rate is next.
    enterGoesTo(AdiCombo, OranEdit);
    enterGoesTo(BaslangicDate, KaydetBut);
    onClick(KaydetBut, [&screen] { screen.KaydetClick(); });
    onClick(YeniBut, [&screen] { screen.YeniClick(); });
    onClick(SilBut, [&screen] { screen.SilClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });
    KesintiGrid->onEnter([&screen] { screen.KesintiListEnter(); });

    setControls({
        {AdiCombo, "AdiCombo"},
        {OranEdit, "OranEdit"},
        {BaslangicDate, "BaslangicDate"},
        {KaydetBut, "KaydetBut"},
        {YeniBut, "YeniBut"},
        {SilBut, "SilBut"},
        {kapatButton, "kapatButton"},
        {KesintiGrid, "KesintiGrid"},
    });
    setStartControl(AdiCombo);
    keyboardList(KesintiGrid, AdiCombo);
    saveOnCtrlS(panel, KaydetBut);
    deleteAndUndoKeys(KesintiGrid, [&screen] { screen.KesintiListDelete(); }, [&screen] { screen.GeriAl1Click(); });
}
