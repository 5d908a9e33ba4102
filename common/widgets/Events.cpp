#include "common/widgets/Events.h"

#include "common/EntryKeys.h"
#include "common/widgets/ErrorBox.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

QChar typedCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return kEnter;
    if (key == Qt::Key_Backspace) return kBackspace;
    if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    const QString text = event->text();
    if (text.size() != 1) return {};
    // Delete, Escape and the like bring control characters of their own
    // under X11; the box handles those keys itself.
    if (!text.front().isPrint()) return {};
    return text.front();
}

void moveFocusToNext(QWidget* from)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(from, &tab);
}

bool isControlFocusChange(int focusReason)
{
    return focusReason != Qt::ActiveWindowFocusReason && focusReason != Qt::PopupFocusReason;
}

namespace {

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// A plain one-line box: not a subclass with rules of its own, not the
// editor inside a date picker or a drop-down list, and with no input mask.
bool isTextBox(const QObject* object)
{
    if (object->metaObject() != &QLineEdit::staticMetaObject) return false;
    const auto* edit = static_cast<const QLineEdit*>(object);
    const QObject* parent = edit->parent();
    if (qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QComboBox*>(parent)) return false;
    return edit->inputMask().isEmpty();
}

class FormKeyHandler : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !isEnter(static_cast<QKeyEvent*>(event))) return false;
        if (auto* button = qobject_cast<QPushButton*>(watched)) {
            if (button->isEnabled()) button->click();
            return true;
        }
        moveFocusToNext(static_cast<QWidget*>(watched));
        return true;
    }
};

// Runs a handler on one kind of event of a widget, letting the event go on.
class EventWatcher : public QObject {
public:
    EventWatcher(QWidget* widget, QEvent::Type type, std::function<void()> handler)
        : QObject(widget), type_(type), handler_(std::move(handler))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != type_) return false;
        const bool focus = type_ == QEvent::FocusOut;
        if (!focus || isControlFocusChange(static_cast<QFocusEvent*>(event)->reason())) guarded(handler_);
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void()> handler_;
};

}  // namespace

void installFormKeyHandler(QWidget* window)
{
    // Again after controls were added: one handler, and a filter installed
    // twice is still called once.
    static const QString kName = QStringLiteral("formKeyHandler");
    QObject* handler = window->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly);
    if (!handler) {
        handler = new FormKeyHandler(window);
        handler->setObjectName(kName);
    }
    for (QLineEdit* edit : window->findChildren<QLineEdit*>())
        if (isTextBox(edit)) edit->installEventFilter(handler);
    for (QPushButton* button : window->findChildren<QPushButton*>()) button->installEventFilter(handler);
}

void onExit(QWidget* widget, std::function<void()> handler)
{
    new EventWatcher(widget, QEvent::FocusOut, std::move(handler));
}

void setControlOrder(std::initializer_list<std::pair<QWidget*, const char*>> controls)
{
    QWidget* previous = nullptr;
    for (const auto& [control, name] : controls) {
        control->setObjectName(QLatin1String(name));
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void onClick(QAbstractButton* button, std::function<void()> handler)
{
    QObject::connect(button, &QAbstractButton::clicked, button, [handler = std::move(handler)] { guarded(handler); });
}

void onDoubleClick(QWidget* widget, std::function<void()> handler)
{
    new EventWatcher(widget, QEvent::MouseButtonDblClick, std::move(handler));
}

namespace {

class EnterGoesOn : public QObject {
public:
    EnterGoesOn(QWidget* from, std::function<QWidget*()> to) : QObject(from), to_(std::move(to))
    {
        from->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (passing_ || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
        // The control takes the text first.
        passing_ = true;
        QCoreApplication::sendEvent(watched, event);
        passing_ = false;
        if (QWidget* to = to_()) to->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    std::function<QWidget*()> to_;
    bool passing_ = false;
};

}  // namespace

void enterGoesTo(QWidget* from, QWidget* to)
{
    new EnterGoesOn(from, [to] { return to; });
}

void enterGoesTo(QWidget* from, std::function<QWidget*()> to)
{
    new EnterGoesOn(from, std::move(to));
}
