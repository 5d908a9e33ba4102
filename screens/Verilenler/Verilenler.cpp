#include "screens/Verilenler/Verilenler.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "screens/cari/cari.h"
#include "store/SqlText.h"

#include <QDate>

namespace {

const TcariF::EntryMessages kEntryMessages = {
    QStringLiteral("Giriş için cari hesap seçin!"),
    QStringLiteral("Girdiğiniz kod cari hesaplarda bulunamadı!"),
    QStringLiteral("Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"),
};

}  // namespace

const std::vector<GridColumn> TVerilenlerF::kMonthColumns = {
    {QStringLiteral("Tarih"), QStringLiteral("Tarih"), 80, kAsShortDate},
    {QStringLiteral("Kodu"), QStringLiteral("Kodu"), 60},
    {QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 140},
    {QStringLiteral("Gider_Miktari"), QStringLiteral("Miktarı"), 0, kAsGridNumber},
    {QStringLiteral("Gider_Tutari"), QStringLiteral("Alacağımız"), 0, kAsGridNumber},
    {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Borcumuz"), 0, kAsGridNumber},
    {QStringLiteral("Fis_No"), QStringLiteral("Fiş No"), 60},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 120},
};
const std::vector<TotalBox> TVerilenlerF::kMonthTotals = {
    {QStringLiteral("Borcumuz"), QStringLiteral("Borc_Toplami")},
    {QStringLiteral("Alacağımız"), QStringLiteral("Alacak_Toplami")},
    {QStringLiteral("Kalan Tutar"), QStringLiteral("Bakiye")},
};

TVerilenlerF::TVerilenlerF(Forms& forms)
    : TEntryForm(forms),
      SutGirisiQuery(forms.sutConnection),
      SutGirisiTopQuery(forms.sutConnection)
{
    showIn(SutGirisiQuery, kMonthColumns);
    showIn(SutGirisiTopQuery, kMonthTotals);
    SutGirisiTopQuery.calculatedFields = {QStringLiteral("Bakiye")};
    SutGirisiTopQuery.onCalcFields = [](Record& row) {
        row.setValue(QStringLiteral("Bakiye"),
                     row.asFloat(QStringLiteral("Borc_Toplami")) - row.asFloat(QStringLiteral("Alacak_Toplami")));
    };
    FormCreate();
}

void TVerilenlerF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TVerilenlerF::tarihDateChange()
{
    if (paymentScreenOpened == 1) Guncelle();
}

void TVerilenlerF::SaklaButClick()
{
    if (!forms_.cariF->checkEntry(KoduEdit.text(), AdiEdit.text(), kEntryMessages)) return;
    const QDate day = tarihDate.date();
    if (AdiEdit.isEmpty()) return;

    // Read before anything is posted: a box that cannot be read writes nothing.
    const double alacagimiz = parseDecimal(borcEdit.text());
    const double borcumuz = parseDecimal(alacakEdit.text());
    const double miktari = parseDecimal(MiktariEdit.text());
    if (alacagimiz == 0 && borcumuz == 0 && !emptyEntryMeant(QStringLiteral("Alacağımız ve Borcumuz"))) return;

    RowWrite row = rowForSave(SutGirisiTable, kayitnoEdit, day);
    row.setField(QStringLiteral("Gelir_Gider"), kindCode(LedgerKind::Payment))
        .setField(QStringLiteral("Kodu"), KoduEdit.text())
        .setField(QStringLiteral("Adi"), AdiEdit.text())
        .setField(QStringLiteral("Gider_Tutari"), alacagimiz)
        .setField(QStringLiteral("Gelir_Toplam_Tutar"), borcumuz)
        .setField(QStringLiteral("Fis_No"), FisNoEdit.text())
        .setField(QStringLiteral("Gider_Miktari"), miktari)
        .setField(QStringLiteral("Aciklama"), AciklamaEdit.text());
    kayitnoEdit.setText(QString::number(row.post()));

    Guncelle();
}

void TVerilenlerF::KoduEditExit()
{
    const std::optional<Account> account = forms_.cariF->findCode(KoduEdit.text());
    if (account) takePick(*account);
}

void TVerilenlerF::Bosalt()
{
    KoduEdit.clear();
    AdiEdit.clear();
    borcEdit.clear();
    alacakEdit.clear();
    AciklamaEdit.clear();
    kayitnoEdit.clear();
    MiktariEdit.clear();
    FisNoEdit.clear();
}

void TVerilenlerF::secButtonClick()
{
    forms_.cariF->openForPick(TcariF::kPickForPayment);
}

void TVerilenlerF::AylikCsvClick()
{
    saveListAsCsv(SutGirisiQuery, kMonthColumns, csvFileName({QStringLiteral("Verilenler"), fileNameMonth(tarihDate.date())}));
}

void TVerilenlerF::Guncelle()
{
    const MonthPeriod period = monthPeriod(tarihDate.date());
    const QString month = periodFilter(period.first, period.last);
    const QString payments = kindLine(LedgerKind::Payment);
    // Rows of one day in the order they were entered.
    rebuild(SutGirisiQuery, {
        QStringLiteral("SELECT * FROM SutGirisi"),
        month,
        payments,
        QStringLiteral("ORDER BY Tarih ASC, SGID ASC;"),
    });
    AyBul();
    rebuild(SutGirisiTopQuery, {
        QStringLiteral("SELECT SUM(Gelir_Toplam_Tutar) AS Borc_Toplami, SUM(Gider_Tutari) AS Alacak_Toplami FROM SutGirisi"),
        month,
        payments,
    });
}

void TVerilenlerF::AyBul()
{
    ayAdi = captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}

void TVerilenlerF::openFromMenu()
{
    bringUp();
    Guncelle();
    paymentScreenOpened = 1;
    reread(CariTanimQuery);
}

void TVerilenlerF::takePick(const Account& account)
{
    Bosalt();
    KoduEdit.setText(account.kodu);
    AdiEdit.setText(account.adi);
}
