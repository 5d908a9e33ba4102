#pragma once

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
