#include "app/Program.h"
#include "app/Windows.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/QtPlatform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    configureApplication(app);

    QtDialogs dialogs;
    DesktopShell shell;
    Program program(dialogs, shell);
    try {
        if (!program.start(kDatabasePath)) return 0;
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()));
        return 1;
    }

    ProgramWindows windows(program);
    windows.menu.showMaximized();
    return app.exec();
}
