#pragma once

#include "common/Platform.h"
#include "common/Field.h"
#include "common/MonthPeriod.h"
#include "common/Conversions.h"
#include "common/Csv.h"
#include "store/Query.h"
#include "store/TableCursor.h"

#include <QStringList>

class Connection;
class TSutAlimF;
class TcariF;
class TVerilenlerF;
class TRaporF;
class TFabrikaF;
class TGecmisF;

// The program-wide references through which the screens reach the
// connection, the message boxes and each other.
struct Forms {
    Connection& sutConnection;
    Dialogs& dialogs;
    TSutAlimF* SutAlimF = nullptr;
    TcariF* cariF = nullptr;
    TVerilenlerF* VerilenlerF = nullptr;
    TRaporF* RaporF = nullptr;
    TFabrikaF* FabrikaF = nullptr;
    TGecmisF* GecmisF = nullptr;
};

// What every working screen has: the references and its window.
class TForm {
public:
    explicit TForm(Forms& forms) : forms_(forms) {}
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm() = default;

    WindowControl& window() { return *window_; }
    // A window takes over from the headless state; nullptr goes back to it.
    void attachWindow(WindowControl* window) { window_ = window ? window : &headless_; }
    HeadlessWindow& headless() { return headless_; }

    // "Kapat": only hides, so every field survives until the next opening.
    void kapatButtonClick() { window().hide(); }

    // The common opening step: a minimised screen comes back maximised, one
    // the user restored to normal size stays normal; then it is shown in front.
    void bringUp()
    {
        if (window().isMinimized()) window().showMaximized();
        window().showAndRaise();
    }

protected:
    // "CSV Olarak Kaydet…" of a list: what its grid shows, into the file the
    // user chooses, offered under the given name in the working folder.
    void saveListAsCsv(const Query& rows, const std::vector<GridColumn>& columns, const QString& fileName)
    {
        const QString path = forms_.dialogs.askCsvPath(fileName);
        if (!path.isEmpty()) writeTextFile(path, listCsv(rows, columns));
    }

    Forms& forms_;

private:
    HeadlessWindow headless_;
    WindowControl* window_ = &headless_;
};

// A list whose SQL never changes is re-read by closing and opening it.
inline void reread(Query& query)
{
    query.close();
    query.open();
}

// Every refresh rebuilds a query this way: close, new SQL text, open.
inline void rebuild(Query& query, const QStringList& lines)
{
    query.close();
    query.SQL = lines;
    query.open();
}

// A month page's caption for the day: the month's name, "-", the year and
// the screen's suffix. Returns the month's name, which the screens keep.
inline QString captionMonthPage(const QDate& day, const QString& suffix, TextField& caption)
{
    caption.setText(monthCaption(day, suffix));
    return monthName(day.month());
}

// The row a save writes: the one whose key the hidden record number holds,
// while it is still there; otherwise a new row, given the day.
inline RowWrite rowForSave(TableCursor& table, const TextField& kayitnoEdit, const QDate& day)
{
    if (!table.isOpen()) table.open();
    const int kayitno = parseInteger(kayitnoEdit.text());
    if (kayitno > 0 && table.locate(table.keyField(), kayitno)) return table.edit();
    RowWrite row = table.append();
    row.setField(QStringLiteral("Tarih"), day);
    return row;
}
