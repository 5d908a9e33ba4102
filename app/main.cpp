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
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

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
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvalin-kovanta"));
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
