#pragma once

#include "common/Field.h"
#include "common/TextTable.h"
#include "ledger/Draft.h"
#include "ledger/Settlement.h"
#include "screens/Form.h"

// The deduction lines: a name, a rate in percent and the day it holds
// from. A rate that changes is a new line from its day, so a settlement
// already made keeps the rate it was made with.
class TKesintilerF : public TForm {
public:
    TKesintilerF(Ledger& ledger, Settlements& settlements, Dialogs& dialogs);

    static const QStringList kOfferedNames;
    static inline const QString kHint =
        QStringLiteral("Oran değişince yeni satır girin; eski hakedişler kendi oranını korur.");

    // The list and its current row (-1: none).
    Field<TextTable> KesintiList;
    Field<int> KesintiRow{-1};
    // The panel.
    TextField AdiCombo;
    FigureField OranEdit{kRatePattern};
    DateField BaslangicDate;
    // What the panel holds: a new line, or the one loaded for correction.
    TextField DurumLabel;

    // The line the panel corrects; 0 for a new one.
    qint64 duzeltilen() const { return duzeltilen_; }
    const std::vector<Deduction>& lines() const { return lines_; }

    void openFromMenu();
    // Enter or a double-click on the list: the row into the panel.
    void KesintiListEnter();
    // Delete on the list: its current row, after the question naming it.
    void KesintiListDelete();
    void KaydetClick();
    void YeniClick();
    void SilClick();

    // "2,0000"; empty with no rate.
    static QString rateText(const std::optional<double>& oran);

private:
    void Yenile();
    void showLine(const Deduction& line);

    Settlements& settlements_;
    std::vector<Deduction> lines_;
    qint64 duzeltilen_ = 0;

protected:
    void saveEntry() override { KaydetClick(); }
    void dropEntry() override { YeniClick(); }
};
