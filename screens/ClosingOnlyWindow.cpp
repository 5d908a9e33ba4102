#include "screens/ClosingOnlyWindow.h"

#include "common/widgets/Events.h"
#include "screens/Forms.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

ClosingOnlyWindow::ClosingOnlyWindow(const QString& caption, TForm& screen) : FormWindow(caption, screen)
{
    auto* centre = new QWidget(this);
    auto* layout = new QVBoxLayout(centre);
    auto* buttons = new QHBoxLayout;
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), centre);
    buttons->addStretch();
    buttons->addWidget(kapatButton);
    layout->addLayout(buttons);
    layout->addStretch();
    setCentralWidget(centre);
    paintBackground(centre, kPanelGreen);

    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });
    setControls({{kapatButton, "kapatButton"}});
    kapatButton->setFocus();
}
