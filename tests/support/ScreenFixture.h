#pragma once

#include "FakeDialogs.h"
#include "TempDatabase.h"
#include "screens/ScreenSet.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/cari/cari.h"
#include "store/Query.h"
#include "store/TableCursor.h"

#include <QVariantMap>
#include <gtest/gtest.h>

// A fresh set of screens over a new database, with boxes that record.
class ScreenFixture : public ::testing::Test {
protected:
    TempDatabase db;
    FakeDialogs dialogs;
    ScreenSet screens{db.connection, dialogs};
    TSutAlimF& intake = *screens.forms.SutAlimF;
    TcariF& accounts = *screens.forms.cariF;
    TVerilenlerF& payment = *screens.forms.VerilenlerF;

    // Writes an account straight into the table, as an earlier session would have.
    qint64 addAccount(const QString& code, const QString& name, double price = 0)
    {
        TableCursor table(db.connection, QStringLiteral("Cariler"), QStringLiteral("CID"));
        table.open();
        return table.append()
            .setField(QStringLiteral("Kodu"), code)
            .setField(QStringLiteral("Adi"), name)
            .setField(QStringLiteral("Birim_Fiyati"), price)
            .post();
    }

    // Reads rows back with plain SQL, each as its fields by name.
    QList<QVariantMap> rows(const QString& sql)
    {
        Query query(db.connection, {sql});
        query.open();
        QList<QVariantMap> result;
        for (int row = 0; row < query.recordCount(); ++row) {
            QVariantMap fields;
            for (const QString& name : query.fieldNames()) fields[name] = query.valueAt(row, name);
            result << fields;
        }
        return result;
    }

    int count(const QString& table) { return rows(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)[0][QStringLiteral("n")].toInt(); }
};
