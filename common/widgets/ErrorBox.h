#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// A message box titled "Orvalin Kovanta" over the active window, wide
// enough for its title whatever the text; returns the button pressed.
// Without a default button the box chooses its own (Yes, OK).
QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// The application's error box: the error's own text, titled "Orvalin Kovanta".
void showErrorBox(const QString& text);

// Runs one handler. An error raised inside it stops the rest of the handler
// and its text goes to the error box; the program goes on.
void guarded(const std::function<void()>& handler);
