#include "common/GridColumns.h"

#include "common/Iban.h"
#include "common/MonthPeriod.h"
#include "common/PhoneNumber.h"
#include "store/Query.h"
#include "store/Statement.h"

QString cellText(const CellFormat& format, const QVariant& value)
{
    if (value.isNull()) return {};
    switch (format.kind) {
    case CellFormat::Kind::Number:
        return formatFloat(format.pattern, value.toDouble());
    case CellFormat::Kind::GeneralNumber:
        return generalNumber(value.toDouble());
    case CellFormat::Kind::ShortDate: {
        const QDate day = QDate::fromString(value.toString().left(kStoredDateFormat.size()), kStoredDateFormat);
        return day.isValid() ? shortDate(day) : value.toString();
    }
    case CellFormat::Kind::Phone: {
        // No number shows nothing rather than an empty pattern.
        const QString shown = phoneDisplayText(value.toString(), QLatin1Char(' '));
        return phoneValue(shown).trimmed().isEmpty() ? QString() : shown;
    }
    case CellFormat::Kind::Iban:
        return ibanGroups(value.toString());
    case CellFormat::Kind::Text:
        break;
    }
    return value.toString();
}

void showIn(Query& query, const std::vector<GridColumn>& columns)
{
    for (const GridColumn& column : columns) query.shownFields << column.field;
}

void showIn(Query& query, const std::vector<TotalBox>& boxes)
{
    for (const TotalBox& box : boxes) query.shownFields << box.field;
}
