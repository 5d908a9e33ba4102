#pragma once

#include "store/Connection.h"

#include <QTemporaryDir>

// A new, empty database in a folder of its own, removed afterwards.
class TempDatabase {
public:
    TempDatabase() { connection.createNew(dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"))); }

    QTemporaryDir dir;
    Connection connection;
};
