#include "common/widgets/EntryBoxes.h"

#include "common/Conversions.h"
#include "common/EntryKeys.h"
#include "common/PhoneNumber.h"
#include "common/Regional.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/Events.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QStyle>
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

void AmountEdit::fitFigure(const QString& widest, int room)
{
    setAlignment(Qt::AlignRight);
    setFixedWidth(fontMetrics().horizontalAdvance(widest) + room);
}

namespace {

// Rewrites a box's text without making what the collector typed look
// untouched: setText() forgets that.
void rewrite(QLineEdit* edit, const QString& text)
{
    const bool typed = edit->isModified();
    edit->setText(text);
    edit->setModified(typed);
}

}  // namespace

void AmountEdit::showAsLeft()
{
    if (text().isEmpty()) return;
    try {
        const QString left = amountTextOnLeave(text(), decimals_);
        if (left != text() && parseDecimal(left) == parseDecimal(text())) rewrite(this, left);
    } catch (const ConversionError&) {
        // Not a number: left as it is, for the save to refuse.
    }
}

void AmountEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    // Delete regroups as Backspace does: "1.234" with its 3 deleted is 124.
    const QChar key = event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier ? kDelete : typedCharacter(event);
    if (key.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    guarded([&] { typeCharacter(key); });
}

void AmountEdit::typeCharacter(QChar key)
{
    const AmountKeyResult result = amountKeyPress(stateOf(this), key, decimals_);
    if (result.moveFocus) {
        moveFocusToNext(this);
        return;
    }
    const bool typed = isModified() || result.state.text != text();
    applyState(this, result.state);
    setModified(typed);
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
        rewrite(this, amountTextOnEnter(text(), decimals_));
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
        if (!(emptyKept_ && text().trimmed().isEmpty())) rewrite(this, amountTextOnLeave(text(), decimals_));
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

bool PhoneEdit::event(QEvent* event)
{
    // Escape gives up what was typed here before the window takes it.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        isModified() && text() != textOnEntering_) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void PhoneEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        setText(textOnEntering_);
        setModified(false);
        return;
    }
    const QChar typed = typedCharacter(event);
    if (!typed.isNull() && typed.unicode() >= 32) {
        if (typed < QLatin1Char('0') || typed > QLatin1Char('9')) return;
        const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
        switch (phoneDigitKey(displayText(), caret, static_cast<int>(selectedText().size()), typed)) {
        case PhoneDigit::Drop:
            return;
        case PhoneDigit::Refuse:
            QApplication::beep();
            showErrorBox(kPhoneTooLong);
            return;
        case PhoneDigit::Insert:
            break;
        }
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
    showErrorBox(QStringLiteral("Telefon numarası eksik: son yedi hanesi girilmeli. Değişikliği bırakmak için Esc tuşuna basın."));
}

DatePicker::DatePicker(QWidget* parent) : QLineEdit(parent)
{
    QAction* drop = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    drop->setToolTip(QStringLiteral("Takvim (F4)"));
    connect(drop, &QAction::triggered, this, [this] { openCalendar(); });
    setDate(QDate::currentDate());
}

void DatePicker::setDate(const QDate& date)
{
    dateOnEntering_ = date;
    display(DateText::of(date));
    if (date == date_) return;
    date_ = date;
    emit dateChanged(date_);
}

void DatePicker::display(const DateText& typed)
{
    typed_ = typed;
    setText(typed.display());
    // Red for no day, once the part being typed is whole.
    setStyleSheet(isTypedDateValid() || typed.isTyping() ? QString() : QStringLiteral("QLineEdit { color: #c00000; }"));
    const int start = typed.partStart(typed.part);
    if (typed.fresh && hasFocus())
        setSelection(start, typed.partLength(typed.part));
    else
        setCursorPosition(start + typed.partLength(typed.part));
}

void DatePicker::take(const DateText& typed, bool settled)
{
    display(typed);
    if (settled) commit();
}

void DatePicker::commit()
{
    const std::optional<QDate> day = typed_.date();
    if (!day || *day == date_) return;
    date_ = *day;
    emit dateChanged(date_);
}

bool DatePicker::mayLeave()
{
    if (isTypedDateValid()) return true;
    QApplication::beep();
    const DateText typed = typed_;
    showBox(QMessageBox::NoIcon,
            typed.display() + QStringLiteral(" diye bir gün yok. Tarihi düzeltin ya da Esc ile önceki tarihe dönün."),
            QMessageBox::Ok);
    setFocus(Qt::OtherFocusReason);
    display(typed);
    return false;
}

bool DatePicker::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Escape gives up what was typed here before it reaches the window.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && (text() != DateText::of(date_).display() || date_ != dateOnEntering_)) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            if (mayLeave()) {
                commit();
                QWidget::focusNextPrevChild(forward);
            }
            return true;
        }
    }
    return QLineEdit::event(event);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        take(DateText::of(dateOnEntering_), true);
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        commit();
        event->ignore();
        return;
    }
    if (key == Qt::Key_F4 || (key == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        openCalendar();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    static const std::pair<int, DateKey> moves[] = {
        {Qt::Key_Backspace, DateKey::Backspace}, {Qt::Key_Delete, DateKey::Delete}, {Qt::Key_Left, DateKey::Left},
        {Qt::Key_Right, DateKey::Right},         {Qt::Key_Home, DateKey::Home},     {Qt::Key_End, DateKey::End},
        {Qt::Key_Up, DateKey::Up},               {Qt::Key_Down, DateKey::Down},
    };
    for (const auto& [k, move] : moves)
        if (key == k) {
            take(dateKeyPress(typed_, move), move != DateKey::Backspace && move != DateKey::Delete);
            return;
        }
    const QString typed = event->text();
    if (typed.size() == 1) typeCharacter(typed.front());
    // Nothing else is written into a date.
}

// A date typed is taken once its year is whole, or when the picker is left:
// the days passed through on the way are not.
void DatePicker::typeCharacter(QChar c)
{
    if (c.isDigit()) {
        const DateText typed = dateKeyPress(typed_, DateKey::Digit, c);
        take(typed, typed.part == DateText::Year && typed.partLength(DateText::Year) == 4);
    } else if (QStringLiteral("./-, ").contains(c)) {
        take(dateKeyPress(typed_, DateKey::Separator), false);
    }
}

void DatePicker::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    for (const QChar c : event->commitString()) typeCharacter(c);
}

void DatePicker::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // While it holds no day, a click elsewhere in the window is refused.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
    if (!isControlFocusChange(event->reason())) return;
    if (isTypedDateValid()) dateOnEntering_ = date_;
    if (event->reason() == Qt::MouseFocusReason) return;
    display(typed_.standingOn(DateText::Day));
}

void DatePicker::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (isTypedDateValid()) {
        qApp->removeEventFilter(this);
        commit();
        display(DateText::of(date_));
        return;
    }
    // A click elsewhere takes the focus before anyone sees the click: take
    // it back; the click itself is refused by the filter.
    if (event->reason() == Qt::MouseFocusReason) {
        const DateText typed = typed_;
        setFocus(Qt::OtherFocusReason);
        display(typed);
    }
}

void DatePicker::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    display(typed_.standingOn(typed_.partAt(cursorPosition())));
}

void DatePicker::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == calendar_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        calendar_->close();
        return true;
    }
    const auto type = event->type();
    if ((type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick) || isTypedDateValid()) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget == this || isAncestorOf(widget) || widget->window() != window()) return false;
    mayLeave();
    return true;
}

void DatePicker::openCalendar()
{
    if (!calendar_) {
        calendar_ = new QCalendarWidget(this);
        calendar_->setWindowFlags(Qt::Popup);
        calendar_->setFirstDayOfWeek(Qt::Monday);
        calendar_->setLocale(QLocale(QLocale::Turkish, QLocale::Turkey));
        calendar_->installEventFilter(this);
        const auto pick = [this](const QDate& day) {
            calendar_->close();
            setFocus(Qt::OtherFocusReason);
            setDate(day);
        };
        connect(calendar_, &QCalendarWidget::activated, this, pick);
        connect(calendar_, &QCalendarWidget::clicked, this, pick);
    }
    calendar_->setSelectedDate(date_);
    calendar_->move(mapToGlobal(rect().bottomLeft()));
    calendar_->show();
    calendar_->setFocus(Qt::PopupFocusReason);
}
