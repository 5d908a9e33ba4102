#pragma once

#include "common/GridColumns.h"
#include "common/Sheet.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

class Query;

// What the program writes for a spreadsheet: UTF-8, ";" between fields,
// figures with the decimal separator and no thousand marks, days dd.MM.yyyy.

// One line: fields between ";", quoted where they hold a ";", a quote or a
// line break; a text a spreadsheet would run as a formula (starting with
// "=", "+", "-", "@", a tab or a carriage return) gets a leading apostrophe.
QString csvLine(const QStringList& fields);
// A value as a spreadsheet reads it: a figure with its two decimals and
// no thousand marks, so it stays a number; anything else as its column
// shows it.
QString csvCell(const CellFormat& format, const QVariant& value);
// A list's cell for a file: a figure as a number, a day as a day, anything
// else as text the way its column shows it.
SheetCell listCell(const CellFormat& format, const QVariant& value);
// A list as its grid shows it: the column titles, then each row.
Sheet listSheet(const Query& rows, const std::vector<GridColumn>& columns, const QString& name = {});
QString listCsv(const Query& rows, const std::vector<GridColumn>& columns);

// A text made fit for a file name: path separators, wildcards, quotes and
// control characters become "_".
QString safeFileName(const QString& text);
// "SutAlim-Gun-09.12.2026.csv": the parts joined by "-", fit for a file name.
QString csvFileName(const QStringList& parts);
// A month in a file name, 2026-11, so the files sort by it.
QString fileNameMonth(const QDate& day);

// Writes the text whole in UTF-8, or leaves the file as it was; a failure
// throws with a Turkish text naming the file.
void writeTextFile(const QString& path, const QString& text);
// The Turkish line for a file left unwritten, and why.
QString fileNotWritten(const QString& path, const QString& why);
