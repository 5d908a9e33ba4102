#pragma once

#include "common/Platform.h"

#include <QPointer>
#include <QWidget>

// Message boxes titled "Orvalin Kovanta", over the active window.
class QtDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    bool confirmDefaultNo(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    Answer askSaveBeforeClosing(const QString& text) override;
    QString askCsvPath(const QString& suggestedName) override;
    std::optional<QDate> askDate(const QString& text, const QDate& offered) override;
    QString askXlsxPath(const QString& suggestedName) override;
    std::function<bool(qint64 done, qint64 total)> showProgress(const QString& text) override;
};

// A screen's top-level window.
class QtWindowControl : public WindowControl {
public:
    explicit QtWindowControl(QWidget* window) : window_(window) {}
    bool isMinimized() const override;
    void showMaximized() override;
    void showAndRaise() override;
    void hide() override;
    bool isVisible() const override;

private:
    QPointer<QWidget> window_;
};

// Addresses open with the desktop's default handler; a failure is ignored.
class DesktopShell : public Shell {
public:
    void openAddress(const QString& address) override;
};
