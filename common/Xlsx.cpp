#include "common/Xlsx.h"

#include "common/Csv.h"
#include "store/NewFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kMaxSheetName = 31;
// Text may run on into the empty cell beside it; a figure never may.
constexpr int kWidestTextColumn = 50;
const char* const kDayPattern = "dd.mm.yyyy";

// Characters a column needs to show the cell whole.
int cellWidth(const SheetCell& cell)
{
    if (cell.kind == SheetCell::Kind::Date) return 10;
    return static_cast<int>(cell.shown().size());
}

std::vector<int> columnWidths(const Sheet& sheet)
{
    std::vector<int> widths(static_cast<size_t>(sheet.titles.size()), 0);
    for (qsizetype i = 0; i < sheet.titles.size(); ++i) widths[static_cast<size_t>(i)] = static_cast<int>(sheet.titles[i].size()) + 1;
    for (const SheetRow& row : sheet.rows) {
        if (row.cells.size() > widths.size()) widths.resize(row.cells.size(), 0);
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const SheetCell& cell = row.cells[i];
            const int width = cell.kind == SheetCell::Kind::Text ? std::min(cellWidth(cell), kWidestTextColumn) : cellWidth(cell);
            widths[i] = std::max(widths[i], width + (row.total ? 1 : 0));
        }
    }
    return widths;
}

// The library's own cell writers, each told its format.
class Workbook {
public:
    explicit Workbook(const QByteArray& path, const QByteArray& tmpdir) : tmpdir_(tmpdir)
    {
        lxw_workbook_options options{};
        options.tmpdir = tmpdir_.data();
        book_ = workbook_new_opt(path.constData(), &options);
    }
    ~Workbook()
    {
        // Only closing frees it; what it writes then goes with the temporary folder.
        if (book_) workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* book() const { return book_; }
    lxw_format* format(bool bold, const char* pattern)
    {
        lxw_format* made = workbook_add_format(book_);
        if (bold) format_set_bold(made);
        if (pattern) format_set_num_format(made, pattern);
        return made;
    }
    lxw_error close()
    {
        const lxw_error error = workbook_close(book_);
        book_ = nullptr;
        return error;
    }

private:
    QByteArray tmpdir_;
    lxw_workbook* book_ = nullptr;
};

lxw_error writeCell(lxw_worksheet* page, int row, int column, const SheetCell& cell, lxw_format* text, lxw_format* figure,
                    lxw_format* day)
{
    const auto r = static_cast<lxw_row_t>(row);
    const auto c = static_cast<lxw_col_t>(column);
    switch (cell.kind) {
    case SheetCell::Kind::Text:
        return worksheet_write_string(page, r, c, cell.text.toUtf8().constData(), text);
    case SheetCell::Kind::Number:
        return worksheet_write_number(page, r, c, cell.value(), figure);
    case SheetCell::Kind::Date: {
        lxw_datetime when{cell.day.year(), cell.day.month(), cell.day.day(), 0, 0, 0};
        return worksheet_write_datetime(page, r, c, &when, day);
    }
    case SheetCell::Kind::Empty:
        break;
    }
    return LXW_NO_ERROR;
}

QString failed(lxw_error error)
{
    return QStringLiteral("Excel dosyası hazırlanamadı: ") + QString::fromUtf8(lxw_strerror(error));
}

}  // namespace

QString sheetName(const QString& text)
{
    QString name = text.simplified();
    for (QChar& c : name)
        if (QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control) c = QLatin1Char('_');
    name.truncate(kMaxSheetName);
    if (name.size() == kMaxSheetName && name.back().isHighSurrogate()) name.chop(1);
    while (name.startsWith(QLatin1Char('\''))) name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\''))) name.chop(1);
    return name.trimmed().isEmpty() ? QStringLiteral("Liste") : name.trimmed();
}

QString xlsxFileName(const QStringList& parts)
{
    return safeFileName(parts.join(QLatin1Char('-')) + QStringLiteral(".xlsx"));
}

QString asXlsxFileName(const QString& fileName)
{
    const QFileInfo file(fileName);
    return file.completeBaseName() + QStringLiteral(".xlsx");
}

QByteArray xlsxBytes(const Sheet& sheet, QString* why)
{
    const auto fail = [why](const QString& text) {
        if (why) *why = text;
        return QByteArray();
    };
    QTemporaryDir work;
    if (!work.isValid()) return fail(QStringLiteral("Geçici klasör açılamadı: ") + work.errorString());
    const QString path = work.filePath(QStringLiteral("sheet.xlsx"));
    {
        Workbook book(QFile::encodeName(path), QFile::encodeName(work.path()));
        if (!book.book()) return fail(QStringLiteral("Excel dosyası hazırlanamadı."));
        lxw_worksheet* page = workbook_add_worksheet(book.book(), sheetName(sheet.name).toUtf8().constData());
        if (!page) return fail(QStringLiteral("Excel sayfası açılamadı: ") + sheetName(sheet.name));
        lxw_format* title = book.format(true, nullptr);
        lxw_format* figure = book.format(false, kAmountPattern.text);
        lxw_format* day = book.format(false, kDayPattern);
        lxw_format* totalText = book.format(true, nullptr);
        lxw_format* totalFigure = book.format(true, kAmountPattern.text);
        lxw_format* totalDay = book.format(true, kDayPattern);

        for (qsizetype i = 0; i < sheet.titles.size(); ++i) {
            const lxw_error error = worksheet_write_string(page, 0, static_cast<lxw_col_t>(i), sheet.titles[i].toUtf8().constData(), title);
            if (error != LXW_NO_ERROR) return fail(failed(error));
        }
        worksheet_freeze_panes(page, 1, 0);
        int row = 1;
        for (const SheetRow& line : sheet.rows) {
            for (size_t i = 0; i < line.cells.size(); ++i) {
                const lxw_error error = line.total
                    ? writeCell(page, row, static_cast<int>(i), line.cells[i], totalText, totalFigure, totalDay)
                    : writeCell(page, row, static_cast<int>(i), line.cells[i], nullptr, figure, day);
                if (error != LXW_NO_ERROR) return fail(failed(error));
            }
            ++row;
        }
        const std::vector<int> widths = columnWidths(sheet);
        for (size_t i = 0; i < widths.size(); ++i)
            worksheet_set_column(page, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i), widths[i] + 1.5, nullptr);
        const lxw_error closed = book.close();
        if (closed != LXW_NO_ERROR) return fail(failed(closed));
    }
    QFile made(path);
    if (!made.open(QIODevice::ReadOnly)) return fail(made.errorString());
    return made.readAll();
}

void writeXlsxFile(const QString& path, const Sheet& sheet)
{
    QString why;
    const QByteArray bytes = xlsxBytes(sheet, &why);
    if (bytes.isEmpty()) throw std::runtime_error(fileNotWritten(path, why).toStdString());
    why = replaceWhole(path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
    if (!why.isEmpty()) throw std::runtime_error(fileNotWritten(path, why).toStdString());
}
