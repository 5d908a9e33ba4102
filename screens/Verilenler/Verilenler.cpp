#include "screens/Verilenler/Verilenler.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "ledger/Lists.h"

#include <QDate>

namespace {

const TEntryForm::EntryMessages kEntryMessages = {
    QStringLiteral("Giriş için cari hesap seçin!"),
    QStringLiteral("Girdiğiniz kod cari hesaplarda bulunamadı!"),
    QStringLiteral("Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"),
};

}  // namespace

const std::vector<GridColumn> TVerilenlerF::kMonthColumns = {
    {QStringLiteral("Tarih"), QStringLiteral("Tarih"), 80, kAsShortDate},
    {QStringLiteral("Kodu"), QStringLiteral("Kodu"), 60},
    {QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 140},
    {QStringLiteral("Gider_Miktari"), QStringLiteral("Miktarı"), 0, kAsAmount},
    {QStringLiteral("Gider_Tutari"), QStringLiteral("Alacağımız"), 0, kAsAmount},
    {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Borcumuz"), 0, kAsAmount},
    {QStringLiteral("Fis_No"), QStringLiteral("Fiş No"), 60},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 120},
};
const std::vector<TotalBox> TVerilenlerF::kMonthTotals = {
    {QStringLiteral("Borcumuz"), QStringLiteral("Borc_Toplami")},
    {QStringLiteral("Alacağımız"), QStringLiteral("Alacak_Toplami")},
    {QStringLiteral("Kalan Tutar"), QStringLiteral("Bakiye")},
};

TVerilenlerF::TVerilenlerF(Ledger& ledger, Dialogs& dialogs)
    : TEntryForm(ledger, dialogs)
{
    showIn(SutGirisiQuery, kMonthColumns);
    whenChanged(&LedgerEvents::entriesChanged, [this](const QDate& day, LedgerKind kind) {
        const QDate shown = tarihDate.date();
        if (kind == LedgerKind::Payment && rebuilds(SutGirisiQuery) && (acting() || inMonthOf(day, shown)))
            Guncelle();
    });
    FormCreate();
}

void TVerilenlerF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TVerilenlerF::tarihDateChange()
{
    if (openedFromMenu) Guncelle();
}

void TVerilenlerF::SaklaButClick()
{
    if (!entryAccepted(ledger_.checkEntry(KoduEdit.text(), AdiEdit.text()), kEntryMessages)) return;
    if (AdiEdit.isEmpty()) return;

    // Read before anything is posted: a box that cannot be read writes nothing.
    const double alacagimiz = AlacagimizEdit.value();
    const double borcumuz = BorcumuzEdit.value();
    const double miktari = MiktariEdit.value();
    if (alacagimiz == 0 && borcumuz == 0 && !emptyEntryMeant(QStringLiteral("Alacağımız ve Borcumuz"))) {
        focusOn(QStringLiteral("AlacagimizEdit"));
        return;
    }

    const PaymentEntry entry{correctedRow(), tarihDate.date(), KoduEdit.text(), AdiEdit.text(), alacagimiz, borcumuz, miktari,
                             FisNoEdit.text(), AciklamaEdit.text()};
    if (const QString question = ledger_.unusualPayment(entry); !question.isEmpty() && !dialogs_.confirmDefaultNo(question)) {
        focusOn(QStringLiteral("AlacagimizEdit"));
        return;
    }
    try {
        Acting acting(*this);
        const Ledger::Saved saved = ledger_.savePayment(entry, [this](qint64 key) {
            correcting.set(key);
            sonSilme = 0;
        });
        if (!entryAccepted(saved.check, kEntryMessages)) return;
    } catch (const RowChanged& changed) {
        showChangedRow(changed, entry.sgid);
        return;
    }
    // The producer's next item is a new row: the one just saved is corrected
    // only when it is chosen from the list again.
    Bosalt();
    focusOn(QStringLiteral("KoduEdit"));
}

void TVerilenlerF::Dzelt1Click()
{
    if (SutGirisiQuery.recordCount() == 0 || chosenRowPosted()) return;
    const Query& row = SutGirisiQuery;
    Bosalt();
    correcting.set(row.value(QStringLiteral("SGID")).toLongLong());
    KoduEdit.setText(row.asString(QStringLiteral("Kodu")));
    AdiEdit.setText(row.asString(QStringLiteral("Adi")));
    AlacagimizEdit.show(row.asFloat(QStringLiteral("Gider_Tutari")));
    BorcumuzEdit.show(row.asFloat(QStringLiteral("Gelir_Toplam_Tutar")));
    MiktariEdit.show(row.asFloat(QStringLiteral("Gider_Miktari")));
    FisNoEdit.setText(row.asString(QStringLiteral("Fis_No")));
    AciklamaEdit.setText(row.asString(QStringLiteral("Aciklama")));
    rememberChosenRow();
    focusOn(QStringLiteral("AlacagimizEdit"));
}

QString TVerilenlerF::deleteQuestion() const
{
    const Query& row = SutGirisiQuery;
    return cellText(kAsShortDate, row.value(QStringLiteral("Tarih"))) + QStringLiteral(" · ") + row.asString(QStringLiteral("Kodu")) +
           QLatin1Char(' ') + row.asString(QStringLiteral("Adi")) + QStringLiteral(" · Alacağımız ") +
           formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Gider_Tutari"))) + QStringLiteral(" TL, Borcumuz ") +
           formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Gelir_Toplam_Tutar"))) +
           QStringLiteral(" TL\nBu kaydı silmek istediğinize eminmisiniz?");
}

void TVerilenlerF::KoduEditExit()
{
    const std::optional<Account> account = ledger_.accountByCode(KoduEdit.text());
    // Back in the code box of the producer the panel already holds: what was
    // typed for him stays.
    if (account && !holdsProducer(*account)) takePick(*account);
}

void TVerilenlerF::Bosalt()
{
    loadedCode_.clear();
    KoduEdit.clear();
    AdiEdit.clear();
    AlacagimizEdit.clear();
    BorcumuzEdit.clear();
    AciklamaEdit.clear();
    correcting.clear();
    MiktariEdit.clear();
    FisNoEdit.clear();
}

void TVerilenlerF::secButtonClick()
{
    if (pickAccount) pickAccount([this](const Account& account) { takePick(account); });
}

void TVerilenlerF::AylikXlsxClick()
{
    saveListAsXlsx(SutGirisiQuery, kMonthColumns, QStringLiteral("Verilenler ") + monthName(tarihDate.date().month()) + QLatin1Char(' ') + QString::number(tarihDate.date().year()),
                   xlsxFileName({QStringLiteral("Verilenler"), fileNameMonth(tarihDate.date())}));
}

void TVerilenlerF::AylikCsvClick()
{
    saveListAsCsv(SutGirisiQuery, kMonthColumns, csvFileName({QStringLiteral("Verilenler"), fileNameMonth(tarihDate.date())}));
}

void TVerilenlerF::Guncelle()
{
    const MonthPeriod period = monthPeriod(tarihDate.date());
    lists::paymentsMonth(SutGirisiQuery, period.first, period.last);
    AyBul();
    const std::optional<Money> borc = lists::shownSum(SutGirisiQuery, QStringLiteral("Gelir_Toplam_Tutar"));
    const std::optional<Money> alacak = lists::shownSum(SutGirisiQuery, QStringLiteral("Gider_Tutari"));
    SutGirisiToplam.publish({
        {QStringLiteral("Borc_Toplami"), borc},
        {QStringLiteral("Alacak_Toplami"), alacak},
        {QStringLiteral("Bakiye"), borc.value_or(Money()) - alacak.value_or(Money())},
    });
}

void TVerilenlerF::AyBul()
{
    captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}

void TVerilenlerF::openFromMenu()
{
    bringUp();
    Guncelle();
    openedFromMenu = true;
    reread(CariTanimQuery);
}

void TVerilenlerF::takePick(const Account& account)
{
    Bosalt();
    loadedCode_ = account.kodu;
    KoduEdit.setText(account.kodu);
    AdiEdit.setText(account.adi);
}
