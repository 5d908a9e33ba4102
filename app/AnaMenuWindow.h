#pragma once

#include <QMainWindow>

class TAnaMenuF;

// The main menu's window; closing it ends the program.
class AnaMenuWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit AnaMenuWindow(TAnaMenuF& menu);

protected:
    void closeEvent(QCloseEvent* event) override;
};
