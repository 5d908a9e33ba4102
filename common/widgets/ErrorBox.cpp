#include "common/widgets/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace {
const QString kTitle = QStringLiteral("Orvalin Kovanta");
}

void showErrorBox(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()));
    }
}
