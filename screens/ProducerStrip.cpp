#include "screens/ProducerStrip.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/EntryForm.h"
#include "screens/FormWindow.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ProducerStrip::ProducerStrip(TEntryForm& screen, const Look& look, QWidget* parent) : QWidget(parent)
{
    setFixedWidth(185);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    QWidget* searchArea = this;
    if (look.framed) {
        auto* box = new QGroupBox(this);
        rows->addWidget(box);
        searchArea = box;
        searchRows_ = new QVBoxLayout(box);
    } else {
        searchRows_ = rows;
    }
    auto* nameLabel = new QLabel(QStringLiteral("Adı Soyadı"), searchArea);
    searchEdit = new NameEdit(searchArea);
    findButton = new QPushButton(look.findCaption, searchArea);
    listLabel_ = new QLabel(look.listCaption, searchArea);
    searchRows_->addWidget(nameLabel);
    if (look.framed) {
        nameLabel->setAlignment(Qt::AlignCenter);
        listLabel_->setAlignment(Qt::AlignCenter);
        searchRows_->addWidget(searchEdit);
        searchRows_->addWidget(findButton);
    } else {
        auto* search = new QHBoxLayout;
        findButton->setFixedWidth(40);
        search->addWidget(searchEdit);
        search->addWidget(findButton);
        searchRows_->addLayout(search);
    }
    searchRows_->addWidget(listLabel_);

    grid = new QueryGrid(screen.CariTanimQuery, TEntryForm::kAccountColumns, this);
    grid->addMenuItem(QStringLiteral("Seç"), [&screen] { screen.CariGridDblClick(); });
    grid->onDoubleClick([&screen] { screen.CariGridDblClick(); });
    grid->onEnter([this, &screen] {
        screen.CariGridDblClick();
        if (afterPick_) afterPick_->setFocus(Qt::TabFocusReason);
    });
    rows->addWidget(grid, 1);

    bind(searchEdit, screen.SutcuAraEdit);
    onClick(findButton, [this, &screen] {
        screen.BulButClick();
        // A name searched for has done its work: it keeps nobody's entry.
        searchEdit->setModified(false);
    });
}

QPushButton* ProducerStrip::addButton(const QString& caption, std::function<void()> handler)
{
    auto* button = new QPushButton(caption, listLabel_->parentWidget());
    searchRows_->insertWidget(searchRows_->indexOf(listLabel_), button);
    onClick(button, std::move(handler));
    return button;
}

QLabel* correctionLine(TEntryForm& screen, FormWindow* window, QWidget* parent)
{
    auto* line = new QLabel(parent);
    line->setStyleSheet(QStringLiteral("QLabel { color: #8b0000; font-weight: bold; }"));
    // However long the name, the window keeps its width.
    line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bind(line, screen.DuzeltmeLabel);
    window->setEscapeFirst([&screen] {
        if (screen.correcting.isNew()) return false;
        screen.EscapeKeyPress();
        return true;
    });
    return line;
}

void entryListItems(QueryGrid* list, TEntryForm& screen)
{
    list->addMenuItem(QStringLiteral("Düzelt"), [&screen] { screen.Dzelt1Click(); });
    list->addMenuItem(QStringLiteral("Kaydı Sil"), [&screen] { screen.KaydSil1Click(); }, QKeySequence(Qt::Key_Delete));
    list->addMenuItem(QStringLiteral("Silineni Geri Al"), [&screen] { screen.GeriAl1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    list->onEnter([&screen] { screen.Dzelt1Click(); });
    list->onDoubleClick([&screen] { screen.Dzelt1Click(); });
}
