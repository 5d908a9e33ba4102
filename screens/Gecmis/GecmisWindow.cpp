#include "screens/Gecmis/GecmisWindow.h"

#include "common/widgets/Binding.h"
#include "common/widgets/EntryBoxes.h"
#include "common/widgets/Events.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Gecmis/Gecmis.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>

#include "common/TurkishText.h"
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// A text box lays out a paragraph whole, and one of millions of
// characters takes it many seconds: a long text is shown in short ones.
// Megabytes are put in a part at a time, the window answering between the
// parts; a text shown meanwhile stops the one before.
void showWhole(QPlainTextEdit* box, const QString& text)
{
    constexpr qsizetype kPart = 1'000'000;
    const int shownText = box->property("shownText").toInt() + 1;
    box->setProperty("shownText", shownText);
    const auto paragraphs = std::make_shared<const QString>(inParagraphs(text, 1000));
    const auto partFrom = [paragraphs](qsizetype from) {
        const qsizetype end = from + kPart >= paragraphs->size() ? paragraphs->size() : paragraphs->lastIndexOf(QLatin1Char('\n'), from + kPart);
        return end > from ? end : paragraphs->size();
    };
    const qsizetype first = partFrom(0);
    box->setPlainText(paragraphs->left(first));
    const auto more = std::make_shared<std::function<void(qsizetype)>>();
    *more = [box = QPointer<QPlainTextEdit>(box), shownText, paragraphs, partFrom, more](qsizetype from) {
        if (!box || box->property("shownText").toInt() != shownText || from >= paragraphs->size()) {
            *more = nullptr;  // the chain lets go of itself
            return;
        }
        const qsizetype end = partFrom(from);
        box->appendPlainText(paragraphs->mid(from, end - from));
        QTimer::singleShot(0, box, [more, end] { if (*more) (*more)(end + 1); });
    };
    QTimer::singleShot(0, box, [more, first] { (*more)(first + 1); });
}

}  // namespace

GecmisWindow::GecmisWindow(TGecmisF& screen) : FormWindow(QStringLiteral("Orvalin Kovanta - Değişiklik Geçmişi"), screen)
{
    auto* centre = new QWidget(this);
    paintBackground(centre, kPanelGreen);
    auto* areas = new QVBoxLayout(centre);

    auto* bar = new QGridLayout;
    auto* ilktarihDate = new DatePicker(centre);
    auto* sontarihDate = new DatePicker(centre);
    auto* AraEdit = new QLineEdit(centre);
    auto* ListeleBut = new QPushButton(QStringLiteral("Listele"), centre);
    auto* GeriAlBut = new QPushButton(QStringLiteral("Geri Al"), centre);
    auto* kapatButton = new QPushButton(QStringLiteral("Kapat"), centre);
    ilktarihDate->setFixedWidth(110);
    sontarihDate->setFixedWidth(110);
    AraEdit->setMinimumWidth(200);
    bar->addWidget(new QLabel(QStringLiteral("İlk Tarih"), centre), 0, 0);
    bar->addWidget(ilktarihDate, 1, 0);
    bar->addWidget(new QLabel(QStringLiteral("Son Tarih"), centre), 0, 1);
    bar->addWidget(sontarihDate, 1, 1);
    bar->addWidget(new QLabel(QStringLiteral("Kodu ya da Adı"), centre), 0, 2);
    bar->addWidget(AraEdit, 1, 2);
    bar->addWidget(ListeleBut, 1, 3);
    bar->addWidget(GeriAlBut, 1, 4);
    bar->setColumnStretch(5, 1);
    bar->addWidget(kapatButton, 1, 6);
    areas->addLayout(bar);

    auto* Label1 = new QLabel(centre);
    areas->addWidget(Label1);
    auto* grid = new QueryGrid(screen.DegisiklikQuery, TGecmisF::kColumns, centre);
    // The line is as long as the change; the window stays as wide as the screen.
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setToolTip(QStringLiteral("Silinen bir kaydı geri almak için satırında Enter"));
    areas->addWidget(grid, 1);
    // The current line whole: the list cuts long texts.
    auto* Ayrinti = new QPlainTextEdit(centre);
    Ayrinti->setReadOnly(true);
    Ayrinti->setFocusPolicy(Qt::ClickFocus);
    Ayrinti->setFixedHeight(Ayrinti->fontMetrics().lineSpacing() * 3 + 12);
    areas->addWidget(Ayrinti);
    setCentralWidget(centre);

    bind(ilktarihDate, screen.ilktarihDate, nullptr);
    bind(sontarihDate, screen.sontarihDate, nullptr);
    bind(AraEdit, screen.AraEdit);
    bind(Label1, screen.Label1);
    showWhole(Ayrinti, screen.Ayrinti.text());
    screen.Ayrinti.onChange([box = QPointer<QPlainTextEdit>(Ayrinti)](const QString& text) {
        if (box) showWhole(box, text);
    });

    onClick(ListeleBut, [&screen, grid] {
        screen.ListeleButClick();
        grid->setFocus(Qt::TabFocusReason);
    });
    onClick(GeriAlBut, [&screen] { screen.GeriAlButClick(); });
    onClick(kapatButton, [&screen] { screen.kapatButtonClick(); });
    grid->onEnter([&screen] { screen.GeriAlButClick(); });
    grid->addMenuItem(QStringLiteral("Geri Al"), [&screen] { screen.GeriAlButClick(); });

    setControls({
        {ilktarihDate, "ilktarihDate"},
        {sontarihDate, "sontarihDate"},
        {AraEdit, "AraEdit"},
        {ListeleBut, "ListeleBut"},
        {GeriAlBut, "GeriAlBut"},
        {kapatButton, "kapatButton"},
        {grid, "DegisiklikGrid"},
        {Ayrinti, "Ayrinti"},
    });
    setStartControl(grid);
    keyboardList(grid, ilktarihDate);
}
