#include "app/CommandLine.h"
#include "app/InstanceGuard.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/QtPlatform.h"
#include "common/widgets/ScreenWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QWindow>

#include <sys/stat.h>

#include <cstdio>
#include <memory>

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
        useProgramFont();
        QStringList arguments = QGuiApplication::arguments();
        arguments.removeFirst();
        return runCommandLine(arguments);
    }
    QApplication app(argc, argv);
    configureApplication(app);

    QtDialogs dialogs;
    // A second start on this folder shows the first instead.
    InstanceGuard guard(QFileInfo(kDatabasePath).absolutePath());
    if (!guard.holdsFolder()) {
        if (!guard.askRunningToShow())
            dialogs.message(QStringLiteral("Orvalin Kovanta bu klasörde zaten açık. Açık olan pencereyi kullanın."));
        return 0;
    }
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

    ProgramWindows windows(program);
    windows.menu.showMaximized();
    guard.onShowAsked([&windows] {
        QWidget* front = QApplication::activeWindow() ? QApplication::activeWindow() : &windows.menu;
        if (front->isMinimized()) front->showMaximized();
        front->show();
        front->raise();
        front->activateWindow();
    });
    return app.exec();
}
