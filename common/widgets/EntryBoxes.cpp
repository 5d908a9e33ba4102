#include "common/widgets/EntryBoxes.h"

#include "common/EntryKeys.h"
#include "common/PhoneNumber.h"
#include "common/Regional.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

EditState stateOf(const QLineEdit* edit)
{
    if (edit->hasSelectedText())
        return {edit->text(), edit->selectionStart(), static_cast<int>(edit->selectedText().size())};
    return {edit->text(), edit->cursorPosition(), 0};
}

void applyState(QLineEdit* edit, const EditState& state)
{
    if (edit->text() != state.text) edit->setText(state.text);
    if (state.selection > 0)
        edit->setSelection(state.caret, state.selection);
    else
        edit->setCursorPosition(state.caret);
}

}  // namespace

AmountEdit::AmountEdit(QWidget* parent) : QLineEdit(parent) {}

void AmountEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const QChar key = typedCharacter(event);
    if (key.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    guarded([&] { typeCharacter(key); });
}

void AmountEdit::typeCharacter(QChar key)
{
    const AmountKeyResult result = amountKeyPress(stateOf(this), key);
    if (result.moveFocus)
        moveFocusToNext(this);
    else
        applyState(this, result.state);
}

void AmountEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Text still being composed is not shown; what is committed is typed.
    event->accept();
    guarded([&] {
        for (const QChar c : event->commitString()) typeCharacter(c);
    });
}

void AmountEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!isControlFocusChange(event->reason())) return;
    guarded([&] {
        setText(amountTextOnEnter(text()));
        // Entered from the keyboard, what is typed replaces the number.
        const auto reason = event->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
            selectAll();
        else
            setCursorPosition(text().size());
    });
}

void AmountEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!isControlFocusChange(event->reason())) return;
    guarded([&] {
        setText(amountTextOnLeave(text()));
        emit left();
    });
}

void NameEdit::keyPressEvent(QKeyEvent* event)
{
    const QChar key = typedCharacter(event);
    if (key == kEnter) {
        moveFocusToNext(this);
        return;
    }
    if (key.isNull() || key.unicode() < 32) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    typeCharacter(key);
}

void NameEdit::typeCharacter(QChar key)
{
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    insert(QString(nameBoxCharacter(text(), caret, key)));
}

void NameEdit::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    for (const QChar c : event->commitString())
        if (c.isPrint()) typeCharacter(c);
}

PhoneEdit::PhoneEdit(QWidget* parent) : QLineEdit(parent)
{
    setInputMask(kPhoneInputMask);
}

QString PhoneEdit::display() const
{
    return phoneValue(displayText()).trimmed().isEmpty() ? QString() : displayText();
}

void PhoneEdit::setDisplay(const QString& display)
{
    if (display == this->display()) return;
    // Laid in place by place, so that blank area-code places stay blank.
    const QString value = phoneValue(display);
    clear();
    QString masked = QStringLiteral("(%1)%2-%3-%4").arg(value.mid(0, 3), value.mid(3, 3), value.mid(6, 2), value.mid(8, 2));
    setText(masked);
    setModified(false);
}

void PhoneEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        setText(textOnEntering_);
        setModified(false);
        return;
    }
    QLineEdit::keyPressEvent(event);
    // Enter stays here: this box does not move on.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
}

void PhoneEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!isControlFocusChange(event->reason())) return;
    if (refused_) {
        refused_ = false;
        return;
    }
    textOnEntering_ = text();
    setModified(false);
}

void PhoneEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!isControlFocusChange(event->reason()) || !isModified()) return;
    const int missing = firstMissingRequiredPlace(displayText());
    if (missing < 0) return;
    QApplication::beep();
    refused_ = true;
    setFocus(Qt::OtherFocusReason);
    setCursorPosition(missing);
    showErrorBox(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
}

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(regional().shortDateFormat);
}

bool DatePicker::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(forward);
            return true;
        }
    }
    return QDateEdit::event(event);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() == 1 && QStringLiteral("./-, ").contains(text.front())) {
        if (!movedOnByTyping_) focusNextPrevChild(true);
        movedOnByTyping_ = false;
        event->accept();
        return;
    }
    const int section = currentSectionIndex();
    QDateEdit::keyPressEvent(event);
    movedOnByTyping_ = text.size() == 1 && text.front().isDigit() && currentSectionIndex() != section;
}

// Reached by a separator or an arrow between sections: it moves between
// day, month and year and stays on the last one.
bool DatePicker::focusNextPrevChild(bool next)
{
    const int section = currentSectionIndex() + (next ? 1 : -1);
    if (section < 0 || section >= sectionCount()) return true;
    return QDateEdit::focusNextPrevChild(next);
}

void DatePicker::focusInEvent(QFocusEvent* event)
{
    movedOnByTyping_ = false;
    // Entered backwards it would start on the year, where a typed day
    // would land.
    if (event->reason() == Qt::BacktabFocusReason) {
        QFocusEvent forward(event->type(), Qt::TabFocusReason);
        QDateEdit::focusInEvent(&forward);
        return;
    }
    QDateEdit::focusInEvent(event);
}
