#pragma once

#include <QString>
#include <functional>

// The application's error box: the error's own text, titled "Orvalin Kovanta".
void showErrorBox(const QString& text);

// Runs one handler. An error raised inside it stops the rest of the handler
// and its text goes to the error box; the program goes on.
void guarded(const std::function<void()>& handler);
