#include "app/Windows.h"

#include "app/Program.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
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

ProgramWindows::ProgramWindows(Program& program, Dialogs& dialogs)
    : menu(program.AnaMenuF),
      sutAlim(*program.screens->SutAlimF),
      cari(*program.screens->cariF),
      verilenler(*program.screens->VerilenlerF),
      rapor(*program.screens->RaporF),
      fabrika(*program.screens->FabrikaF),
      gecmis(*program.screens->GecmisF),
      kesintiler(*program.screens->KesintilerF),
      hakedis(*program.screens->HakedisF),
      program_(program),
      dialogs_(dialogs)
{
    program.onCopyStatus = [this](const QString& text) { menu.showStatus(text); };
    program.secondCopyFolder = QSettings().value(kSecondCopyFolderKey).toString();
    menu.addItem(QStringLiteral("&Yedek Klasörü…"), [this] { chooseSecondCopyFolder(); });
    menu.addItem(QStringLiteral("&Değişiklik Geçmişi"), [&program] { program.AnaMenuF.GecmisButtonClick(); });
    QObject::connect(&copyClock_, &QTimer::timeout, [&program] { program.copyIfDue(); });
    copyClock_.start(60 * 1000);
}

void ProgramWindows::chooseSecondCopyFolder()
{
    QString& folder = program_.secondCopyFolder;
    if (!folder.isEmpty()) {
        const Dialogs::Answer answer = dialogs_.askYesNoCancel(
            QStringLiteral("Günlük yedekler %1 klasörüne de alınıyor. Başka bir klasör seçilsin mi?\n"
                           "(Hayır: bu klasöre yedek alınması bırakılır.)")
                .arg(folder));
        if (answer == Dialogs::Answer::Cancel) return;
        if (answer == Dialogs::Answer::No) {
            folder.clear();
            QSettings().remove(kSecondCopyFolderKey);
            menu.showStatus(QStringLiteral("Günlük yedekler yalnızca veritabanının yanındaki Yedek klasörüne alınıyor."));
            return;
        }
    }
    const QString chosen = QFileDialog::getExistingDirectory(&menu, QStringLiteral("Yedek Klasörü"),
                                                             folder.isEmpty() ? QDir::homePath() : folder);
    if (chosen.isEmpty()) return;
    const QString doubt = program_.secondFolderDoubt(chosen);
    if (!doubt.isEmpty()) {
        dialogs_.message(doubt);
        return;
    }
    folder = chosen;
    QSettings().setValue(kSecondCopyFolderKey, chosen);
    menu.showStatus(QStringLiteral("Günlük yedekler %1 klasörüne de alınacak.").arg(chosen));
    program_.copyIfDue();
}
