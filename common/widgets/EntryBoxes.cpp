#include "common/widgets/EntryBoxes.h"

#include "common/EntryKeys.h"
#include "common/PhoneNumber.h"
#include "common/Regional.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"

#include <QApplication>
#include <QFocusEvent>
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
    const QChar key = typedCharacter(event);
    if (key.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    guarded([&] {
        const AmountKeyResult result = amountKeyPress(stateOf(this), key);
        if (result.moveFocus)
            moveFocusToNext(this);
        else
            applyState(this, result.state);
    });
}

void AmountEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!isControlFocusChange(event->reason())) return;
    guarded([&] {
        setText(amountTextOnEnter(text()));
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
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    insert(QString(nameBoxCharacter(text(), caret, key)));
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

bool DatePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}
