#pragma once

#include "common/Field.h"

#include <functional>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class AmountEdit;
class DatePicker;
class PhoneEdit;

// Ties a widget to a screen's field both ways: the program's changes of the
// field show in the widget, the user's changes of the widget reach the field.
void bind(QLineEdit* edit, TextField& field);
// What the program puts into an amount box shows as the box shows it after
// leaving, unless the collector is in it: a price of 12,5 as 12,50; an
// emptied box stays empty.
void bind(AmountEdit* edit, TextField& field);
void bind(PhoneEdit* edit, TextField& field);
void bind(QComboBox* combo, TextField& field);
void bind(QAbstractButton* button, CheckField& field);
// Two radio buttons for one yes-or-no field: `on` checked is yes, `off` no.
void bind(QAbstractButton* on, QAbstractButton* off, CheckField& field);
// Only a date the user picks runs onUserChange; the program's do not.
void bind(DatePicker* edit, DateField& field, std::function<void()> onUserChange);
void bindCaption(QTabWidget* tabs, int page, TextField& caption);
// A label only shows its field: the user cannot change it.
void bind(QLabel* label, TextField& text);
// A part of the window shown while the field is on.
void bindVisible(QWidget* part, CheckField& shown);
