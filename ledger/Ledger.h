#pragma once

#include "ledger/LedgerEvents.h"
#include "ledger/Rows.h"
#include "store/DatabaseError.h"
#include "store/TableCursor.h"

#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

class Connection;

// A correction or deletion of a row a settlement posting wrote: refused.
struct RowPosted : DatabaseError {
    explicit RowPosted(const QString& text) : DatabaseError(kNotEngine, text.toStdString()) {}
};

// The ledger: every lookup and every write the screens and the command line
// make, each write one function that runs its own bound statements (a
// correction or deletion in one transaction with its row of the history),
// and the rules that decide what is stored, kept here once. Every change is
// told on events().
class Ledger {
public:
    explicit Ledger(Connection& connection);
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    Connection& connection() const { return connection_; }
    LedgerEvents& events() { return events_; }

    // Accounts
    std::optional<Account> accountByCode(const QString& code) const;
    std::optional<Account> accountByKey(qint64 cid) const;
    CodeLedger codeLedger(const QString& code) const;
    // Another account than the one with this CID (0: any) has the code.
    bool codeUsedByAnother(const QString& code, qint64 cid) const;

    enum class AccountCheck { Ok, NoCode, CodeTaken, NoName, BadIban };
    // A code names one account only, an account has a name, and an IBAN,
    // when there is one, is stored without blanks and its check digits hold. The
    // account's CID corrects that account while it is there; otherwise a new
    // one is added, with the moment it was made.
    AccountCheck checkAccount(const Account& account) const;
    AccountCheck saveAccount(const Account& account);
    // An account whose rows still owe anything is not deleted: later payments
    // to the code must find it. False when it was refused or is gone.
    bool deleteAccount(qint64 cid, const std::function<void(qint64 change)>& written = {});

    // The row of a table as a window showed it when it was chosen for a
    // correction or deletion: that change is refused (RowChanged) when the
    // row is no longer so, changed or deleted elsewhere since.
    void rememberShown(const schema::Table& table, qint64 key, const QVariantMap& fields);

    // Intake and payment rows
    enum class EntryCheck { Ok, NoCode, UnknownCode, NameMismatch };
    // A row is written only for a code that names an account, under that
    // account's own name, letter for letter.
    EntryCheck checkEntry(const QString& code, const QString& name) const;
    struct Saved {
        EntryCheck check = EntryCheck::Ok;
        qint64 key = 0;
    };
    // Told the key a write gave as soon as it is committed, before any view
    // hears of it: a view that fails to rebuild cannot make the caller lose
    // it (and store the entry again at the next save).
    using Written = std::function<void(qint64 key)>;
    // The price per litre a save stores for each pour of the entry: from the
    // quality table in force on its day for a measured pour (kept as stored
    // by a correction that leaves its figures as they were), the typed one
    // otherwise.
    struct PourPrice {
        double perLitre = 0;
        bool byQuality = false;
    };
    struct IntakePrices {
        PourPrice sabah, aksam;
    };
    IntakePrices intakePrices(const IntakeEntry& entry);
    // The entry's SGID corrects that row while it is there (keeping its day);
    // otherwise a new row is added on the entry's day. The prices it stored
    // are told to `stored` where given (a slip prints them).
    Saved saveIntake(const IntakeEntry& entry, const Written& written = {}, IntakePrices* stored = nullptr);
    Saved savePayment(const PaymentEntry& entry, const Written& written = {});
    std::optional<EntryHead> entryHead(qint64 sgid) const;
    // A producer's intake row of a day, the first one entered: the row his
    // next litres of that day go onto.
    std::optional<IntakeEntry> intakeOn(const QString& code, const QDate& day) const;
    // A producer's litres of the day's month, from its first up to the day.
    double monthLitresUpTo(const QString& code, const QDate& day) const;
    // A figure far from what the producer pours or is paid, which a slip of
    // the keyboard makes (a dot or a zero too many): the question to ask
    // before it is stored, naming the figure; empty when it is usual.
    QString unusualIntake(const IntakeEntry& entry) const;
    QString unusualPayment(const PaymentEntry& entry) const;
    // Written is told the key of the deletion's row of the history; nothing
    // happens when the row is gone.
    void deleteEntry(qint64 sgid, const Written& written = {});
    // The settlement posting a row was written by (its Fiş No), empty for
    // none. Such a row changes only when the posting is taken back: its
    // correction or deletion is refused (RowPosted), naming the posting.
    QString postingOf(qint64 sgid) const;
    static QString postedRefusal(const QString& fisNo);

    // The factory
    DayCollected collectedOn(const QDate& day) const;
    // The day's row is corrected when the delivery names it, otherwise added.
    void saveDelivery(const FactoryDelivery& delivery, const Written& written = {});
    // The default factory price; none until one was saved.
    std::optional<double> factoryPrice() const;
    void saveFactoryPrice(double price);
    // A day's factory row deleted, kept in the history; written is told the
    // history's key. Nothing happens when the row is gone.
    void deleteDelivery(qint64 fib, const Written& written = {});
    // A line of a settlement table (deductions, quality prices) deleted with
    // its history; the key of the history's row, for Ctrl+Z.
    qint64 deleteSettlementLine(const schema::Table& table, qint64 key);

    // "Geri Al": a deleted row back under its own key, as it was, only where
    // a save would have stored it: an account whose code names no other
    // account, a ledger row whose code and name are an account's. A history
    // row that does not read as a whole row (Damaged) is refused too; a
    // refusal changes nothing.
    enum class RestoreOutcome { Restored, NotADeletion, Superseded, Damaged, CodeTaken, NoAccount };
    struct Restore {
        RestoreOutcome outcome = RestoreOutcome::Restored;
        // The row of the history asked for.
        qint64 change = 0;
        // Damaged: what is wrong with that row.
        QString flaw;
        // CodeTaken, NoAccount: the row's code and name, and whose the code
        // is now (empty: nobody's).
        QString kodu;
        QString adi;
        QString holder;
    };
    Restore restore(qint64 change);
    // Why a change was not undone, in Turkish.
    static QString restoreRefusal(const Restore& restore);

private:
    RowWrite rowFor(TableCursor& table, qint64 key, const QDate& day);
    // A ledger row of either kind: the code's check, the write, and the notices.
    // A pour's figures and price as a correction found them stored.
    struct StoredPour {
        PourQuality quality;
        double price = 0;
    };
    PourPrice pourPrice(const IntakeEntry& entry, const PourQuality& pour, const std::optional<StoredPour>& stored);
    Saved writeEntry(qint64 sgid, const QDate& day, const QString& kodu, const QString& adi,
                     const std::function<void(RowWrite&)>& fields, const Written& written);
    void tellEntry(qint64 sgid);
    void refuseIfPosted(qint64 sgid) const;
    std::optional<QDate> deliveryDay(qint64 fib) const;
    bool mayComeBack(const schema::Table& table, const QVariantMap& row, Restore& refusal) const;

    Connection& connection_;
    LedgerEvents events_;
    TableCursor accounts_;
    TableCursor entries_;
    TableCursor deliveries_;
    TableCursor factoryPrice_;
};
