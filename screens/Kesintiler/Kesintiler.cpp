#include "screens/Kesintiler/Kesintiler.h"

#include "common/Conversions.h"
#include "common/EntryKeys.h"
#include "common/MonthPeriod.h"

#include <algorithm>

const QStringList TKesintilerF::kOfferedNames = {
    QStringLiteral("Gelir Vergisi Stopajı"),
    QStringLiteral("SGK (Bağ-Kur) Prim Kesintisi"),
    QStringLiteral("Borsa Tescil Ücreti"),
};

namespace {

const QString kNewLine = QStringLiteral("Yeni satır");

}  // namespace

TKesintilerF::TKesintilerF(Ledger& ledger, Settlements& settlements, Dialogs& dialogs)
    : TForm(ledger, dialogs), settlements_(settlements)
{
    whenChanged(&LedgerEvents::settlementsChanged, [this] {
        if (acting() || window().isVisible()) Yenile();
    });
    showLine(Deduction{});
}

QString TKesintilerF::rateText(const std::optional<double>& oran)
{
    // The settlement's own rounding of a rate, without its "%".
    return oran ? DeductionRate::of(QString(), *oran).text().mid(1) : QString();
}

void TKesintilerF::openFromMenu()
{
    bringUp();
    Yenile();
    focusOn(QStringLiteral("AdiCombo"));
}

void TKesintilerF::Yenile()
{
    lines_ = settlements_.deductions();
    TextTable table;
    table.titles = {QStringLiteral("Adı"), QStringLiteral("Oran (%)"), QStringLiteral("Başlangıç")};
    table.figureColumns = {1};
    int current = -1;
    for (const Deduction& line : lines_) {
        if (line.ksid == duzeltilen_) current = static_cast<int>(table.rows.size());
        table.rows.push_back({line.adi, rateText(line.oran), line.baslangic.isValid() ? shortDate(line.baslangic) : QString()});
    }
    KesintiList.set(table);
    KesintiRow.set(current);
    // A line deleted meanwhile is no longer there to correct.
    if (duzeltilen_ > 0 && current < 0) YeniClick();
}

void TKesintilerF::showLine(const Deduction& line)
{
    duzeltilen_ = line.ksid;
    AdiCombo.setText(line.adi);
    if (line.oran)
        OranEdit.show(*line.oran);
    else
        OranEdit.clear();
    // The picker always holds a day, and a save stores the day it shows: a
    // new rate holds from the month's first as a rule, and so does a line
    // kept without a day once it is corrected.
    BaslangicDate.setDate(line.baslangic.isValid() ? line.baslangic : monthPeriod(QDate::currentDate()).first);
    DurumLabel.setText(line.ksid > 0 ? QStringLiteral("Düzeltiliyor: ") + line.adi : kNewLine);
}

void TKesintilerF::KesintiListEnter()
{
    const int row = KesintiRow.get();
    if (row < 0 || row >= static_cast<int>(lines_.size())) return;
    showLine(lines_[static_cast<size_t>(row)]);
    focusOn(QStringLiteral("OranEdit"));
}

void TKesintilerF::KesintiListDelete()
{
    const int row = KesintiRow.get();
    if (row < 0 || row >= static_cast<int>(lines_.size())) return;
    showLine(lines_[static_cast<size_t>(row)]);
    SilClick();
}

void TKesintilerF::YeniClick()
{
    showLine(Deduction{});
    focusOn(QStringLiteral("AdiCombo"));
}

void TKesintilerF::KaydetClick()
{
    Deduction line;
    line.ksid = duzeltilen_;
    line.adi = AdiCombo.text().simplified();
    // A typed rate is taken to the four decimals its box shows; an untouched one as stored.
    if (!OranEdit.text().trimmed().isEmpty())
        line.oran = OranEdit.typed() ? parseDecimal(amountTextOnLeave(OranEdit.text(), 4)) : OranEdit.value();
    line.baslangic = BaslangicDate.date();
    switch (Settlements::checkDeduction(line)) {
    case Settlements::DeductionCheck::NoName:
        dialogs_.message(QStringLiteral("Kesintinin adını yazın."));
        focusOn(QStringLiteral("AdiCombo"));
        return;
    case Settlements::DeductionCheck::BadRate:
        dialogs_.message(QStringLiteral("Oran 0 ile 100 arasında olmalı (%100 olamaz)."));
        focusOn(QStringLiteral("OranEdit"));
        return;
    case Settlements::DeductionCheck::NoStartDay:
        dialogs_.message(QStringLiteral("Oranın geçerli olduğu başlangıç gününü girin."));
        focusOn(QStringLiteral("BaslangicDate"));
        return;
    case Settlements::DeductionCheck::Ok:
        break;
    }
    {
        Acting acting(*this);
        settlements_.saveDeduction(line);
    }
    YeniClick();
}

void TKesintilerF::SilClick()
{
    if (duzeltilen_ == 0) {
        // Nothing loaded: the list's current row is what the collector means.
        const int row = KesintiRow.get();
        if (row < 0 || row >= static_cast<int>(lines_.size())) {
            dialogs_.message(QStringLiteral("Silmek için listeden bir satır seçin."));
            return;
        }
        showLine(lines_[static_cast<size_t>(row)]);
    }
    // Named as stored, whatever the panel holds typed over it.
    const auto stored = std::find_if(lines_.begin(), lines_.end(), [this](const Deduction& d) { return d.ksid == duzeltilen_; });
    if (stored == lines_.end()) return;
    const QString rate = rateText(stored->oran);
    const QString what = stored->adi + (rate.isEmpty() ? QString() : QStringLiteral(" %") + rate) +
                         (stored->baslangic.isValid() ? QStringLiteral(", başlangıç ") + shortDate(stored->baslangic) : QString());
    if (!dialogs_.confirmDefaultNo(what + QStringLiteral(" satırı silinsin mi?\nKaydedilmiş hakedişler etkilenmez."))) return;
    {
        Acting acting(*this);
        sonSilme = settlements_.deleteDeduction(duzeltilen_);
    }
    YeniClick();
}
