#pragma once

#include <QMainWindow>

#include <functional>

class QLabel;
class QPushButton;
class QVBoxLayout;
class TAnaMenuF;

// The main menu's window; closing it ends the program.
class AnaMenuWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit AnaMenuWindow(TAnaMenuF& menu);

    // A button after the last one, next in the tab order.
    QPushButton* addItem(const QString& caption, std::function<void()> handler);
    // A line in the status bar, until the next one.
    void showStatus(const QString& text);
    // Whether every open window lets the program end: one holding a typed
    // entry asks first.
    std::function<bool()> mayQuit;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QVBoxLayout* buttons_ = nullptr;
    QWidget* lastItem_ = nullptr;
    QLabel* statusLine_ = nullptr;
};
