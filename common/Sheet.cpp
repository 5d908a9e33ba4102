#include "common/Sheet.h"

#include "common/Conversions.h"
#include "common/Csv.h"
#include "common/MonthPeriod.h"

SheetCell SheetCell::textOf(const QString& text)
{
    SheetCell cell;
    if (text.isEmpty()) return cell;
    cell.kind = Kind::Text;
    cell.text = text;
    return cell;
}

SheetCell SheetCell::figure(qint64 hundredths)
{
    SheetCell cell;
    cell.kind = Kind::Number;
    cell.hundredths = hundredths;
    cell.pattern = QString::fromLatin1(kAmountPattern.text);
    return cell;
}

SheetCell SheetCell::number(double value)
{
    return figure(shownHundredths(value));
}

SheetCell SheetCell::date(const QDate& day)
{
    SheetCell cell;
    if (!day.isValid()) return cell;
    cell.kind = Kind::Date;
    cell.day = day;
    return cell;
}

QString SheetCell::plain() const
{
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Number:
        return formatHundredths(kPlainPattern, hundredths);
    case Kind::Date:
        return shortDate(day);
    case Kind::Empty:
        break;
    }
    return {};
}

QString SheetCell::shown() const
{
    return kind == Kind::Number ? formatHundredths(kAmountPattern, hundredths) : plain();
}

QString sheetCsv(const Sheet& sheet)
{
    QString csv = csvLine(sheet.titles);
    for (const SheetRow& row : sheet.rows) {
        if (row.total) continue;
        QStringList fields;
        for (const SheetCell& cell : row.cells) fields << cell.plain();
        csv += csvLine(fields);
    }
    return csv;
}
