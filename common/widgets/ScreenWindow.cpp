#include "common/widgets/ScreenWindow.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QStatusBar>

void addStatusBar(QMainWindow* window)
{
    auto* bar = new QStatusBar(window);
    // Panels are labels: showMessage() would hide them.
    const int widths[] = {10, 400, 50};
    for (int width : widths) {
        auto* panel = new QLabel(bar);
        panel->setFixedWidth(width);
        panel->setFrameShape(QFrame::StyledPanel);
        if (width == 400) panel->setText(kMakerLine);
        bar->addWidget(panel);
    }
    // Empty until the ledger's server is lost or found again.
    auto* connection = new QLabel(bar);
    connection->setObjectName(QStringLiteral("baglantiSatiri"));
    connection->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(connection, 1);
    window->setStatusBar(bar);
}

void showOnEveryStatusBar(const QString& text)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        for (QLabel* line : window->findChildren<QLabel*>(QStringLiteral("baglantiSatiri"))) {
            line->setText(text);
            line->setToolTip(text);
        }
}

ScreenWindow::ScreenWindow(const QString& caption, QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(caption);
    addStatusBar(this);
    resize(928, 619);
    setWindowState(Qt::WindowMaximized);
}

void paintBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void useProgramFont()
{
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont base(QStringLiteral("Tahoma"));
    base.setPointSize(9);
    QGuiApplication::setFont(base);
}
