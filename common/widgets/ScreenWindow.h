#pragma once

#include "common/widgets/QtPlatform.h"

#include <QColor>
#include <QMainWindow>

// The maker's line in the middle panel of every status bar.
inline const QString kMakerLine = QStringLiteral("Orvalin Yazılım - Destek Hattı: (0312) 555 01 23");
// The pale green of the screens' panels.
inline const QColor kPanelGreen(192, 220, 192);

// The three-panel status bar (10, 400 and 50 pixels) of every window.
void addStatusBar(QMainWindow* window);
// A line every window's status bar shows (how the server connection stands).
void showOnEveryStatusBar(const QString& text);

// A working screen's top-level window: its caption, its status bar; it
// opens maximised, and closing it only hides it.
class ScreenWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ScreenWindow(const QString& caption, QWidget* parent = nullptr);

    WindowControl& control() { return control_; }

private:
    QtWindowControl control_{this};
};

// Tahoma 9 where it is installed, otherwise a face that carries every
// Turkish letter: the font the windows are laid out for.
void useProgramFont();

// Fills a widget's background with a colour.
void paintBackground(QWidget* widget, const QColor& colour);
