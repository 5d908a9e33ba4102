#include "screens/KaliteFiyati/KaliteFiyati.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"

#include <algorithm>

namespace {

// The hygiene amounts as the collector types them, each to the kuruş like
// the other figures ("C=-0,30"), finer only where it was typed finer, so
// that a correction stores them unchanged.
QString hygieneShown(const QString& stored)
{
    const HygieneAmounts read = hygieneAmounts(stored);
    if (!read.problem.isEmpty()) return stored;
    QStringList parts;
    for (const auto& [grade, amount] : read.byGrade)
        parts << grade + QLatin1Char('=') +
                     (amount == amount.rounded() ? formatFloat(kAmountPattern, amount.toDouble()) : generalNumber(amount.toDouble()));
    return parts.join(QStringLiteral("; "));
}

QString figure(double value)
{
    return formatFloat(kAmountPattern, value);
}

}  // namespace

TKaliteFiyatiF::TKaliteFiyatiF(Ledger& ledger, Dialogs& dialogs) : TForm(ledger, dialogs), prices_(ledger)
{
    whenChanged(&LedgerEvents::settlementsChanged, [this] {
        if (acting() || window().isVisible()) Yenile();
    });
    showLine(QualityLine{});
}

void TKaliteFiyatiF::openFromMenu()
{
    bringUp();
    Yenile();
    focusOn(QStringLiteral("BaslangicDate"));
}

void TKaliteFiyatiF::Yenile()
{
    lines_ = prices_.lines();
    TextTable table;
    table.titles = {QStringLiteral("Başlangıç"),       QStringLiteral("Referans Fiyat"), QStringLiteral("Ref. Yağ %"),
                    QStringLiteral("Ref. Protein %"),  QStringLiteral("Yağ Primi"),      QStringLiteral("Yağ Kesintisi"),
                    QStringLiteral("Protein Primi"),   QStringLiteral("Protein Kesintisi"), QStringLiteral("Hijyen Farkları")};
    table.figureColumns = {1, 2, 3, 4, 5, 6, 7};
    int current = -1;
    for (const QualityLine& line : lines_) {
        if (line.kfid == duzeltilen_) current = static_cast<int>(table.rows.size());
        table.rows.push_back({shortDate(line.baslangic), figure(line.referansFiyat), figure(line.referansYag),
                              figure(line.referansProtein), figure(line.yagPrimi), figure(line.yagKesintisi),
                              figure(line.proteinPrimi), figure(line.proteinKesintisi), hygieneShown(line.hijyenFarklari)});
    }
    FiyatList.set(table);
    FiyatRow.set(current);
    // A line deleted meanwhile is no longer there to correct.
    if (duzeltilen_ > 0 && current < 0) YeniClick();
}

void TKaliteFiyatiF::showLine(const QualityLine& line)
{
    duzeltilen_ = line.kfid;
    BaslangicDate.setDate(line.baslangic.isValid() ? line.baslangic : monthPeriod(QDate::currentDate()).first);
    if (line.kfid > 0) {
        ReferansFiyatEdit.show(line.referansFiyat);
        ReferansYagEdit.show(line.referansYag);
        ReferansProteinEdit.show(line.referansProtein);
        YagPrimiEdit.show(line.yagPrimi);
        YagKesintisiEdit.show(line.yagKesintisi);
        ProteinPrimiEdit.show(line.proteinPrimi);
        ProteinKesintisiEdit.show(line.proteinKesintisi);
    } else {
        for (FigureField* box : {&ReferansFiyatEdit, &ReferansYagEdit, &ReferansProteinEdit, &YagPrimiEdit, &YagKesintisiEdit,
                                 &ProteinPrimiEdit, &ProteinKesintisiEdit})
            box->clear();
    }
    HijyenEdit.setText(hygieneShown(line.hijyenFarklari));
    DurumLabel.setText(line.kfid > 0 ? QStringLiteral("Düzeltiliyor: ") + shortDate(line.baslangic) + QStringLiteral(" satırı")
                                     : QStringLiteral("Yeni satır"));
}

bool TKaliteFiyatiF::loadCurrentRow()
{
    const int row = FiyatRow.get();
    if (row < 0 || row >= static_cast<int>(lines_.size())) return false;
    showLine(lines_[static_cast<size_t>(row)]);
    return true;
}

void TKaliteFiyatiF::FiyatListEnter()
{
    if (loadCurrentRow()) focusOn(QStringLiteral("ReferansFiyatEdit"));
}

void TKaliteFiyatiF::FiyatListDelete()
{
    if (loadCurrentRow()) SilClick();
}

void TKaliteFiyatiF::YeniClick()
{
    showLine(QualityLine{});
    focusOn(QStringLiteral("BaslangicDate"));
}

void TKaliteFiyatiF::KaydetClick()
{
    QualityLine line;
    line.kfid = duzeltilen_;
    line.baslangic = BaslangicDate.date();
    // Each box read before anything is written: one that is no number stops
    // the save with the box named.
    const std::pair<FigureField*, double*> boxes[] = {
        {&ReferansFiyatEdit, &line.referansFiyat}, {&ReferansYagEdit, &line.referansYag},
        {&ReferansProteinEdit, &line.referansProtein}, {&YagPrimiEdit, &line.yagPrimi},
        {&YagKesintisiEdit, &line.yagKesintisi}, {&ProteinPrimiEdit, &line.proteinPrimi},
        {&ProteinKesintisiEdit, &line.proteinKesintisi}};
    for (const auto& [box, value] : boxes) *value = box->value();
    line.hijyenFarklari = HijyenEdit.text();
    if (refused(QualityPrices::check(line), line)) return;
    QualityPrices::Check saved;
    {
        Acting acting(*this);
        saved = prices_.save(line);
    }
    if (refused(saved, line)) return;
    YeniClick();
}

bool TKaliteFiyatiF::refused(QualityPrices::Check check, const QualityLine& line)
{
    using Check = QualityPrices::Check;
    const auto refuse = [this](const QString& text, const char* box) {
        dialogs_.message(text);
        focusOn(QString::fromLatin1(box));
        return true;
    };
    switch (check) {
    case Check::NoStartDay:
        return refuse(QStringLiteral("Fiyatın geçerli olduğu başlangıç gününü girin."), "BaslangicDate");
    case Check::NoPrice:
        return refuse(QStringLiteral("Referans fiyatı girin: referans yağ ve proteindeki sütün litre fiyatı."), "ReferansFiyatEdit");
    case Check::BadReference:
        return refuse(QStringLiteral("Referans yağ 0'dan büyük, en çok 15; referans protein 0'dan büyük, en çok 10 olmalı."),
                      "ReferansYagEdit");
    case Check::BadFigure:
        return refuse(QStringLiteral("Primler ve kesintiler 0 ile 100 arasında olmalı."), "YagPrimiEdit");
    case Check::BadHygiene:
        return refuse(hygieneAmounts(line.hijyenFarklari).problem, "HijyenEdit");
    case Check::SameStartDay:
        return refuse(QStringLiteral("%1 gününden başlayan bir satır var; o satırı listeden seçip düzeltin.").arg(shortDate(line.baslangic)),
                      "BaslangicDate");
    case Check::Ok:
        break;
    }
    return false;
}

void TKaliteFiyatiF::SilClick()
{
    if (duzeltilen_ == 0 && !loadCurrentRow()) {
        dialogs_.message(QStringLiteral("Silmek için listeden bir satır seçin."));
        return;
    }
    const auto stored = std::find_if(lines_.begin(), lines_.end(), [this](const QualityLine& l) { return l.kfid == duzeltilen_; });
    if (stored == lines_.end()) return;
    const QString what = shortDate(stored->baslangic) + QStringLiteral(" başlangıçlı, referans fiyatı ") + figure(stored->referansFiyat);
    if (!dialogs_.confirmDefaultNo(what + QStringLiteral(" satırı silinsin mi?\nKaydedilmiş süt girişlerinin fiyatı değişmez."))) return;
    {
        Acting acting(*this);
        sonSilme = prices_.remove(duzeltilen_);
    }
    YeniClick();
}
