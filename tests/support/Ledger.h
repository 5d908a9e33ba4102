#pragma once

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/TableCursor.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QVariantMap>
#include <functional>
#include <string>

// Writes an account straight into the table, as an earlier session would have.
inline qint64 addAccount(Connection& connection, const QString& code, const QString& name, double price = 0)
{
    TableCursor table(connection, schema::cariler());
    table.open();
    return table.append()
        .setField(QStringLiteral("Kodu"), code)
        .setField(QStringLiteral("Adi"), name)
        .setField(QStringLiteral("Birim_Fiyati"), price)
        .post();
}

// A milk intake row as the intake screen writes it.
inline void addIntakeRow(Connection& connection, const QDate& day, const QString& code, const QString& name,
                         double sabah, double aksam, double price, const QString& note = QString())
{
    TableCursor table(connection, schema::sutGirisi());
    table.open();
    table.append()
        .setField(QStringLiteral("Tarih"), day)
        .setField(QStringLiteral("Gelir_Gider"), kindCode(LedgerKind::Intake))
        .setField(QStringLiteral("Kodu"), code)
        .setField(QStringLiteral("Adi"), name)
        .setField(QStringLiteral("Sabah"), sabah)
        .setField(QStringLiteral("Aksam"), aksam)
        .setField(QStringLiteral("SBirim_Fiyat"), price)
        .setField(QStringLiteral("ABirim_Fiyat"), price)
        .setField(QStringLiteral("SToplam_Tutar"), sabah * price)
        .setField(QStringLiteral("AToplam_Tutar"), aksam * price)
        .setField(QStringLiteral("Gelir_Toplam_Tutar"), sabah * price + aksam * price)
        .setField(QStringLiteral("Aciklama"), note)
        .post();
}

// A payment row as the payment screen writes it: what it books as owed
// ("Borcumuz") and what was given ("Alacağımız").
inline void addPaymentRow(Connection& connection, const QDate& day, const QString& code, const QString& name,
                          const QVariant& borc, const QVariant& alacak, const QString& note = QString())
{
    TableCursor table(connection, schema::sutGirisi());
    table.open();
    table.append()
        .setField(QStringLiteral("Tarih"), day)
        .setField(QStringLiteral("Gelir_Gider"), kindCode(LedgerKind::Payment))
        .setField(QStringLiteral("Kodu"), code)
        .setField(QStringLiteral("Adi"), name)
        .setField(QStringLiteral("Gider_Tutari"), alacak)
        .setField(QStringLiteral("Gelir_Toplam_Tutar"), borc)
        .setField(QStringLiteral("Fis_No"), QStringLiteral("F1"))
        .setField(QStringLiteral("Gider_Miktari"), 1)
        .setField(QStringLiteral("Aciklama"), note)
        .post();
}

// Two producers' December as a settlement sees it. Ali: 23,445 owed from
// November, milk at two prices, paid 50 and booked 0,005. Veli: 0,004 booked
// to him before, milk at a price whose amount does not round to itself.
inline void addAliAndVeliDecember(Connection& connection)
{
    addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Işık"));
    addAccount(connection, QStringLiteral("K2"), QStringLiteral("Veli Öz"));
    const QString ali = QStringLiteral("Ali Işık");
    const QString veli = QStringLiteral("Veli Öz");
    addIntakeRow(connection, {2026, 11, 20}, QStringLiteral("K1"), ali, 10, 0, 12.345);
    addPaymentRow(connection, {2026, 11, 21}, QStringLiteral("K1"), ali, {}, 100.005);
    addIntakeRow(connection, {2026, 12, 1}, QStringLiteral("K1"), ali, 20, 10.5, 12.5);
    addIntakeRow(connection, {2026, 12, 2}, QStringLiteral("K1"), ali, 15, 0, 13.333);
    addPaymentRow(connection, {2026, 12, 10}, QStringLiteral("K1"), ali, {}, 50);
    addPaymentRow(connection, {2026, 12, 15}, QStringLiteral("K1"), ali, 0.005, {});
    addPaymentRow(connection, {2026, 11, 1}, QStringLiteral("K2"), veli, 0.004, {});
    addIntakeRow(connection, {2026, 12, 3}, QStringLiteral("K2"), veli, 1, 0, 10.004);
}

// Reads rows back with plain SQL, each as its fields by name.
inline QList<QVariantMap> readRows(Connection& connection, const QString& sql)
{
    Query query(connection, {sql});
    query.open();
    QList<QVariantMap> result;
    for (int row = 0; row < query.recordCount(); ++row) {
        QVariantMap fields;
        for (const QString& name : query.fieldNames()) fields[name] = query.valueAt(row, name);
        result << fields;
    }
    return result;
}

// Every row of every table, the history too, by table name: what a refused
// write must leave as it was.
inline QMap<QString, QList<QVariantMap>> everyRow(Connection& connection)
{
    QMap<QString, QList<QVariantMap>> rows;
    for (const schema::Table& table : schema::tables())
        rows[QString::fromLatin1(table.name)] =
            readRows(connection, QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(QString::fromLatin1(table.name), table.keyField()));
    return rows;
}

// The text of the database error an action raises, "no error" when none.
inline std::string errorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DatabaseError& error) {
        return error.what();
    }
    return "no error";
}
