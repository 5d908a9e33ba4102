#pragma once

#include "common/Field.h"
#include "common/TextTable.h"
#include "ledger/Draft.h"
#include "ledger/Quality.h"
#include "screens/Form.h"

// The quality price lines: the reference price of milk of a reference fat
// and protein, its premiums and discounts per tenth of a point, the hygiene
// grades' amounts, and the day the line holds from. A price that changes is
// a new line from its day, so milk already taken keeps the price it was
// stored with.
class TKaliteFiyatiF : public TForm {
public:
    TKaliteFiyatiF(Ledger& ledger, Dialogs& dialogs);

    static inline const QString kHint = QStringLiteral(
        "Primler ve kesintiler litre başına, referansın üstündeki ya da altındaki her 0,1 puan içindir. "
        "Fiyat değişince yeni satır girin; alınmış süt kaydedildiği fiyatı korur.");

    Field<TextTable> FiyatList;
    Field<int> FiyatRow{-1};
    DateField BaslangicDate;
    FigureField ReferansFiyatEdit;
    FigureField ReferansYagEdit;
    FigureField ReferansProteinEdit;
    FigureField YagPrimiEdit;
    FigureField YagKesintisiEdit;
    FigureField ProteinPrimiEdit;
    FigureField ProteinKesintisiEdit;
    // "A=0,05; C=-0,30"
    TextField HijyenEdit;
    TextField DurumLabel;

    qint64 duzeltilen() const { return duzeltilen_; }

    void openFromMenu();
    void FiyatListEnter();
    void FiyatListDelete();
    void KaydetClick();
    void YeniClick();
    void SilClick();

private:
    void Yenile();
    void showLine(const QualityLine& line);
    // The line the list's current row shows, loaded into the panel; false
    // when the list stands on none.
    bool loadCurrentRow();
    // A line the check or the save refused: said, and the keyboard sent to
    // the box to mend. False when it was not refused.
    bool refused(QualityPrices::Check check, const QualityLine& line);

    QualityPrices prices_;
    std::vector<QualityLine> lines_;
    qint64 duzeltilen_ = 0;

protected:
    void saveEntry() override { KaydetClick(); }
    void dropEntry() override { YeniClick(); }
};
