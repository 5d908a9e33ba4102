#pragma once

#include "FakeDialogs.h"
#include "Ledger.h"
#include "TempDatabase.h"
#include "screens/Rapor/Rapor.h"
#include "screens/Fabrika/Fabrika.h"
#include "screens/ScreenSet.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/Cari/Cari.h"
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
    TSutAlimF& intake = *screens.SutAlimF;
    TcariF& accounts = *screens.cariF;
    TVerilenlerF& payment = *screens.VerilenlerF;
    TRaporF& report = *screens.RaporF;
    TFabrikaF& factory = *screens.FabrikaF;

    qint64 addAccount(const QString& code, const QString& name, double price = 0)
    {
        return ::addAccount(db.connection, code, name, price);
    }
    void intakeRow(const QDate& day, const QString& code, const QString& name, double sabah, double aksam, double price,
                   const QString& note = QString())
    {
        addIntakeRow(db.connection, day, code, name, sabah, aksam, price, note);
    }
    void paymentRow(const QDate& day, const QString& code, const QString& name, const QVariant& borc,
                    const QVariant& alacak, const QString& note = QString())
    {
        addPaymentRow(db.connection, day, code, name, borc, alacak, note);
    }
    QList<QVariantMap> rows(const QString& sql) { return readRows(db.connection, sql); }
    int count(const QString& table) { return rows(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)[0][QStringLiteral("n")].toInt(); }
};
