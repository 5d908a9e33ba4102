#pragma once

#include "store/Schema.h"

#include <QDate>
#include <QString>

// Pieces of SQL text the screens build. Dates are written as 'YYYY-MM-DD',
// the form the day fields are stored in.
QString dateLiteral(const QDate& date);

// "WHERE Tarih=<day>"
QString dayFilter(const QDate& day);
// "WHERE (Tarih>=<from> AND Tarih<=<to>)", both ends included.
QString periodFilter(const QDate& from, const QDate& to);
// "AND Gelir_Gider='S'" or "AND Gelir_Gider='O'"
QString kindLine(LedgerKind kind);

// A code's exact balance, Borcumuz less Alacağımız: the engine adds the
// stored amounts as whole hundred-millionths of a lira (Money's units), so
// the sum is exact whatever the count of rows.
inline const QString kExactBalanceSum = QStringLiteral(
    "COALESCE(SUM(CAST(ROUND(Gelir_Toplam_Tutar * 1e8) AS INTEGER)), 0) "
    "- COALESCE(SUM(CAST(ROUND(Gider_Tutari * 1e8) AS INTEGER)), 0)");

// Name lists sort in Turkish alphabetical order through this collation.
inline const QString kTurkishCollation = QStringLiteral("tr");
// Turkish lower-casing in SQL, for searches that ignore letter case.
inline const QString kTurkishLower = QStringLiteral("tr_lower");
// Every screen's account list, in name order.
inline const QString kAccountListSql = QStringLiteral("SELECT * FROM Cariler ORDER BY Adi COLLATE tr ASC;");
