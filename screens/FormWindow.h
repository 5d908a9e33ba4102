#pragma once

#include "common/widgets/ScreenWindow.h"

#include <QPointer>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QAbstractButton;
class QGridLayout;
class QPushButton;
class QVBoxLayout;
class TextGrid;
class TextTable;
template <typename T>
class Field;
class QAction;
class QTabWidget;
class TForm;

// A working screen's window: caption, status bar, maximised opening and
// hiding on close come from ScreenWindow; this ties it to its screen.
// Escape hides it, as "Kapat" does, while no box holds anything typed that
// the screen has not taken yet; a box that gives up its own typing on
// Escape (a date picker, the phone box) does that first.
class FormWindow : public ScreenWindow {
    Q_OBJECT
public:
    FormWindow(const QString& caption, TForm& screen);
    ~FormWindow() override;

    // Typed by the collector since the screen last emptied a box of it
    // (a save, "Yeni"), and not refilled by the screen since: the window
    // then stays on Escape.
    bool holdsTyping() const;
    // What Escape does before anything else; true when it did something
    // (a correction given up), and the window then stays.
    void setEscapeFirst(std::function<bool()> handler) { escapeFirst_ = std::move(handler); }

protected:
    // Names the controls, chains them in this tab order, and lets Enter
    // walk the panel's text boxes and press its buttons.
    void setControls(std::initializer_list<std::pair<QWidget*, const char*>> order);
    // Where typing starts when the window is shown with the focus on a
    // button or nowhere: keys typed then never press "Kapat" again.
    void setStartControl(QWidget* control) { start_ = control; }
    // The lists of a window's pages worked by keyboard: F6 goes between the
    // panel and the shown page's list, Ctrl+Tab and Ctrl+Shift+Tab turn the
    // page and go into its list, Escape in a list goes back to the panel.
    void keyboardLists(QTabWidget* tabs, std::vector<QWidget*> pageLists, QWidget* panelStart);
    // The same for a window with one list and no pages.
    void keyboardList(QWidget* list, QWidget* panelStart);
    // A window of lines that each hold from a day (rates, prices): the
    // Kaydet, Yeni, Sil and Kapat buttons in a row of the panel's grid, and
    // the list of lines with its caption added to `rows` under the panel.
    // Enter on the list loads a line, Delete deletes it after the screen's
    // question, Ctrl+Z takes the deletion back.
    struct LineActions {
        std::function<void()> kaydet, yeni, sil, listEnter, listDelete;
    };
    struct LineControls {
        QPushButton* kaydet;
        QPushButton* yeni;
        QPushButton* sil;
        QPushButton* kapat;
        TextGrid* list;
    };
    LineControls addLineControls(QGridLayout* grid, int row, int span, QVBoxLayout* rows, Field<TextTable>& lines,
                                 Field<int>& current, const QString& listCaption, LineActions actions);
    // Ctrl+S in any box under `where` saves as the button does: the box
    // being typed in is left first, so its own checks run.
    QAction* saveOnCtrlS(QWidget* where, QAbstractButton* saveButton);
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void escape();

    TForm& screen_;
    QWidget* start_ = nullptr;
    QPointer<QWidget> pendingFocus_;
    std::function<bool()> escapeFirst_;
};
