#include "screens/FormWindow.h"

#include "common/widgets/Events.h"
#include "screens/Form.h"

#include <QApplication>

#include "common/widgets/ErrorBox.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QShortcut>
#include <QTabWidget>

FormWindow::FormWindow(const QString& caption, TForm& screen) : ScreenWindow(caption), screen_(screen)
{
    screen_.attachWindow(&control());
    // Where the screen says the next entry starts.
    screen_.focusMover = [this](const QString& name) {
        if (auto* control = findChild<QWidget*>(name)) control->setFocus(Qt::TabFocusReason);
    };
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { guarded([this] { this->escape(); }); });
}

bool FormWindow::holdsTyping() const
{
    // A box keeps its modified mark from the collector's typing until the
    // program sets its text: a save, "Yeni", the next producer.
    for (const QLineEdit* box : findChildren<QLineEdit*>())
        if (box->isModified() && !box->isReadOnly() && box->isVisibleTo(this) && !box->text().isEmpty()) return true;
    return false;
}

void FormWindow::escape()
{
    if (escapeFirst_ && escapeFirst_()) return;
    if (!holdsTyping()) screen_.kapatButtonClick();
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
    // Escape in a list goes back to the panel before it does anything else.
    setEscapeFirst([tabs, panelStart, before = escapeFirst_] {
        if (tabs->isAncestorOf(QApplication::focusWidget())) {
            panelStart->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return before && before();
    });
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
    // A box the screen empties (a save, "Yeni") starts a new entry: what
    // was typed before has been taken, even where a box keeps its text.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textChanged, this, [this, box](const QString& text) {
            if (!text.isEmpty() || box->isModified()) return;
            for (QLineEdit* other : findChildren<QLineEdit*>()) other->setModified(false);
        });
}
