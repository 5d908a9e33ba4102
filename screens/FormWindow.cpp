#include "screens/FormWindow.h"

#include "common/widgets/Events.h"
#include "screens/Form.h"

#include <QApplication>

#include <QAbstractButton>
#include <QShortcut>
#include <QTabWidget>

FormWindow::FormWindow(const QString& caption, TForm& screen) : ScreenWindow(caption), screen_(screen)
{
    screen_.attachWindow(&control());
    // Where the screen says the next entry starts.
    screen_.focusMover = [this](const QString& name) {
        if (auto* control = findChild<QWidget*>(name)) control->setFocus(Qt::TabFocusReason);
    };
}

FormWindow::~FormWindow()
{
    screen_.focusMover = nullptr;
    screen_.attachWindow(nullptr);
}

void FormWindow::keyboardLists(QTabWidget* tabs, std::vector<QWidget*> pageLists, QWidget* panelStart)
{
    const auto intoList = [tabs, pageLists](int page) {
        const int count = static_cast<int>(pageLists.size());
        page = (page % count + count) % count;
        tabs->setCurrentIndex(page);
        pageLists[static_cast<size_t>(page)]->setFocus(Qt::ShortcutFocusReason);
    };
    const auto shortcut = [this](const QKeySequence& keys, std::function<void()> action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, std::move(action));
    };
    shortcut(QKeySequence(Qt::Key_F6), [tabs, panelStart, intoList] {
        if (tabs->isAncestorOf(QApplication::focusWidget()))
            panelStart->setFocus(Qt::ShortcutFocusReason);
        else
            intoList(tabs->currentIndex());
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [tabs, intoList] { intoList(tabs->currentIndex() + 1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [tabs, intoList] { intoList(tabs->currentIndex() - 1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Backtab), [tabs, intoList] { intoList(tabs->currentIndex() - 1); });
    for (QWidget* list : pageLists) {
        auto* back = new QShortcut(QKeySequence(Qt::Key_Escape), list);
        back->setContext(Qt::WidgetShortcut);
        connect(back, &QShortcut::activated, this, [panelStart] { panelStart->setFocus(Qt::ShortcutFocusReason); });
    }
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
