#include "common/widgets/Binding.h"

#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QTabWidget>

void bind(QLineEdit* edit, TextField& field)
{
    edit->setText(field.text());
    QPointer<QLineEdit> widget(edit);
    field.onChange([widget](const QString& text) {
        if (widget && widget->text() != text) widget->setText(text);
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit, [&field](const QString& text) { field.setText(text); });
}

void bind(PhoneEdit* edit, TextField& field)
{
    edit->setDisplay(field.text());
    QPointer<PhoneEdit> widget(edit);
    field.onChange([widget](const QString& display) {
        if (widget) widget->setDisplay(display);
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, &field] { field.setText(edit->display()); });
}

void bind(QComboBox* combo, TextField& field)
{
    combo->setCurrentText(field.text());
    QPointer<QComboBox> widget(combo);
    field.onChange([widget](const QString& text) {
        if (widget && widget->currentText() != text) widget->setCurrentText(text);
    });
    QObject::connect(combo, &QComboBox::currentTextChanged, combo,
                     [&field](const QString& text) { field.setText(text); });
}

void bind(QAbstractButton* button, CheckField& field)
{
    button->setChecked(field.checked());
    QPointer<QAbstractButton> widget(button);
    field.onChange([widget](bool checked) {
        if (widget && widget->isChecked() != checked) widget->setChecked(checked);
    });
    QObject::connect(button, &QAbstractButton::toggled, button, [&field](bool checked) { field.setChecked(checked); });
}

void bind(QDateEdit* edit, DateField& field, std::function<void()> onUserChange)
{
    {
        const QSignalBlocker quiet(edit);
        edit->setDate(field.date());
    }
    QPointer<QDateEdit> widget(edit);
    field.onChange([widget](const QDate& date) {
        if (!widget || widget->date() == date) return;
        const QSignalBlocker quiet(widget.data());
        widget->setDate(date);
    });
    QObject::connect(edit, &QDateEdit::dateChanged, edit, [&field, onUserChange](const QDate& date) {
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
