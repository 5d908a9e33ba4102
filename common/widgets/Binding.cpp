#include "common/widgets/Binding.h"

#include "common/TurkishText.h"

#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

// Shows the field in the widget now and on every change the program makes;
// the widget's own changes, reported by its signal, go back to the field.
template <typename Widget, typename Value, typename Get, typename Set, typename Signal>
void tie(Widget* widget, Field<Value>& field, Get get, Set set, Signal changed)
{
    set(widget, field.get());
    QPointer<Widget> guard(widget);
    field.onChange([guard, get, set](const Value& value) {
        if (guard && get(guard.data()) != value) set(guard.data(), value);
    });
    QObject::connect(widget, changed, widget, [widget, &field, get] { field.set(get(widget)); });
}

}  // namespace

void bind(QLineEdit* edit, TextField& field)
{
    // A pasted tab or line break, or a key's own control character, never
    // reaches a stored text.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString clean = withoutControlCharacters(text);
        if (clean == text) return;
        const int caret = edit->cursorPosition() - static_cast<int>(text.size() - clean.size());
        edit->setText(clean);
        edit->setCursorPosition(std::max(0, caret));
    });
    // A text longer than the box holds (a note from an old file) is shown
    // cut, but stays whole in the field until the collector types in the box.
    edit->setText(field.get());
    QPointer<QLineEdit> guard(edit);
    field.onChange([guard](const QString& value) {
        if (guard && guard->text() != value) guard->setText(value);
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, &field](const QString& text) {
        const QString& whole = field.get();
        if (!edit->isModified() && whole.size() > text.size() && whole.size() > edit->maxLength() && whole.startsWith(text)) return;
        field.set(text);
    });
}

void bind(AmountEdit* edit, TextField& field)
{
    bind(static_cast<QLineEdit*>(edit), field);
    QPointer<AmountEdit> widget(edit);
    // Not the box the window's focus stands in, shown or not: it is being
    // typed in, or will be when the window comes back.
    const auto shown = [widget] {
        if (widget && widget->window()->focusWidget() != widget) widget->showAsLeft();
    };
    field.onChange([shown](const QString&) { shown(); });
    shown();
}

void bind(PhoneEdit* edit, TextField& field)
{
    tie(edit, field, [](PhoneEdit* w) { return w->display(); },
        [](PhoneEdit* w, const QString& v) { w->setDisplay(v); }, &QLineEdit::textChanged);
}

void bind(QComboBox* combo, TextField& field)
{
    tie(combo, field, [](QComboBox* w) { return w->currentText(); },
        [](QComboBox* w, const QString& v) { w->setCurrentText(v); }, &QComboBox::currentTextChanged);
}

void bind(QAbstractButton* button, CheckField& field)
{
    tie(button, field, [](QAbstractButton* w) { return w->isChecked(); },
        [](QAbstractButton* w, bool v) { w->setChecked(v); }, &QAbstractButton::toggled);
}

void bind(QAbstractButton* on, QAbstractButton* off, CheckField& field)
{
    // A checked radio button is not unchecked by itself: the other one is checked.
    const auto show = [on = QPointer<QAbstractButton>(on), off = QPointer<QAbstractButton>(off)](bool yes) {
        QAbstractButton* chosen = yes ? on.data() : off.data();
        if (chosen && !chosen->isChecked()) chosen->setChecked(true);
    };
    show(field.checked());
    field.onChange(show);
    QObject::connect(on, &QAbstractButton::toggled, on, [&field](bool checked) { field.setChecked(checked); });
}

void bind(DatePicker* edit, DateField& field, std::function<void()> onUserChange)
{
    {
        const QSignalBlocker quiet(edit);
        edit->setDate(field.date());
    }
    QPointer<DatePicker> widget(edit);
    field.onChange([widget](const QDate& date) {
        if (!widget || widget->date() == date) return;
        const QSignalBlocker quiet(widget.data());
        widget->setDate(date);
    });
    QObject::connect(edit, &DatePicker::dateChanged, edit, [&field, onUserChange](const QDate& date) {
        field.setDate(date);
        if (onUserChange) guarded(onUserChange);
    });
}

void bindCaption(QTabWidget* tabs, int page, TextField& caption)
{
    tabs->setTabText(page, caption.text());
    QPointer<QTabWidget> widget(tabs);
    caption.onChange([widget, page](const QString& text) {
        if (widget) widget->setTabText(page, text);
    });
}

void bindVisible(QWidget* part, CheckField& shown)
{
    part->setVisible(shown.checked());
    QPointer<QWidget> widget(part);
    shown.onChange([widget](bool on) {
        if (widget) widget->setVisible(on);
    });
}

void bind(QLabel* label, TextField& text)
{
    // A name from the data is shown as it is, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text.text());
    QPointer<QLabel> widget(label);
    text.onChange([widget](const QString& value) {
        if (widget) widget->setText(value);
    });
}
