// Writes the old Windows program's Jet file of a ledger, to try the take-over:
//   kovanta-make-jet LEDGER.mdb OLD.mdb
#include "bench/JetOfLedger.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fputs("kullanım: kovanta-make-jet DEFTER.mdb ESKI.mdb\n", stderr);
        return 2;
    }
    try {
        writeJetOfLedger(arguments[1], arguments[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
