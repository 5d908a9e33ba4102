#include "common/widgets/ErrorBox.h"

#include "common/Platform.h"

#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>
#include <exception>

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, kProgramTitle, text, buttons, QApplication::activeWindow());
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    // The box sizes itself to its text; the title bar's buttons need room too.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(kProgramTitle) + 160;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void showErrorBox(const QString& text)
{
    showBox(QMessageBox::Critical, text, QMessageBox::Ok);
}

void guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        // Nothing may leave the event loop, whatever was thrown.
        showErrorBox(QStringLiteral("Beklenmeyen bir hata oluştu; işlem yarıda kaldı. Girilenler kutularda duruyor."));
    }
}
