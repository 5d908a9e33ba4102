#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "common/Money.h"
#include "screens/Forms.h"
#include "store/Query.h"
#include "store/TableCursor.h"

#include <QStringList>
#include <optional>

// What the entry screens take from an account.
struct Account {
    QString kodu;
    QString adi;
    double birimFiyati = 0;
};
// The account on a list's current row.
Account accountAt(const Query& accounts);

// The producer account screen: adds, corrects, deletes and lists the
// accounts, and hands a picked account to the intake or payment screen.
class TcariF : public TForm {
public:
    explicit TcariF(Forms& forms);

    // Tags a caller leaves in pickCaller while it waits for a pick.
    static inline const QString kPickForIntake = QStringLiteral("SutAlim");
    static inline const QString kPickForPayment = QStringLiteral("Verilenler");
    // What the two collection-time lists offer.
    static const QStringList kCollectionTimes;

    TextField KoduEdit;
    TextField AdiEdit;
    TextField AciklamaEdit;
    TextField mevkiiEdit;
    TextField BirimFiyatEdit;
    TextField koyEdit;
    // The telephone box's display text, "(123)456-78-90"; empty when cleared.
    TextField TelefonMaskEdit;
    TextField KisCombo;
    TextField YazCombo;
    // CID of the account loaded for correction; empty for a new account.
    TextField kayitnoEdit;

    Query CariTanimQuery;
    TableCursor CariTable;
    // What the account grid shows.
    static const std::vector<GridColumn> kColumns;

    // Who waits for a pick: kPickForIntake, kPickForPayment or empty.
    QString pickCaller;

    void KaydetButClick();
    void Dzelt1Click();
    void KaydSil1Click();
    void Bosalt();
    void YeniButtonClick() { Bosalt(); }
    void CariGridDblClick();
    // "CSV Olarak Kaydet…" of the account list, named after the day it is saved.
    void CariCsvClick();

    // The openers' steps of a pick: bring the screen up, leave the caller's
    // tag, open the list if it is closed.
    void openForPick(const QString& caller);
    // The menu's opening: the same, but for maintenance only.
    void openForMaintenance();

    // The entry screens' code check: the account of this screen's list
    // whose code is the whole text. The list is opened if it is closed, so
    // an account added since shows only after the list is re-read.
    std::optional<Account> findCode(const QString& code);

    // The entry screens' check before a save: the code is an account's and
    // the name that account's own, letter for letter. A refusal shows the
    // calling screen's message and returns false.
    struct EntryMessages {
        QString noCode;
        QString unknownCode;
        QString nameMismatch;
    };
    bool checkEntry(const QString& code, const QString& name, const EntryMessages& messages);

    // A code's ledger rows: how many, and what they leave owed.
    struct Ledger {
        int rows = 0;
        Money balance;
    };
    Ledger ledgerOf(const QString& code);
    // Another account than the one with this CID (0: any) has the code.
    bool codeUsedByAnother(const QString& code, int cid);

    static QString deleteQuestion(const QString& name, const QString& code, const Ledger& ledger);
    static QString balanceRefusal(const QString& name, const QString& code, const Money& balance);
};
