#pragma once

#include "common/Sheet.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The .xlsx file of a sheet, for people: the titles bold and frozen, codes
// and names as text, figures as numbers shown "#,##0.00", days as days
// shown dd.mm.yyyy, each column wide enough for its longest figure.

// The workbook's bytes; empty, with why in Turkish, when it could not be made.
QByteArray xlsxBytes(const Sheet& sheet, QString* why = nullptr);
// Writes the workbook whole, or leaves the file as it was; a failure throws
// with a Turkish text naming the file.
void writeXlsxFile(const QString& path, const Sheet& sheet);

// A text fit for a sheet's tab: at most 31 characters, none of []:*?/\,
// no apostrophe at either end, never empty.
QString sheetName(const QString& text);
// "Rapor-01.12.2026-31.12.2026.xlsx": the parts joined by "-", fit for a file name.
QString xlsxFileName(const QStringList& parts);
// The same name with the .xlsx ending instead of its own.
QString asXlsxFileName(const QString& fileName);
