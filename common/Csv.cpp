#include "common/Csv.h"

#include "store/Query.h"

#include <QSaveFile>
#include <stdexcept>

QString csvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw std::runtime_error((QStringLiteral("Dosya yazılamadı: ") + path + QStringLiteral(" (") + file.errorString() +
                                  QLatin1Char(')'))
                                     .toStdString());
}
