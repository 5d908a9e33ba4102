#include "screens/Cari/CariWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Cari/Cari.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* collectionTimes(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(TcariF::kCollectionTimes);
    return combo;
}

}  // namespace

CariWindow::CariWindow(TcariF& screen) : FormWindow(QStringLiteral("Orvalin Kovanta - Süt Alım Hesap Tanımlama"), screen)
{
    auto* centre = new QWidget(this);
    auto* rows = new QVBoxLayout(centre);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    auto* panel = new QWidget(centre);
    paintBackground(panel, kPanelGreen);
    auto* grid = new QGridLayout(panel);

    auto* KoduEdit = new QLineEdit(panel);
    auto* AdiEdit = new NameEdit(panel);
    auto* AciklamaEdit = new QLineEdit(panel);
    auto* mevkiiEdit = new QLineEdit(panel);
    auto* BirimFiyatEdit = new AmountEdit(panel);
    auto* koyEdit = new QLineEdit(panel);
    auto* TelefonMaskEdit = new PhoneEdit(panel);
    auto* KisCombo = collectionTimes(panel);
    auto* YazCombo = collectionTimes(panel);
    auto* IBANEdit = new QLineEdit(panel);
    auto* KaydetBut = new QPushButton(QStringLiteral("Sakla"), panel);
    auto* YeniButton = new QPushButton(QStringLiteral("Yeni Süt Alım Hesabı Ekle"), panel);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), panel);
    BirimFiyatEdit->setAlignment(Qt::AlignLeft);

    const auto label = [panel](const char* text) { return new QLabel(QString::fromUtf8(text), panel); };
    grid->addWidget(label("Kodu"), 0, 0);
    grid->addWidget(KoduEdit, 0, 1);
    grid->addWidget(label("Süt Fiyatı"), 0, 2);
    grid->addWidget(BirimFiyatEdit, 0, 3);
    grid->addWidget(label("Köy"), 0, 4);
    grid->addWidget(koyEdit, 0, 5);
    auto* saveAndClose = new QHBoxLayout;
    saveAndClose->addWidget(KaydetBut);
    saveAndClose->addWidget(kapatButton);
    grid->addLayout(saveAndClose, 0, 6);
    grid->addWidget(label("Adı Soyadı"), 1, 0);
    grid->addWidget(AdiEdit, 1, 1);
    grid->addWidget(label("Telefon"), 1, 4);
    grid->addWidget(TelefonMaskEdit, 1, 5);
    grid->addWidget(YeniButton, 1, 6);
    grid->addWidget(label("Açıklama"), 2, 0);
    grid->addWidget(AciklamaEdit, 2, 1);
    grid->addWidget(label("Kış Alım"), 2, 4);
    grid->addWidget(KisCombo, 2, 5);
    grid->addWidget(label("Mevkii"), 3, 0);
    grid->addWidget(mevkiiEdit, 3, 1);
    grid->addWidget(label("Yaz Alım"), 3, 4);
    grid->addWidget(YazCombo, 3, 5);
    grid->addWidget(label("IBAN"), 4, 4);
    grid->addWidget(IBANEdit, 4, 5, 1, 2);
    // A whole IBAN shows grouped, with room for one typed without blanks.
    IBANEdit->setMinimumWidth(IBANEdit->fontMetrics().horizontalAdvance(QStringLiteral("TR00 0000 0000 0000 0000 0000 00")) + 16);
    grid->setColumnMinimumWidth(1, 220);
    grid->setColumnMinimumWidth(5, 160);
    grid->setColumnStretch(7, 1);
    rows->addWidget(panel);

    auto* CariGrid = new QueryGrid(screen.CariTanimQuery, TcariF::kColumns, centre);
    // With the whole IBAN beside them the columns are narrower; the note
    // (Açıklama) takes what they leave.
    CariGrid->setFillColumn(4);
    // Ctrl+S saves from anywhere in the window, the list too.
    CariGrid->addMenuAction(saveOnCtrlS(this, KaydetBut));
    CariGrid->addMenuItem(QStringLiteral("Düzelt"), [&screen] { screen.Dzelt1Click(); });
    CariGrid->addMenuItem(QStringLiteral("Kaydı Sil"), [&screen] { screen.KaydSil1Click(); }, QKeySequence(Qt::Key_Delete));
    CariGrid->addMenuItem(QStringLiteral("Silineni Geri Al"), [&screen] { screen.GeriAl1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    CariGrid->onEnter([&screen] { screen.Dzelt1Click(); });
    CariGrid->addMenuItem(QStringLiteral("Seç"), [&screen] { screen.CariGridDblClick(); });
    CariGrid->addCsvItem([&screen] { screen.CariCsvClick(); });
    CariGrid->addXlsxItem([&screen] { screen.CariXlsxClick(); });
    CariGrid->onDoubleClick([&screen] { screen.CariGridDblClick(); });
    rows->addWidget(CariGrid, 1);
    setCentralWidget(centre);

    bind(KoduEdit, screen.KoduEdit);
    bind(AdiEdit, screen.AdiEdit);
    bind(AciklamaEdit, screen.AciklamaEdit);
    bind(mevkiiEdit, screen.mevkiiEdit);
    bind(BirimFiyatEdit, screen.BirimFiyatEdit);
    bind(koyEdit, screen.koyEdit);
    bind(TelefonMaskEdit, screen.TelefonMaskEdit);
    bind(KisCombo, screen.KisCombo);
    bind(YazCombo, screen.YazCombo);
    bind(IBANEdit, screen.IBANEdit);

    onExit(KoduEdit, [&screen] { screen.KoduEditExit(); });
    onExit(IBANEdit, [&screen, IBANEdit] {
        // Grouping it is the screen's rewrite, yet what was typed still counts.
        const bool typed = IBANEdit->isModified();
        screen.IBANEditExit();
        if (typed) IBANEdit->setModified(true);
    });
    onClick(KaydetBut, [&screen] { screen.KaydetButClick(); });
    onClick(YeniButton, [&screen] { screen.YeniButtonClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });

    setControls({
        {KoduEdit, "KoduEdit"},
        {AdiEdit, "AdiEdit"},
        {AciklamaEdit, "AciklamaEdit"},
        {mevkiiEdit, "mevkiiEdit"},
        {BirimFiyatEdit, "BirimFiyatEdit"},
        {koyEdit, "koyEdit"},
        {TelefonMaskEdit, "TelefonMaskEdit"},
        {KisCombo, "KisCombo"},
        {YazCombo, "YazCombo"},
        {IBANEdit, "IBANEdit"},
        {KaydetBut, "KaydetBut"},
        {YeniButton, "YeniButton"},
        {kapatButton, "kapatButton"},
        {CariGrid, "CariGrid"},
    });
    setStartControl(KoduEdit);
    keyboardList(CariGrid, KoduEdit);
}
