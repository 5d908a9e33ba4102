#include "app/AnaMenuWindow.h"
#include "app/Program.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/QtPlatform.h"
#include "screens/Fabrika/FabrikaWindow.h"
#include "screens/Rapor/RaporWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Verilenler/VerilenlerWindow.h"
#include "screens/cari/CariWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QLabel>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWindow>

#include <memory>

namespace {

// Standard buttons read "Evet", "Hayır", "İptal", "Tamam".
void loadTurkishTranslation(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(TAnaMenuF::kTitle);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    loadTurkishTranslation(app);
    // Tahoma where it is installed, otherwise a face that carries every Turkish letter.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont base(QStringLiteral("Tahoma"));
    base.setPointSize(9);
    QApplication::setFont(base);

    QtDialogs dialogs;
    DesktopShell shell;
    Program program(dialogs, shell);
    // Says why the first start of a day takes a while.
    std::unique_ptr<QLabel> notice;
    program.onLongWork = [&notice](const QString& text) {
        if (text.isEmpty()) {
            notice.reset();
            return;
        }
        notice = std::make_unique<QLabel>(text, nullptr, Qt::Dialog);
        notice->setWindowTitle(TAnaMenuF::kTitle);
        notice->setMargin(24);
        notice->show();
        // Painted only once the window manager has shown it.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 500 && !(notice->windowHandle() && notice->windowHandle()->isExposed()))
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        notice->repaint();
        QApplication::processEvents();
    };
    try {
        if (!program.start(kDatabasePath)) return 0;
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()));
        return 1;
    }

    AnaMenuWindow menu(program.AnaMenuF);
    const Forms& forms = program.screens->forms;
    SutAlimWindow sutAlimWindow(*forms.SutAlimF);
    CariWindow cariWindow(*forms.cariF);
    VerilenlerWindow verilenlerWindow(*forms.VerilenlerF);
    RaporWindow raporWindow(*forms.RaporF);
    FabrikaWindow fabrikaWindow(*forms.FabrikaF);

    menu.showMaximized();
    return app.exec();
}
