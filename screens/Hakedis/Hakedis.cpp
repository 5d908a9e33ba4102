#include "screens/Hakedis/Hakedis.h"

#include "common/Csv.h"
#include "common/MonthPeriod.h"
#include "ledger/Statements.h"

#include <QDateTime>

THakedisF::THakedisF(Ledger& ledger, Settlements& settlements, Dialogs& dialogs)
    : TForm(ledger, dialogs), settlements_(settlements)
{
    const auto period = quickPeriod(Quick::WholeMonth, QDate::currentDate());
    IlkTarihDate.setDate(period.first);
    SonTarihDate.setDate(period.second);
    DurumLabel.setText(QStringLiteral("Hesaplanmadı"));
    // A change anywhere up to the last day moves the figures: the balance
    // brought forward counts every earlier day. The screen's own posting,
    // undoing and paying compute once when done, not at each notice.
    const auto recompute = [this] {
        if (computed_ && !acting() && window().isVisible()) compute();
    };
    whenChanged(&LedgerEvents::settlementsChanged, recompute);
    whenChanged(&LedgerEvents::entriesChanged, [this, recompute](const QDate& day, LedgerKind) {
        if (day <= settlement_.son) recompute();
    });
    whenChanged(&LedgerEvents::accountsChanged, recompute);
    HakedisRow.onChange([this](int) { rowChange(); });
}

std::pair<QDate, QDate> THakedisF::quickPeriod(Quick quick, const QDate& inMonth)
{
    const MonthPeriod month = monthPeriod(inMonth);
    const QDate fifteenth(month.first.year(), month.first.month(), 15);
    switch (quick) {
    case Quick::FirstHalf:
        return {month.first, fifteenth};
    case Quick::SecondHalf:
        return {fifteenth.addDays(1), month.last};
    case Quick::WholeMonth:
        break;
    }
    return {month.first, month.last};
}

void THakedisF::quickClick(Quick quick)
{
    const QDate day = IlkTarihDate.date().isValid() ? IlkTarihDate.date() : QDate::currentDate();
    const auto period = quickPeriod(quick, day);
    IlkTarihDate.setDate(period.first);
    SonTarihDate.setDate(period.second);
    HesaplaClick();
}

void THakedisF::openFromMenu()
{
    bringUp();
    if (computed_) compute();
    focusOn(QStringLiteral("IlkTarihDate"));
}

void THakedisF::dateChange()
{
    if (!computed_) return;
    computed_ = false;
    HakedisGrid.set(TextTable{});
    HakedisRow.set(-1);
    YuvarlamaLabel.clear();
    DurumLabel.setText(QStringLiteral("Dönem değişti: Hesapla'ya basın."));
}

void THakedisF::HesaplaClick()
{
    // The figures computed are read next, a producer at a time.
    if (compute() && !settlement_.lines.empty()) focusOn(QStringLiteral("HakedisGrid"));
}

bool THakedisF::compute()
{
    const QDate ilk = IlkTarihDate.date();
    const QDate son = SonTarihDate.date();
    if (!ilk.isValid() || !son.isValid()) {
        dialogs_.message(QStringLiteral("İlk ve son tarihi girin."));
        return false;
    }
    if (ilk > son) {
        dialogs_.message(QStringLiteral("İlk tarih son tarihten sonra olamaz."));
        return false;
    }
    // The same producer stays selected across a recompute.
    const SettlementLine* before = selectedLine();
    const QString kodu = before ? before->kodu : QString();
    overStoredFigures([&] { settlement_ = settlements_.compute(ilk, son); });
    computed_ = true;

    TextTable table;
    table.titles = settlement_.columnTitles();
    for (int column = Settlement::Litre; column < table.titles.size() - 1; ++column) table.figureColumns.push_back(column);
    int row = -1;
    for (const SettlementLine& line : settlement_.lines) {
        if (line.kodu == kodu) row = static_cast<int>(table.rows.size());
        table.rows.push_back(settlement_.cells(line));
    }
    if (!settlement_.lines.empty()) {
        table.boldRow = static_cast<int>(table.rows.size());
        table.rows.push_back(settlement_.cells(settlement_.total()));
    }
    HakedisGrid.set(table);
    HakedisRow.set(row);
    rowChange();
    showStatus();
    return true;
}

void THakedisF::showStatus()
{
    QString text;
    if (const auto& posted = settlement_.posting) {
        text = QStringLiteral("Kaydedildi: ") + posted->zaman.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        if (posted->odemeTarihi.isValid()) text += QStringLiteral(" · Ödendi: ") + shortDate(posted->odemeTarihi);
    } else {
        text = QStringLiteral("Kaydedilmemiş");
        if (const auto& other = settlement_.overlapping)
            text += QStringLiteral(" · ") + other->periodText() + QStringLiteral(" dönemiyle çakışıyor");
    }
    if (settlement_.lines.empty()) text += QStringLiteral(" · Bu dönemde süt alımı yok");
    DurumLabel.setText(text);
}

const SettlementLine* THakedisF::selectedLine() const
{
    const int row = HakedisRow.get();
    if (!computed_ || row < 0 || row >= static_cast<int>(settlement_.lines.size())) return nullptr;
    return &settlement_.lines[static_cast<size_t>(row)];
}

void THakedisF::rowChange()
{
    const SettlementLine* line = selectedLine();
    if (!line || line->yuvarlamaFarki().isZero()) {
        YuvarlamaLabel.clear();
        return;
    }
    YuvarlamaLabel.setText(line->adi + QStringLiteral(": ") + AccountStatement::kRoundingNote + QStringLiteral(": ") +
                           line->yuvarlamaFarki().text() + QStringLiteral(" (defterdeki bakiye ") +
                           line->defterBakiyesi.text() + QStringLiteral(")"));
}

void THakedisF::KaydetClick()
{
    if (!ensureComputed()) return;
    if (settlement_.posting) {
        dialogs_.message(settlement_.periodText() + QStringLiteral(" hakedişi zaten kaydedilmiş."));
        return;
    }
    if (settlement_.overlapping) {
        dialogs_.message(Settlements::overlapRefusal(*settlement_.overlapping));
        return;
    }
    if (settlement_.lines.empty()) {
        dialogs_.message(QStringLiteral("Bu dönemde süt alımı yok; kaydedilecek hakediş yok."));
        return;
    }
    if (!dialogs_.confirmDefaultNo(settlement_.periodText() + QStringLiteral(" hakedişi kaydedilsin mi?\n") +
                                   QStringLiteral("Kesintiler %1 günü her üreticinin hesabına yazılır.").arg(shortDate(settlement_.son))))
        return;
    Settlements::Post post;
    {
        Acting acting(*this);
        post = settlements_.post(settlement_.ilk, settlement_.son);
    }
    switch (post.outcome) {
    case Settlements::PostOutcome::Overlaps:
        dialogs_.message(Settlements::overlapRefusal(*post.overlapping));
        break;
    case Settlements::PostOutcome::Nothing:
        dialogs_.message(QStringLiteral("Bu dönemde süt alımı yok; kaydedilecek hakediş yok."));
        break;
    case Settlements::PostOutcome::Posted:
        break;
    }
    compute();
}

void THakedisF::GeriAlClick()
{
    if (!ensureComputed()) return;
    if (!settlement_.posting) {
        dialogs_.message(QStringLiteral("Bu dönem için kaydedilmiş hakediş yok."));
        return;
    }
    QString question = settlement_.periodText() + QStringLiteral(" hakedişi geri alınsın mı?\nKesinti kayıtları silinir");
    if (settlement_.posting->odemeTarihi.isValid())
        question += QStringLiteral(", %1 günü yazılan ödemeler de").arg(shortDate(settlement_.posting->odemeTarihi));
    question += QStringLiteral("; silinenler değişiklik geçmişinde kalır.");
    if (!dialogs_.confirmDefaultNo(question)) return;
    {
        Acting acting(*this);
        if (!settlements_.undo(settlement_.posting->hkid))
            dialogs_.message(QStringLiteral("Bu hakediş artık kayıtlı değil."));
    }
    compute();
}

void THakedisF::PusulaClick()
{
    if (!ensureComputed()) return;
    const SettlementLine* line = selectedLine();
    if (!line) {
        dialogs_.message(QStringLiteral("Pusula için listeden bir üretici seçin."));
        return;
    }
    Settlement one = settlement_;
    one.lines = {*line};
    if (preview_) preview_->previewSlips(one, IkiPusulaCheck.checked());
}

void THakedisF::TumPusulalarClick()
{
    if (!ensureComputed()) return;
    if (settlement_.lines.empty()) {
        dialogs_.message(QStringLiteral("Bu dönemde süt alımı yok."));
        return;
    }
    if (preview_) preview_->previewSlips(settlement_, IkiPusulaCheck.checked());
}

PayoutList THakedisF::namedPayouts()
{
    PayoutList payouts = payoutList(settlement_);
    // Never left out silently.
    if (!payouts.withoutIban.empty()) dialogs_.message(payouts.withoutIbanLine());
    return payouts;
}

void THakedisF::OdemeListesiClick()
{
    if (!ensureComputed()) return;
    const PayoutList payouts = namedPayouts();
    if (payouts.bank.empty() && payouts.withoutIban.empty()) {
        dialogs_.message(QStringLiteral("Bu dönemde kimseye ödenecek tutar yok."));
        return;
    }
    if (preview_) preview_->previewPayouts(settlement_, payouts);
}

void THakedisF::OdemeCsvClick()
{
    if (!ensureComputed()) return;
    const PayoutList payouts = namedPayouts();
    saveCsv([&payouts] { return payouts.csv(); }, settlement_.fileName(QStringLiteral("Odeme-Listesi")) + QStringLiteral(".csv"));
}

void THakedisF::HakedisCsvClick()
{
    if (!ensureComputed()) return;
    saveCsv([this] { return settlement_.csv(); }, settlement_.fileName(QStringLiteral("Hakedis")) + QStringLiteral(".csv"));
}

void THakedisF::OdemeExcelClick()
{
    if (!ensureComputed()) return;
    const PayoutList payouts = namedPayouts();
    saveAsXlsx(payouts.sheet(), settlement_.fileName(QStringLiteral("Odeme-Listesi")) + QStringLiteral(".xlsx"));
}

void THakedisF::HakedisExcelClick()
{
    if (!ensureComputed()) return;
    saveAsXlsx(settlement_.sheet(), settlement_.fileName(QStringLiteral("Hakedis")) + QStringLiteral(".xlsx"));
}

void THakedisF::OdendiClick()
{
    if (!ensureComputed()) return;
    if (!settlement_.posting) {
        dialogs_.message(QStringLiteral("Önce hakedişi kaydedin; kaydedilmemiş hakedişin ödemesi yazılamaz."));
        return;
    }
    if (settlement_.posting->odemeTarihi.isValid()) {
        dialogs_.message(QStringLiteral("Bu hakedişin ödemesi %1 günü kaydedilmiş.").arg(shortDate(settlement_.posting->odemeTarihi)));
        return;
    }
    const PayoutList payouts = payoutList(settlement_);
    if (!dialogs_.confirmDefaultNo(QStringLiteral("Ödeme listesindeki %1 üreticiye toplam %2 ödendi olarak kaydedilsin mi?")
                                       .arg(payouts.bank.size())
                                       .arg(payouts.total().text())))
        return;
    const std::optional<QDate> day = dialogs_.askDate(QStringLiteral("Ödeme günü:"), QDate::currentDate());
    if (!day) return;
    Settlements::PaidOutcome outcome;
    {
        Acting acting(*this);
        outcome = settlements_.markPaid(settlement_.ilk, settlement_.son, *day);
    }
    switch (outcome) {
    case Settlements::PaidOutcome::NotPosted:
        dialogs_.message(QStringLiteral("Bu dönem için kaydedilmiş hakediş yok; önce hakedişi kaydedin."));
        break;
    case Settlements::PaidOutcome::AlreadyPaid:
        dialogs_.message(QStringLiteral("Bu hakedişin ödemesi daha önce kaydedilmiş."));
        break;
    case Settlements::PaidOutcome::Nothing:
        dialogs_.message(QStringLiteral("Bankadan ödenecek kimse yok: ödenecek tutarı olan her üreticinin geçerli IBAN'ı olmalı."));
        break;
    case Settlements::PaidOutcome::Paid:
        break;
    }
    if (!payouts.withoutIban.empty() && outcome == Settlements::PaidOutcome::Paid)
        dialogs_.message(payouts.withoutIbanLine());
    compute();
}
