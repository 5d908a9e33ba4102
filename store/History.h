#pragma once

#include "store/DatabaseError.h"
#include "store/Schema.h"
#include "store/Transaction.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

class Connection;

// The history of the rows the program corrects and deletes (Degisiklikler).
// A row is kept as JSON text: every field under its name, in the table's
// order; numbers written so that they read back to the same bits.

// The row with that key as JSON text; empty when there is none.
QString rowJson(const Connection& connection, const schema::Table& table, qint64 key);
// The fields of a row kept as JSON text; empty for an empty text.
QVariantMap rowFields(const QString& json);

// Writes one row of the history inside the caller's transaction that makes
// the change itself. An empty text is stored as null. Returns its key.
qint64 recordChange(const Connection& connection, const schema::Table& table, qint64 key, ChangeKind kind,
                    const QString& before, const QString& after, const QDateTime& when = QDateTime::currentDateTime());

// A correction or deletion refused because the row is no longer what the
// desk showed when it was chosen: another desk (or window) changed or
// deleted it since. The text names that change: when, and on a server ledger
// who and from which computer. Nothing was written.
struct RowChanged : DatabaseError {
    explicit RowChanged(const std::string& text) : DatabaseError(kNotEngine, text) {}
};

// The fields of a row as this program showed it when it was chosen for a
// correction or deletion; that change compares them with the row as it is
// inside its transaction, and is refused as RowChanged when one differs.
// Kept until that change is tried.
void rememberShown(const Connection& connection, const schema::Table& table, qint64 key, const QVariantMap& fields);
// Throws RowChanged when a shown field differs from the stored row (given
// as JSON text; empty: the row is gone).
void refuseChangedRow(const Connection& connection, const schema::Table& table, qint64 key, const QVariantMap& shown,
                      const QString& stored);
// A shown row that is no longer there: refused, not written anew.
void refuseIfGone(const Connection& connection, const schema::Table& table, qint64 key);

// One correction or deletion of a row and its row of the history, together
// or not at all: begun before the change, committed after it; an error in
// between rolls both back. A table that is not recorded is changed alone.
class RecordedChange {
public:
    RecordedChange(const Connection& connection, const schema::Table& table, qint64 key);
    // Records the change and commits it. A correction that left every field
    // as it was records nothing. Returns the history row's key, or 0.
    qint64 commit(ChangeKind kind);

private:
    const Connection& connection_;
    const schema::Table& table_;
    qint64 key_;
    std::optional<Transaction> transaction_;
    QString before_;
};

// A row kept in the history, read with every field of its table checked;
// `flaw` says in Turkish what is missing or wrong, and is empty when the row
// can be put back as it stands under `key`.
struct KeptRow {
    QVariantMap fields;
    QString flaw;
};
KeptRow keptRow(const schema::Table& table, const QString& json, qint64 key);

// Asked inside the restore's transaction, with the row's checked fields,
// whether it may come back; false refuses it and nothing is written.
using RestoreCheck = std::function<bool(const schema::Table& table, const QVariantMap& row)>;

// Puts a deleted row back under its own key with every field as it was, and
// records that too, in one transaction. Only a deletion that is still the
// row's last change is brought back; a history row that does not read as a
// whole row of its table (Damaged, with its flaw) or that `check` turns down
// (Refused) changes nothing.
struct Restoration {
    enum class Outcome { Restored, NotADeletion, Superseded, Damaged, Refused };
    Outcome outcome;
    QString table;
    qint64 key = 0;
    QString flaw;
};
Restoration restoreDeleted(const Connection& connection, qint64 changeKey, const RestoreCheck& check = {});
