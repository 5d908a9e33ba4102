#pragma once

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/TableCursor.h"

#include <QList>
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
