#include "screens/FormWindow.h"

#include "common/widgets/Events.h"
#include "common/widgets/TextGrid.h"
#include "screens/Form.h"

#include <QApplication>

#include "common/widgets/ErrorBox.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>

#include <utility>

FormWindow::FormWindow(const QString& caption, TForm& screen) : ScreenWindow(caption), screen_(screen)
{
    screen_.attachWindow(&control());
    // Where the screen says the next entry starts.
    screen_.focusMover = [this](const QString& name) {
        auto* control = findChild<QWidget*>(name);
        if (!control) return;
        control->setFocus(Qt::TabFocusReason);
        // A window not yet active gives the focus back with the activation's
        // reason, so an amount box would not take what is typed over it.
        if (!isActiveWindow()) pendingFocus_ = control;
    };
    screen_.holdsTyping = [this] { return holdsTyping(); };
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

bool FormWindow::event(QEvent* event)
{
    const bool handled = ScreenWindow::event(event);
    if (event->type() == QEvent::WindowActivate && pendingFocus_) {
        QTimer::singleShot(0, this, [control = std::exchange(pendingFocus_, nullptr)] {
            if (!control) return;
            control->clearFocus();
            control->setFocus(Qt::TabFocusReason);
        });
    }
    return handled;
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // Alt+F4 and the title bar's button ask as "Kapat" does.
    bool mayClose = false;
    guarded([&] { mayClose = screen_.mayClose(); });
    if (mayClose)
        ScreenWindow::closeEvent(event);
    else
        event->ignore();
}

FormWindow::~FormWindow()
{
    screen_.holdsTyping = nullptr;
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

FormWindow::LineControls FormWindow::addLineControls(QGridLayout* grid, int row, int span, QVBoxLayout* rows,
                                                     Field<TextTable>& lines, Field<int>& current, const QString& listCaption,
                                                     LineActions actions)
{
    QWidget* panel = grid->parentWidget();
    auto* buttons = new QHBoxLayout;
    LineControls made{new QPushButton(QStringLiteral("&Kaydet"), panel), new QPushButton(QStringLiteral("&Yeni"), panel),
                      new QPushButton(QStringLiteral("&Sil"), panel), new QPushButton(QStringLiteral("Kapat"), panel),
                      new TextGrid(lines, current, panel->parentWidget())};
    for (QPushButton* button : {made.kaydet, made.yeni, made.sil, made.kapat}) buttons->addWidget(button);
    buttons->addStretch();
    grid->addLayout(buttons, row, 0, 1, span);
    onClick(made.kaydet, std::move(actions.kaydet));
    onClick(made.yeni, std::move(actions.yeni));
    onClick(made.sil, std::move(actions.sil));
    onClick(made.kapat, [this] { screen_.kapatButtonClick(); });

    auto* caption = new QLabel(listCaption, panel->parentWidget());
    caption->setBuddy(made.list);
    rows->addWidget(caption);
    rows->addWidget(made.list, 1);
    made.list->onEnter(std::move(actions.listEnter));
    const auto listKey = [this, list = made.list](const QKeySequence& keys, std::function<void()> handler) {
        auto* shortcut = new QShortcut(keys, list, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [handler = std::move(handler)] { guarded(handler); });
    };
    // The keyboard stays on the list, where Ctrl+Z brings a deleted line back;
    // asked as the screen asks, so that it holds once the question's box is gone.
    listKey(QKeySequence(Qt::Key_Delete), [this, list = made.list, handler = std::move(actions.listDelete)] {
        handler();
        screen_.focusOn(list->objectName());
    });
    listKey(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { screen_.GeriAl1Click(); });
    return made;
}

void FormWindow::keyboardList(QWidget* list, QWidget* panelStart)
{
    const auto inList = [list] { return list == QApplication::focusWidget() || list->isAncestorOf(QApplication::focusWidget()); };
    connect(new QShortcut(QKeySequence(Qt::Key_F6), this), &QShortcut::activated, this, [list, panelStart, inList] {
        (inList() ? panelStart : list)->setFocus(Qt::ShortcutFocusReason);
    });
    setEscapeFirst([panelStart, inList, before = escapeFirst_] {
        if (inList()) {
            panelStart->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return before && before();
    });
}

QAction* FormWindow::saveOnCtrlS(QWidget* where, QAbstractButton* saveButton)
{
    auto* save = new QAction(saveButton->text().remove(QLatin1Char('&')), where);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(save, &QAction::triggered, this, [this, saveButton] {
        QWidget* from = focusWidget();
        saveButton->setFocus(Qt::ShortcutFocusReason);
        if (focusWidget() != saveButton) return;  // a box refused to be left, and said why
        saveButton->click();
        // Back where it was, unless the save sent it where the next entry starts.
        if (from && from != saveButton && from->isVisible() && focusWidget() == saveButton) from->setFocus(Qt::OtherFocusReason);
    });
    where->addAction(save);
    return save;
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
