#include "common/widgets/QtPlatform.h"

#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include <algorithm>
#include <memory>

void QtDialogs::message(const QString& text)
{
    showBox(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

bool QtDialogs::confirm(const QString& text)
{
    return showBox(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::confirmDefaultNo(const QString& text)
{
    return showBox(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

namespace {

Dialogs::Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Dialogs::Answer::Yes;
    case QMessageBox::No:
        return Dialogs::Answer::No;
    default:
        return Dialogs::Answer::Cancel;
    }
}

}  // namespace

Dialogs::Answer QtDialogs::askYesNoCancel(const QString& text)
{
    return answerOf(showBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No));
}

Dialogs::Answer QtDialogs::askSaveBeforeClosing(const QString& text)
{
    return answerOf(showBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel));
}

namespace {

// The save dialog of one kind of file; a name typed without its ending
// still gets it.
QString askSavePath(const QString& caption, const QString& filter, const QString& suffix, const QString& suggestedName)
{
    QFileDialog dialog(QApplication::activeWindow(), kProgramTitle + QStringLiteral(" - ") + caption, QDir::currentPath(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(suggestedName);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

}  // namespace

QString QtDialogs::askCsvPath(const QString& suggestedName)
{
    return askSavePath(QStringLiteral("CSV Olarak Kaydet"), QStringLiteral("CSV dosyası (*.csv)"), QStringLiteral("csv"), suggestedName);
}

QString QtDialogs::askXlsxPath(const QString& suggestedName)
{
    return askSavePath(QStringLiteral("Excel Olarak Kaydet"), QStringLiteral("Excel dosyası (*.xlsx)"), QStringLiteral("xlsx"),
                       suggestedName);
}

std::optional<QDate> QtDialogs::askDate(const QString& text, const QDate& offered)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(kProgramTitle);
    auto* rows = new QVBoxLayout(&dialog);
    auto* question = new QLabel(text, &dialog);
    rows->addWidget(question);
    auto* day = new DatePicker(&dialog);
    day->setDate(offered);
    question->setBuddy(day);
    rows->addWidget(day);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    rows->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // Wide enough for the window manager's bar to show the bold title whole
    // beside its icon and buttons: some three times the title.
    QFont bar = dialog.font();
    bar.setBold(true);
    dialog.setMinimumWidth(std::max(dialog.minimumSizeHint().width(), 3 * QFontMetrics(bar).horizontalAdvance(kProgramTitle)));
    // Enter in the picker takes its day, then "Tamam" answers.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    day->setFocus(Qt::TabFocusReason);
    if (dialog.exec() != QDialog::Accepted || !day->date().isValid()) return std::nullopt;
    return day->date();
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

std::function<bool(qint64 done, qint64 total)> QtDialogs::showProgress(const QString& text)
{
    auto window = std::make_shared<QProgressDialog>(text, QStringLiteral("İptal"), 0, 1000, QApplication::activeWindow());
    window->setWindowTitle(kProgramTitle);
    window->setWindowModality(Qt::ApplicationModal);
    window->setMinimumDuration(0);
    window->setAutoClose(false);
    window->setAutoReset(false);
    window->setValue(0);
    return [window](qint64 done, qint64 total) {
        window->setValue(total > 0 ? static_cast<int>(std::min<qint64>(1000, done * 1000 / total)) : 0);
        QApplication::processEvents();
        return !window->wasCanceled();
    };
}
