#pragma once

#include "screens/FormWindow.h"

class TForm;

// The window of a screen whose panel is not built yet: its caption, its
// status bar and "Kapat".
class ClosingOnlyWindow : public FormWindow {
    Q_OBJECT
public:
    ClosingOnlyWindow(const QString& caption, TForm& screen);
};
