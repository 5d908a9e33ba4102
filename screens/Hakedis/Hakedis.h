#pragma once

#include "common/Field.h"
#include "common/TextTable.h"
#include "ledger/Settlement.h"
#include "screens/Form.h"

#include <utility>

// What the window shows of a settlement on paper: the slips and the
// payout list, previewed before they are printed.
class SettlementPreview {
public:
    virtual ~SettlementPreview() = default;
    virtual void previewSlips(const Settlement& settlement, bool twoPerA4) = 0;
    virtual void previewPayouts(const Settlement& settlement, const PayoutList& payouts) = 0;
};

// The settlement of a period: each producer's milk money, deductions, net,
// brought forward, payments and amount to pay; posted, taken back, paid.
class THakedisF : public TForm {
public:
    THakedisF(Ledger& ledger, Settlements& settlements, Dialogs& dialogs);

    DateField IlkTarihDate;
    DateField SonTarihDate;
    // The settlement's lines and their total line last; the current row (-1: none).
    Field<TextTable> HakedisGrid;
    Field<int> HakedisRow{-1};
    // "Kaydedilmemiş", "Kaydedildi: …", or the period it overlaps.
    TextField DurumLabel;
    // The selected producer's rounding difference; empty when there is none.
    TextField YuvarlamaLabel;
    CheckField IkiPusulaCheck;

    // The quick choices, in the month of the first day.
    enum class Quick { WholeMonth, FirstHalf, SecondHalf };
    static std::pair<QDate, QDate> quickPeriod(Quick quick, const QDate& inMonth);
    void quickClick(Quick quick);

    void openFromMenu();
    // A day the collector changed: what is shown is no longer the period's.
    void dateChange();
    void HesaplaClick();
    void KaydetClick();
    void GeriAlClick();
    void PusulaClick();
    void TumPusulalarClick();
    void OdemeListesiClick();
    void OdemeCsvClick();
    void HakedisCsvClick();
    void OdemeExcelClick();
    void HakedisExcelClick();
    void OdendiClick();
    void rowChange();

    const Settlement& settlement() const { return settlement_; }
    bool computed() const { return computed_; }
    void attachPreview(SettlementPreview* preview) { preview_ = preview; }

private:
    // The shown period computed anew; false (with the reason said) when the days do not make one.
    bool compute();
    bool ensureComputed() { return computed_ || compute(); }
    const SettlementLine* selectedLine() const;
    // The payout list, after naming those the bank list leaves out.
    PayoutList namedPayouts();
    void showStatus();

    Settlements& settlements_;
    Settlement settlement_;
    bool computed_ = false;
    SettlementPreview* preview_ = nullptr;
};
