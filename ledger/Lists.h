#pragma once

#include "common/GridColumns.h"
#include "common/Money.h"
#include "ledger/Rows.h"
#include "store/SqlText.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class Query;

// The lists the screens show, each a query the ledger fills with its own
// statement and bound values; a grid shows its rows.
namespace lists {

// Every account, in Turkish name order: the statement of every account
// list, which is opened and re-read as it is.
inline const QStringList kAccounts{kAccountListSql};
// The account on a list's current row.
Account accountAt(const Query& accounts);
// The intake rows of a day, by name.
void intakeDay(Query& query, const QDate& day);
// Per name the month's morning and evening litres, money, the litres-weighted
// average fat and protein ("Ort_Yag", "Ort_Protein"; empty where nothing was
// measured), and the days with milk ("Toplam_GUN"), which the average is taken over.
void intakeMonth(Query& query, const QDate& first, const QDate& last);
// The accounts with no intake row on the day.
void notPoured(Query& query, const QDate& day);
// The payment rows of a month, in the order they were entered.
void paymentsMonth(Query& query, const QDate& first, const QDate& last);
// The factory's rows of a month.
void deliveriesMonth(Query& query, const QDate& first, const QDate& last);
// Litres collected on each day of a period.
void dailyLitres(Query& query, const QDate& first, const QDate& last);
// Per code and name of a period: what was booked and given, exactly summed,
// and what is left ("Bakiye"); the columns it is shown and written with.
void balances(Query& query, const QDate& from, const QDate& to);
extern const std::vector<GridColumn> kBalanceColumns;
// One code's rows of a period.
void codeRows(Query& query, const QString& code, const QDate& from, const QDate& to);
// One code's litres per month ("Ay" as yyyy-MM) of a period, with the
// month's average fat and protein as the intake month has them.
void monthlyLitres(Query& query, const QString& code, const QDate& from, const QDate& to);
// The newest changes of a period, for a whole code or a part of a name.
void changes(Query& query, const QDate& first, const QDate& last, const QString& wanted, int most);

// What a person gets adding up a column as the list shows it, each figure
// rounded to its two decimals; none when the list has no figure there.
std::optional<Money> shownSum(const Query& rows, const QString& field);

}  // namespace lists
