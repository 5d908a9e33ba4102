#include "app/Windows.h"

#include "app/Program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void configureApplication(QApplication& app)
{
    QApplication::setApplicationName(TAnaMenuF::kTitle);
    // Where the few choices kept between starts (the statement's paper) live.
    QApplication::setOrganizationName(QStringLiteral("Orvalin"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvalin-kovanta"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Standard buttons read "Evet", "Hayır", "İptal", "Tamam".
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    useProgramFont();
}

ProgramWindows::ProgramWindows(Program& program)
    : menu(program.AnaMenuF),
      sutAlim(*program.screens->forms.SutAlimF),
      cari(*program.screens->forms.cariF),
      verilenler(*program.screens->forms.VerilenlerF),
      rapor(*program.screens->forms.RaporF),
      fabrika(*program.screens->forms.FabrikaF),
      gecmis(*program.screens->forms.GecmisF)
{
    menu.addItem(QStringLiteral("Değişiklik Geçmişi"), [&program] { program.AnaMenuF.GecmisButtonClick(); });
}
