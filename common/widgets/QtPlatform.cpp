#include "common/widgets/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("Orvalin Kovanta");

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, kTitle, text, buttons, QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtDialogs::message(const QString& text)
{
    ask(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

bool QtDialogs::confirm(const QString& text)
{
    return ask(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::askYesNoCancel(const QString& text)
{
    switch (ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtWindowControl::isMinimized() const
{
    return window_ && window_->isMinimized();
}

void QtWindowControl::showMaximized()
{
    if (window_) window_->showMaximized();
}

void QtWindowControl::showAndRaise()
{
    if (!window_) return;
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void QtWindowControl::hide()
{
    if (window_) window_->hide();
}

bool QtWindowControl::isVisible() const
{
    return window_ && window_->isVisible();
}

void DesktopShell::openAddress(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}
