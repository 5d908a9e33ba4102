#pragma once

#include <QChar>
#include <functional>
#include <initializer_list>
#include <utility>

class QAbstractButton;
class QKeyEvent;
class QWidget;

// The character a key press types, as the entry rules see it: '\r' for
// Enter, '\b' for Backspace, a control character for Ctrl+letter; null for
// keys that type nothing (arrows, Delete, Home…, whatever text they carry),
// which the box handles itself.
QChar typedCharacter(const QKeyEvent* event);

// Moves the focus to the next control in the window's tab order, skipping
// hidden and disabled ones, as Tab does.
void moveFocusToNext(QWidget* from);

// Enter in a plain text box of the window moves on; Enter on a focused push
// button presses it. Date pickers, drop-down lists, the phone box, grids
// and the entry boxes with their own key rules are left alone. Called again,
// it takes in the controls added since.
void installFormKeyHandler(QWidget* window);

// Runs the handler when the focus moves out of the widget to another
// control; a window losing activation, or a popup menu, does not count.
void onExit(QWidget* widget, std::function<void()> handler);
bool isControlFocusChange(int focusReason);

// Names each control after its role and chains them in this tab order.
void setControlOrder(std::initializer_list<std::pair<QWidget*, const char*>> controls);

// Runs the handler on a click of the button (or Enter, Space on it).
void onClick(QAbstractButton* button, std::function<void()> handler);

// Enter in the control (a date picker, a drop-down list) lets it take what
// was typed, then goes to the other control, as Tab does; a day the
// calendar does not have keeps the picker.
void enterGoesTo(QWidget* from, QWidget* to);
// The same, to the control `to` names at the time; none leaves the keyboard
// where the control's own Enter put it.
void enterGoesTo(QWidget* from, std::function<QWidget*()> to);

// Runs the handler on a double-click on the widget.
void onDoubleClick(QWidget* widget, std::function<void()> handler);
