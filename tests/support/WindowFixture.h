#pragma once

#include "ScreenFixture.h"
#include "app/AnaMenu.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

class NoShell : public Shell {
public:
    void openAddress(const QString&) override {}
};

// A fresh set of screens with the menu over them, and the means to find a
// window's controls by name and to press keys where the focus is.
class WindowFixture : public ScreenFixture {
protected:
    WindowFixture() { menu.attach(screens); }

    template <typename W>
    W* control(const char* name)
    {
        W* found = root->findChild<W*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    QString focusedName() { return focused() ? focused()->objectName() : QStringLiteral("(none)"); }
    void press(Qt::Key key) { QTest::keyClick(focused(), key); }

    NoShell shell;
    TAnaMenuF menu{shell};
    // The window under test; set by the test's fixture.
    QWidget* root = nullptr;
};
