// Makes a database full of realistic entries: a demo for a new user, and
// the files the measurements run on.
//   kovanta-ledger PATH [PRODUCERS [DAYS [LAST-DAY]]]
#include "bench/LedgerGenerator.h"
#include "store/Connection.h"

#include <QCoreApplication>

#include <sys/stat.h>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    // The demo's producers and amounts are as private as a real ledger's:
    // its folders and file are the user's alone, like the program's own.
    umask(0077);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: kovanta-ledger PATH [PRODUCERS [DAYS [YYYY-MM-DD]]]\n");
        return 2;
    }
    LedgerShape shape;
    if (args.size() > 2) shape.producers = args[2].toInt();
    if (args.size() > 3) shape.days = args[3].toInt();
    if (args.size() > 4) shape.lastDay = QDate::fromString(args[4], Qt::ISODate);
    if (shape.producers < 1 || shape.days < 1 || !shape.lastDay.isValid()) {
        std::fprintf(stderr, "kovanta-ledger: producers and days must be at least 1, the last day YYYY-MM-DD\n");
        return 2;
    }
    try {
        Connection connection;
        connection.createNew(args[1]);
        generateLedger(connection, shape);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kovanta-ledger: %s\n", error.what());
        return 1;
    }
    return 0;
}
