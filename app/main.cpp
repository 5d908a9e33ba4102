#include "app/CommandLine.h"
#include "app/InstanceGuard.h"
#include "app/LedgerPlace.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/QtPlatform.h"
#include "common/widgets/ScreenWindow.h"

#include <QApplication>

#include <sys/stat.h>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The ledger, its copies, its folders and the statements are the
    // producers' affairs: readable by this user alone, whatever the umask.
    // Files that are already there keep their modes.
    umask(0077);
    if (isCommandLine(argc, argv)) {
        // No display is needed, nor used when there is one; standard error
        // carries only the program's own Turkish lines.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
        });
        QGuiApplication app(argc, argv);
        nameUserSettings();
        useProgramFont();
        QStringList arguments = QGuiApplication::arguments();
        arguments.removeFirst();
        return runCommandLine(arguments);
    }
    QApplication app(argc, argv);
    configureApplication(app);

    QtDialogs dialogs;
    // A second start on this ledger shows the first instead.
    InstanceGuard guard(kDatabasePath);
    if (!guard.failure().isEmpty()) {
        showErrorBox(guard.failure());
        return 1;
    }
    if (!guard.holdsFolder()) {
        if (!guard.askRunningToShow())
            dialogs.message(QStringLiteral("Orvalin Kovanta bu klasörde zaten açık. Açık olan pencereyi kullanın."));
        return 0;
    }
    DesktopShell shell;
    Program program(dialogs, shell);
    QStringList arguments = QApplication::arguments();
    try {
        // A folder's settings refused open no ledger at all.
        const bool given = arguments.contains(QStringLiteral("--sunucu"));
        const QString server = serverOf(arguments);
        if (!server.isEmpty() && !given && !serverKnownHere(server)) {
            if (!dialogs.confirm(firstConnectionQuestion(server))) return 0;
            rememberServerHere(server);
        }
        if (!(server.isEmpty() ? program.start(kDatabasePath) : program.startOnServer(server))) return 0;
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()));
        return 1;
    }

    ProgramWindows windows(program, dialogs);
    windows.menu.showMaximized();
    // The day's copy runs behind the menu.
    program.copyIfDue();
    guard.onShowAsked([&windows] {
        QWidget* front = QApplication::activeWindow() ? QApplication::activeWindow() : &windows.menu;
        if (front->isMinimized()) front->showMaximized();
        front->show();
        front->raise();
        front->activateWindow();
    });
    return app.exec();
}
