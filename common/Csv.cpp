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
    // Every figure of a grid shows two decimals.
    if (format.kind != CellFormat::Kind::Number || value.isNull()) return cellText(format, value);
    return formatFloat(kPlainPattern, value.toDouble());
}

QString listCsv(const Query& rows, const std::vector<GridColumn>& columns)
{
    QStringList titles;
    for (const GridColumn& column : columns) titles << column.title;
    QString csv = csvLine(titles);
    for (int row = 0; row < rows.recordCount(); ++row) {
        QStringList cells;
        for (const GridColumn& column : columns) cells << csvCell(column.format, rows.valueAt(row, column.field));
        csv += csvLine(cells);
    }
    return csv;
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
