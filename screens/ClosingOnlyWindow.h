#pragma once

#include "common/widgets/ScreenWindow.h"

class TForm;

// The window of a screen whose panel is not built yet: its caption, its
// status bar and "Kapat".
class ClosingOnlyWindow : public ScreenWindow {
    Q_OBJECT
public:
    ClosingOnlyWindow(const QString& caption, TForm& screen);
};
