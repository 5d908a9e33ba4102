#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "screens/Forms.h"
#include "store/Query.h"
#include "store/TableCursor.h"

struct Account;

// What the intake and payment screens share: the producer list with its
// name search and pick, and the entry panel's code, name and record number,
// whose correction mode the panel names.
class TEntryForm : public TForm {
public:
    explicit TEntryForm(Forms& forms);

    DateField tarihDate;
    TextField KoduEdit;
    TextField AdiEdit;
    TextField AciklamaEdit;
    // SGID of the row a save corrects; empty for a new entry.
    TextField kayitnoEdit;
    // "Düzeltme: 12.11.2026 · 101 Ahmet Yılmaz" while kayitnoEdit holds a
    // row, so the collector sees that the next save overwrites it.
    TextField DuzeltmeLabel;

    // Producer strip
    TextField SutcuAraEdit;
    // The screen's own account list, shown by its producer list.
    Query CariTanimQuery;
    TableCursor SutGirisiTable;
    static const std::vector<GridColumn> kAccountColumns;

    void CariGridDblClick();
    void BulButClick();
    // Escape gives a correction up: the panel is as after "Yeni".
    void EscapeKeyPress();

    // A new entry whose amounts are all empty is stored only when meant:
    // one Enter too many after a save would store the next producer with
    // nothing. "Hayır" is the default.
    bool emptyEntryMeant(const QString& what);

    virtual void Bosalt() = 0;
    // An account picked on the account screen or in the own list.
    virtual void takePick(const Account& account) = 0;

private:
    void showCorrectionMode();
};
