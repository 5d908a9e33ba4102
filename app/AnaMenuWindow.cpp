#include "app/AnaMenuWindow.h"

#include "app/AnaMenu.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"
#include "common/widgets/ScreenWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using Operation = void (TAnaMenuF::*)();

struct SideItem {
    const char* caption;
    Operation operation;
    QStyle::StandardPixmap icon;
};

const SideItem kSideBar[] = {
    {"Süt Alımı", &TAnaMenuF::SutAlimButtonClick, QStyle::SP_FileDialogNewFolder},
    {"Ödeme/Alışveriş Girişi", &TAnaMenuF::AlisVerisButtonClick, QStyle::SP_DialogSaveButton},
    {"Süt Alım Hesap Rapor", &TAnaMenuF::RaporButtonClick, QStyle::SP_FileDialogDetailedView},
    {"Fabrika Süt Teslimi", &TAnaMenuF::FabrikaButtonClick, QStyle::SP_ArrowRight},
    {"Süt Alım Hesap Tanımla", &TAnaMenuF::CariTanimButtonClick, QStyle::SP_FileDialogInfoView},
};

// In their tab order; Alt and the underlined letter press each.
const std::pair<const char*, Operation> kButtons[] = {
    {"&Süt Alımı", &TAnaMenuF::SutAlimButtonClick},
    {"Ödeme/&Alışveriş Girişi", &TAnaMenuF::AlisVerisButtonClick},
    {"&Fabrika Süt Teslimi", &TAnaMenuF::FabrikaButtonClick},
    {"Süt Alım Hesap &Raporu", &TAnaMenuF::RaporButtonClick},
    {"Süt Alım Hesap &Tanımlama", &TAnaMenuF::CariTanimButtonClick},
};

QFont tahoma(int pixels, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A centred line of the bottom band; a link line runs its operation on a click.
class BandLine : public QLabel {
public:
    BandLine(const QString& text, QWidget* parent, std::function<void()> onClick = {})
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setAlignment(Qt::AlignCenter);
        setFont(tahoma(16, true));
        if (onClick_) {
            setCursor(Qt::PointingHandCursor);
            setStyleSheet(QStringLiteral("color: navy;"));
        }
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (onClick_) guarded(onClick_);
    }

private:
    std::function<void()> onClick_;
};

}  // namespace

AnaMenuWindow::AnaMenuWindow(TAnaMenuF& menu)
{
    setWindowTitle(TAnaMenuF::kCaption);
    resize(928, 619);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setFont(QFont(QStringLiteral("Tahoma")));

    auto* centre = new QWidget(this);
    auto* rows = new QVBoxLayout(centre);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    auto* Label1 = new QLabel(TAnaMenuF::kCaption, centre);
    Label1->setFixedHeight(41);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(tahoma(32, true));
    paintBackground(Label1, kPanelGreen);
    rows->addWidget(Label1);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    rows->addLayout(middle, 1);

    auto* sideBar = new QWidget(centre);
    sideBar->setFixedWidth(241);
    paintBackground(sideBar, QColor(225, 235, 250));
    auto* sideItems = new QVBoxLayout(sideBar);
    auto* header = new QLabel(QStringLiteral("İşlemler"), sideBar);
    header->setFont(tahoma(16, true));
    sideItems->addWidget(header);
    for (const SideItem& entry : kSideBar) {
        auto* item = new QToolButton(sideBar);
        item->setText(QString::fromUtf8(entry.caption));
        item->setIcon(style()->standardIcon(entry.icon));
        item->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        item->setAutoRaise(true);
        item->setFocusPolicy(Qt::NoFocus);
        item->setCursor(Qt::PointingHandCursor);
        item->setFont(tahoma(16, false));
        item->setStyleSheet(QStringLiteral("color: blue; text-align: left;"));
        onClick(item, [&menu, op = entry.operation] { (menu.*op)(); });
        sideItems->addWidget(item);
    }
    sideItems->addStretch();
    middle->addWidget(sideBar);

    auto* buttonArea = new QWidget(centre);
    buttons_ = new QVBoxLayout(buttonArea);
    buttons_->addStretch();
    buttons_->addStretch();
    for (const auto& [caption, operation] : kButtons)
        addItem(QString::fromUtf8(caption), [&menu, op = operation] { (menu.*op)(); });
    middle->addWidget(buttonArea, 1);

    auto* bottom = new QWidget(centre);
    bottom->setFixedHeight(144);
    paintBackground(bottom, kPanelGreen);
    auto* lines = new QVBoxLayout(bottom);
    lines->setSpacing(0);
    lines->addWidget(new BandLine(QStringLiteral("Orvalin Kovanta - Süt Toplama ve Üretici Hesap Programı"), bottom));
    lines->addWidget(new BandLine(QStringLiteral("Tel: (0312) 555 01 23 - (0532) 555 01 23"), bottom));
    lines->addWidget(new BandLine(QStringLiteral("www.orvalin.example"), bottom, [&menu] { menu.openWebSite(); }));
    lines->addWidget(
        new BandLine(QStringLiteral("kovanta.orvalin.example"), bottom, [&menu] { menu.openProgramSite(); }));
    lines->addWidget(new BandLine(QStringLiteral("destek@orvalin.example"), bottom, [&menu] { menu.writeMail(); }));
    rows->addWidget(bottom);

    setCentralWidget(centre);
    // The period's settlement, its deductions and the quality prices; Alt+H opens them.
    QMenu* hakedis = menuBar()->addMenu(QStringLiteral("&Hakediş"));
    connect(hakedis->addAction(QStringLiteral("&Kesintiler")), &QAction::triggered, this, [&menu] { guarded([&menu] { menu.KesintilerClick(); }); });
    connect(hakedis->addAction(QStringLiteral("Kalite &Fiyatı")), &QAction::triggered, this, [&menu] { guarded([&menu] { menu.KaliteFiyatiClick(); }); });
    connect(hakedis->addAction(QStringLiteral("&Hakediş")), &QAction::triggered, this, [&menu] { guarded([&menu] { menu.HakedisClick(); }); });
    addStatusBar(this);
    statusLine_ = new QLabel(statusBar());
    // As wide as its text, the connection line (empty but for a lost server)
    // taking the rest; a window too narrow cuts it rather than grow past the screen.
    statusLine_->setMinimumWidth(1);
    statusBar()->addWidget(statusLine_);
    installFormKeyHandler(this);
}

QPushButton* AnaMenuWindow::addItem(const QString& caption, std::function<void()> handler)
{
    auto* button = new QPushButton(caption, buttons_->parentWidget());
    button->setFixedSize(250, 46);
    button->setFont(tahoma(16, true));
    button->setCursor(Qt::PointingHandCursor);
    onClick(button, std::move(handler));
    buttons_->insertWidget(buttons_->count() - 1, button, 0, Qt::AlignHCenter);
    if (lastItem_) setTabOrder(lastItem_, button);
    lastItem_ = button;
    installFormKeyHandler(this);
    return button;
}

void AnaMenuWindow::showStatus(const QString& text)
{
    // A long line is cut at the window's edge; the whole of it shows on hover.
    statusLine_->setText(text);
    statusLine_->setToolTip(text);
}

void AnaMenuWindow::closeEvent(QCloseEvent* event)
{
    if (mayQuit && !mayQuit()) {
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}
