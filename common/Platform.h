#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// What the screens need of the window system, as interfaces the windows
// implement and tests fake.

// The program's name, and the title of every message box.
inline const QString kProgramTitle = QStringLiteral("Orvalin Kovanta");

// Message boxes, each titled "Orvalin Kovanta".
class Dialogs {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~Dialogs() = default;
    // A plain message: OK only, no icon.
    virtual void message(const QString& text) = 0;
    // Yes/No, no icon.
    virtual bool confirm(const QString& text) = 0;
    // Yes/No, no icon, "Hayır" the default button: Enter answers No.
    virtual bool confirmDefaultNo(const QString& text) = 0;
    // Yes/No/Cancel with the question icon, "Hayır" the default button.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // The question before a window with a typed entry closes: Yes/No/Cancel,
    // "İptal" the default button. Without a window nobody answers, and the
    // entry stays.
    virtual Answer askSaveBeforeClosing(const QString& /*text*/) { return Answer::Cancel; }
    // The save dialog of a CSV file, opened in the working folder with the
    // given name offered: the path chosen, empty when given up. Without a
    // window there is no one to ask, and nothing is written.
    virtual QString askCsvPath(const QString& /*suggestedName*/) { return {}; }
    // A day asked in a date box that offers the given one: the day taken,
    // none when given up. Without a window no day is taken.
    virtual std::optional<QDate> askDate(const QString& /*text*/, const QDate& /*offered*/) { return std::nullopt; }
    // The same for an .xlsx file.
    virtual QString askXlsxPath(const QString& /*suggestedName*/) { return {}; }
    // A window showing a long work's progress, with a button to give it up,
    // while the returned routine lives: it takes the work done of all and
    // says whether to go on. Without a window nothing is shown.
    virtual std::function<bool(qint64 done, qint64 total)> showProgress(const QString& /*text*/) { return {}; }
};

// A screen's own window.
class WindowControl {
public:
    virtual ~WindowControl() = default;
    virtual bool isMinimized() const = 0;
    virtual void showMaximized() = 0;
    // Shows the window in its present state and brings it to the front.
    virtual void showAndRaise() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
};

// Opens an address with the desktop's default handler.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void openAddress(const QString& address) = 0;
};

// The window state of a screen with no window on it: what the program
// shows when it runs without a window system, and what tests look at.
class HeadlessWindow : public WindowControl {
public:
    enum class State { Normal, Minimized, Maximized };
    bool isMinimized() const override { return state == State::Minimized; }
    void showMaximized() override { state = State::Maximized; visible = true; }
    void showAndRaise() override { visible = true; ++raised; }
    void hide() override { visible = false; }
    bool isVisible() const override { return visible; }

    State state = State::Normal;
    bool visible = false;
    int raised = 0;
};
