#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

// Types text into a widget one key at a time, Turkish letters included
// (QTest's key clicks take ASCII only).
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const int key = c == QLatin1Char(' ') ? int(Qt::Key_Space) : int(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

// A key as an X11 keyboard sends it, with the text the server gives it:
// Delete comes with "\x7f", the separators with "." and ",".
inline void pressX11Key(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &release);
}

// Types digits and separators into whatever has the focus, key by key as X11 sends them.
inline void typeX11(const QString& text)
{
    for (const QChar c : text) {
        int key = c.unicode();
        if (c == QLatin1Char('.')) key = Qt::Key_Period;
        if (c == QLatin1Char(',')) key = Qt::Key_Comma;
        QWidget* target = QApplication::focusWidget();
        if (target) pressX11Key(target, key, QString(c));
    }
}
