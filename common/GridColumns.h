#pragma once

#include "common/Conversions.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Query;

// How a grid cell or a total box shows a stored value.
struct CellFormat {
    enum class Kind { Text, Number, GeneralNumber, ShortDate, Phone, Iban };
    Kind kind = Kind::Text;
    NumberPattern pattern = kAmountPattern;
};
inline constexpr CellFormat kAsText{};
// Figures with their leading digit: "0,00", "0,90".
inline constexpr CellFormat kAsAmount{CellFormat::Kind::Number, kAmountPattern};
inline constexpr CellFormat kAsGeneralNumber{CellFormat::Kind::GeneralNumber};
inline constexpr CellFormat kAsShortDate{CellFormat::Kind::ShortDate};
inline constexpr CellFormat kAsPhone{CellFormat::Kind::Phone};
inline constexpr CellFormat kAsIban{CellFormat::Kind::Iban};

// The text a value shows as; an empty value shows as empty text.
QString cellText(const CellFormat& format, const QVariant& value);

// One column of a grid over a query's rows.
struct GridColumn {
    QString field;
    QString title;
    int width = 0;  // 0: the grid's default width
    CellFormat format = kAsText;
};

// A labelled box showing one field of a query's current row; a total of
// nothing shows as 0,00.
struct TotalBox {
    QString title;
    QString field;
    CellFormat format = kAsAmount;
};

// Tells the query which fields are shown from it, so that opening it
// fails on a missing one before anything is painted.
void showIn(Query& query, const std::vector<GridColumn>& columns);
void showIn(Query& query, const std::vector<TotalBox>& boxes);
