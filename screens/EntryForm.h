#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "ledger/Draft.h"
#include "screens/Form.h"
#include "store/Query.h"

#include <functional>

// What the intake and payment screens share: the producer list with its
// name search and pick, and the entry panel's code, name and record number,
// whose correction mode the panel names.
class TEntryForm : public TForm {
public:
    TEntryForm(Ledger& ledger, Dialogs& dialogs);

    DateField tarihDate;
    TextField KoduEdit;
    TextField AdiEdit;
    TextField AciklamaEdit;
    // Set by the menu's first opening; until then a date change refreshes nothing.
    bool openedFromMenu = false;
    // The row a save corrects; none for a new entry.
    RowKeyField correcting;
    // "Düzeltme: 12.11.2026 · 101 Ahmet Yılmaz" while the panel corrects a
    // row, so the collector sees that the next save overwrites it.
    TextField DuzeltmeLabel;

    // The list of the panel's rows: the intake day's, the payment month's.
    Query SutGirisiQuery;

    // Producer strip
    TextField SutcuAraEdit;
    // The screen's own account list, shown by its producer list.
    Query CariTanimQuery;
    static const std::vector<GridColumn> kAccountColumns;

    // Opens the account screen to add or pick a producer; the pick comes
    // back to the given handler.
    std::function<void(std::function<void(const Account&)>)> pickAccount;

    void CariGridDblClick();
    // The list's row into the panel, to be corrected.
    virtual void Dzelt1Click() = 0;
    // The list's row deleted, once the collector said yes to the question naming it.
    void KaydSil1Click();
    // The deletion's question, naming the list's current row.
    virtual QString deleteQuestion() const = 0;
    void BulButClick();
    // Escape gives a correction up: the panel is as after "Yeni".
    void EscapeKeyPress();

    virtual void Bosalt() = 0;
    // The list of rows a correction is chosen from, read again.
    virtual void refreshList() = 0;
    // An account picked on the account screen or in the own list.
    virtual void takePick(const Account& account) = 0;

    // The screen's texts for a code the ledger does not take.
    struct EntryMessages {
        QString noCode;
        QString unknownCode;
        QString nameMismatch;
    };

protected:
    // Says why the panel's code and name cannot be saved; true when they can.
    bool entryAccepted(Ledger::EntryCheck check, const EntryMessages& messages);
    // A new entry whose amounts are all empty is stored only when meant:
    // one Enter too many after a save would store the next producer with
    // nothing. "Hayır" is the default.
    bool emptyEntryMeant(const QString& what);
    // The panel's record number: the row a save corrects, or 0.
    qint64 correctedRow() const { return correcting.get(); }
    // The panel was filled for this account and still names it: going back
    // to its code box keeps what was typed for him.
    bool holdsProducer(const Account& account) const { return loadedCode_ == account.kodu && AdiEdit.text() == account.adi; }
    // The code of the account the panel was last filled from; empty after Bosalt.
    QString loadedCode_;
    // A save or deletion refused because the row changed elsewhere: said,
    // and the row put in the boxes again as it is now (or the boxes emptied
    // when it is gone).
    void showChangedRow(const RowChanged& changed, qint64 key);
    // The list's current row is the one the boxes now correct.
    void rememberChosenRow();
    // The list's current row was written by a settlement posting: said,
    // and it is neither loaded nor deleted.
    bool chosenRowPosted();

private:
    void showCorrectionMode();
};
