#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "common/Money.h"
#include "ledger/Draft.h"
#include "screens/Form.h"
#include "store/Query.h"

#include <QStringList>
#include <functional>

// The producer account screen: adds, corrects, deletes and lists the
// accounts, and hands a picked account to the intake or payment screen.
class TcariF : public TForm {
public:
    TcariF(Ledger& ledger, Dialogs& dialogs);

    // What the two collection-time lists offer.
    static const QStringList kCollectionTimes;

    TextField KoduEdit;
    TextField AdiEdit;
    TextField AciklamaEdit;
    TextField mevkiiEdit;
    FigureField BirimFiyatEdit;
    TextField koyEdit;
    // The telephone box's display text, "(123)456-78-90"; empty when cleared.
    TextField TelefonMaskEdit;
    TextField KisCombo;
    TextField YazCombo;
    // As typed; shown grouped in fours once it is left right.
    TextField IBANEdit;
    // The account loaded for correction; none for a new account.
    RowKeyField correcting;

    Query CariTanimQuery;
    // What the account grid shows.
    static const std::vector<GridColumn> kColumns;

    // Who waits for a pick, given the picked account; empty for nobody.
    std::function<void(const Account&)> pickCaller;

    void KaydetButClick();
    // A wrong IBAN is refused with the reason and the keyboard stays in
    // its box; a right one is shown grouped.
    void IBANEditExit();
    // A code typed into an empty panel that names an account loads it for correction.
    void KoduEditExit();
    void Dzelt1Click();
    void KaydSil1Click();
    // A save or deletion refused because the account changed elsewhere:
    // said, and the account put in the boxes again as it is now.
    void showChangedRow(const RowChanged& changed, qint64 cid);
    void Bosalt();
    void YeniButtonClick() { Bosalt(); }
    void CariGridDblClick();
    // "CSV Olarak Kaydet…" of the account list, named after the day it is saved.
    void CariCsvClick();
    void CariXlsxClick();

    // The openers' steps of a pick: bring the screen up, leave the caller's
    // handler, open the list if it is closed.
    void openForPick(std::function<void(const Account&)> caller);
    // The menu's opening: the same, but for maintenance only.
    void openForMaintenance();

    static QString deleteQuestion(const QString& name, const QString& code, const CodeLedger& ledger);
    static QString balanceRefusal(const QString& name, const QString& code, const Money& balance);

protected:
    void saveEntry() override { KaydetButClick(); }
    void dropEntry() override
    {
        Bosalt();
        focusOn(QStringLiteral("KoduEdit"));
    }
};
