#pragma once

#include "store/Schema.h"

#include <QDate>
#include <QString>

// Pieces of SQL text the ledger's statements share; values are always bound.

// A day as the engine stores it, 'YYYY-MM-DD', for a statement shown to a
// person or run by hand beside the program.
QString dateLiteral(const QDate& date);

// A code's exact balance, Borcumuz less Alacağımız: the engine adds the
// stored amounts as whole hundred-millionths of a lira (Money's units), so
// the sum is exact whatever the count of rows.
inline const QString kExactBalanceSum = QStringLiteral(
    "COALESCE(SUM(CAST(ROUND(Gelir_Toplam_Tutar * 1e8) AS INTEGER)), 0) "
    "- COALESCE(SUM(CAST(ROUND(Gider_Tutari * 1e8) AS INTEGER)), 0)");

// The exact sum of a stored amount, back as the number nearest to it; empty
// over no amounts, as SUM is.
inline QString exactSum(const QString& field)
{
    return QStringLiteral("SUM(CAST(ROUND(%1 * 1e8) AS INTEGER)) / 100000000.0").arg(field);
}

// Name lists sort in Turkish alphabetical order through this collation.
inline const QString kTurkishCollation = QStringLiteral("tr");
// Turkish lower-casing in SQL, for searches that ignore letter case.
inline const QString kTurkishLower = QStringLiteral("tr_lower");
// Every screen's account list, in name order.
inline const QString kAccountListSql = QStringLiteral("SELECT * FROM Cariler ORDER BY Adi COLLATE tr ASC;");
