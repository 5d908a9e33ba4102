#include "screens/FormWindow.h"

#include "common/widgets/Events.h"
#include "screens/Forms.h"

FormWindow::FormWindow(const QString& caption, TForm& screen) : ScreenWindow(caption), screen_(screen)
{
    screen_.attachWindow(&control());
}

FormWindow::~FormWindow()
{
    screen_.attachWindow(nullptr);
}

void FormWindow::setControls(std::initializer_list<std::pair<QWidget*, const char*>> order)
{
    setControlOrder(order);
    installFormKeyHandler(this);
}
