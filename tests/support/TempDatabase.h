#pragma once

#include "store/Connection.h"
#include "store/PgConnection.h"

#include <QTemporaryDir>
#include <QUuid>

// A new, empty ledger in a folder of its own, removed afterwards: a file, or,
// where KOVANTA_TEST_SERVER names a server, a new database of its own there,
// so that every suite can be run against the server ledger too.
class TempDatabase {
public:
    TempDatabase()
    {
        const QString server = qEnvironmentVariable("KOVANTA_TEST_SERVER");
        if (server.isEmpty()) {
            connection.createNew(dir.filePath(QStringLiteral("AnaData/Kovanta.mdb")));
            return;
        }
        PgConnection admin;
        admin.open(server);
        const QString name = QStringLiteral("t") + QUuid::createUuid().toString(QUuid::Id128);
        admin.exec(QStringLiteral("CREATE DATABASE ") + name);
        connection.openServer(server + QStringLiteral(" dbname=") + name, [](const QString&) { return true; });
    }

    QTemporaryDir dir;
    Connection connection;
};
