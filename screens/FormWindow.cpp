#include "screens/FormWindow.h"

#include "common/widgets/Events.h"
#include "screens/Form.h"

#include <QAbstractButton>

FormWindow::FormWindow(const QString& caption, TForm& screen) : ScreenWindow(caption), screen_(screen)
{
    screen_.attachWindow(&control());
}

FormWindow::~FormWindow()
{
    screen_.attachWindow(nullptr);
}

void FormWindow::showEvent(QShowEvent* event)
{
    ScreenWindow::showEvent(event);
    QWidget* focused = focusWidget();
    if (start_ && (!focused || qobject_cast<QAbstractButton*>(focused))) start_->setFocus(Qt::TabFocusReason);
}

void FormWindow::setControls(std::initializer_list<std::pair<QWidget*, const char*>> order)
{
    setControlOrder(order);
    installFormKeyHandler(this);
}
