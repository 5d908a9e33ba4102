// Starts the program as main does, on the database in the current folder,
// up to the menu on screen; then opens every screen from the menu. Prints
// the time to the menu and the resident memory after each step.
//   kovanta-startup-probe [REPORT-FROM REPORT-TO]
#include "app/Program.h"
#include "app/Windows.h"
#include "common/widgets/QtPlatform.h"
#include "screens/Rapor/Rapor.h"
#include "store/Connection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    configureApplication(app);
    QtDialogs dialogs;
    DesktopShell shell;
    Program program(dialogs, shell);
    try {
        if (!program.start(kDatabasePath)) return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    ProgramWindows windows(program, dialogs);
    windows.menu.showMaximized();
    program.copyIfDue();
    QApplication::processEvents();
    std::printf("startup_ms %.1f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
    std::printf("rss_kib menu %ld\n", residentKiB());

    // The report over the ledger's last year, as at a year's end.
    if (argc > 2) {
        program.screens->RaporF->ilktarihDate.setDate(QDate::fromString(QString::fromLatin1(argv[1]), Qt::ISODate));
        program.screens->RaporF->sontarihDate.setDate(QDate::fromString(QString::fromLatin1(argv[2]), Qt::ISODate));
    }
    TAnaMenuF& menu = program.AnaMenuF;
    const std::pair<const char*, void (TAnaMenuF::*)()> openings[] = {
        {"intake", &TAnaMenuF::SutAlimButtonClick},   {"payment", &TAnaMenuF::AlisVerisButtonClick},
        {"factory", &TAnaMenuF::FabrikaButtonClick},  {"report", &TAnaMenuF::RaporButtonClick},
        {"accounts", &TAnaMenuF::CariTanimButtonClick},
    };
    for (const auto& [name, open] : openings) {
        (menu.*open)();
        QApplication::processEvents();
        std::printf("rss_kib %s %ld\n", name, residentKiB());
    }
    return 0;
}
