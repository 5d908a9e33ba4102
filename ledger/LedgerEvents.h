#pragma once

#include "store/Schema.h"

#include <QDate>
#include <QObject>

// The one notice board of the ledger: every save, correction, deletion and
// restore says here what it changed, and every open view that shows such a
// row rebuilds itself. No view knows another.
class LedgerEvents : public QObject {
    Q_OBJECT
signals:
    // A row of SutGirisi of that day and kind was added, changed or removed.
    // A day that is not valid: of any day (what another desk saved while
    // the server could not be reached).
    void entriesChanged(const QDate& day, LedgerKind kind);
    void accountsChanged();
    // The factory's row of that day (not valid: of any day).
    void deliveriesChanged(const QDate& day);
    void factoryPriceChanged();
    // A deduction or a settlement's posting or payout.
    void settlementsChanged();
    // A row of the history was written.
    void historyChanged();
};
