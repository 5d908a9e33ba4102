#pragma once

#include "store/Schema.h"

#include <QDate>
#include <QString>

// Pieces of SQL text the ledger's statements share; values are always bound.

// A day as the engine stores it, 'YYYY-MM-DD', for a statement shown to a
// person or run by hand beside the program.
QString dateLiteral(const QDate& date);

// The few places where the two engines' SQL differs, each written in the
// engine's own words; a statement takes its connection's.
struct SqlDialect {
    bool server = false;
    // A stored amount as whole hundred-millionths of a lira (Money's units),
    // halves away from zero, as Money rounds.
    QString units(const QString& amount) const;
    // The amounts' exact sum in those units.
    QString unitsSum(const QString& amount) const { return QStringLiteral("SUM(%1)").arg(units(amount)); }
    // The exact sum of a stored amount, back as the number nearest to it;
    // empty over no amounts, as SUM is.
    QString exactSum(const QString& amount) const { return unitsSum(amount) + QStringLiteral(" / 100000000.0"); }
    // A code's exact balance in units, Borcumuz less Alacağımız: whatever the
    // count of rows, the sum is exact.
    QString exactBalanceSum() const;
    // What an insert ends with to hand back the key it gave; the file's
    // engine tells it without being asked.
    QString returning(const QString& key) const;
    // A table's or field's name quoted, as the engine keeps it.
    QString identifier(const QString& name) const;
};

inline const SqlDialect kFileDialect{false};
inline const SqlDialect kServerDialect{true};

class Connection;
const SqlDialect& dialectOf(const Connection& connection);

// Name lists sort in Turkish alphabetical order through this collation.
inline const QString kTurkishCollation = QStringLiteral("tr");
// Turkish lower-casing in SQL, for searches that ignore letter case.
inline const QString kTurkishLower = QStringLiteral("tr_lower");
// Every screen's account list, in name order.
inline const QString kAccountListSql = QStringLiteral("SELECT * FROM Cariler ORDER BY Adi COLLATE tr ASC;");
