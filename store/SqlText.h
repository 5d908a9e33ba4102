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

// Name lists sort in Turkish alphabetical order through this collation.
inline const QString kTurkishCollation = QStringLiteral("tr");
// Every screen's account list, in name order.
inline const QString kAccountListSql = QStringLiteral("SELECT * FROM Cariler ORDER BY Adi COLLATE tr ASC;");
