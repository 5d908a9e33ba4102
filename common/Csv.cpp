#include "common/Csv.h"

#include "store/NewFile.h"
#include "store/Query.h"

#include <QIODevice>
#include <QRegularExpression>
#include <stdexcept>

namespace {

// A spreadsheet runs a cell that starts with one of these as a formula; a
// leading apostrophe makes it text. A figure is left as it is: "-12,50" is
// read as the number it is, and runs nothing.
QString spreadsheetSafe(const QString& field)
{
    static const QRegularExpression figure(QStringLiteral("^-?[0-9]+([.,][0-9]+)?$"));
    if (field.isEmpty() || !QStringLiteral("=+-@\t\r").contains(field.front()) || figure.match(field).hasMatch()) return field;
    return QLatin1Char('\'') + field;
}

}  // namespace

QString csvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& cell : fields) {
        const QString field = spreadsheetSafe(cell);
        const bool quote = field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('"')) ||
                           field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
        quoted << (quote ? QLatin1Char('"') + QString(field).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"')
                         : field);
    }
    return quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

QString csvCell(const CellFormat& format, const QVariant& value)
{
    return listCell(format, value).plain();
}

SheetCell listCell(const CellFormat& format, const QVariant& value)
{
    if (value.isNull()) return SheetCell::textOf(cellText(format, value));
    if (format.kind == CellFormat::Kind::Number) return SheetCell::number(value.toDouble());
    const QString text = cellText(format, value);
    if (format.kind == CellFormat::Kind::ShortDate) {
        // Only a day that reads back as the very text shown becomes a day.
        const SheetCell day = SheetCell::date(QDate::fromString(text, QStringLiteral("dd.MM.yyyy")));
        if (day.kind == SheetCell::Kind::Date && day.plain() == text) return day;
    }
    return SheetCell::textOf(text);
}

Sheet listSheet(const Query& rows, const std::vector<GridColumn>& columns, const QString& name)
{
    Sheet sheet;
    sheet.name = name;
    for (const GridColumn& column : columns) sheet.titles << column.title;
    for (int row = 0; row < rows.recordCount(); ++row) {
        std::vector<SheetCell> cells;
        for (const GridColumn& column : columns) cells.push_back(listCell(column.format, rows.valueAt(row, column.field)));
        sheet.add(std::move(cells));
    }
    return sheet;
}

QString listCsv(const Query& rows, const std::vector<GridColumn>& columns)
{
    return sheetCsv(listSheet(rows, columns));
}

QString safeFileName(const QString& text)
{
    QString safe = text;
    for (QChar& c : safe)
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    // A leading dot would hide the file.
    if (safe.startsWith(QLatin1Char('.'))) safe[0] = QLatin1Char('_');
    return safe;
}

QString csvFileName(const QStringList& parts)
{
    return safeFileName(parts.join(QLatin1Char('-')) + QStringLiteral(".csv"));
}

QString fileNameMonth(const QDate& day)
{
    return day.toString(QStringLiteral("yyyy-MM"));
}

void writeTextFile(const QString& path, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const QString why = replaceWhole(path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
    if (!why.isEmpty()) throw std::runtime_error(fileNotWritten(path, why).toStdString());
}

QString fileNotWritten(const QString& path, const QString& why)
{
    return QStringLiteral("Dosya yazılamadı: %1 (%2). Önceki dosya varsa olduğu gibi duruyor.").arg(path, why);
}
