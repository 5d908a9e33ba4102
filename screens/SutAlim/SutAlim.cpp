#include "screens/SutAlim/SutAlim.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/cari/cari.h"
#include "store/SqlText.h"

#include <utility>

namespace {

const TcariF::EntryMessages kEntryMessages = {
    QStringLiteral("Giriş için Süt Alım Hesabı seçin!"),
    QStringLiteral("Girdiğiniz Koda Ait Süt Alım Hesabı Bulunamadı!"),
    QStringLiteral("Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"),
};

const QString kKodu = QStringLiteral("Kodu");
const QString kAdi = QStringLiteral("Adi");

// Morning and evening litres of a totals row; an empty sum counts as 0.
double totalLitres(const Record& row)
{
    return row.asFloat(QStringLiteral("Sabah_Toplam")) + row.asFloat(QStringLiteral("Aksam_Toplam"));
}

}  // namespace

const std::vector<GridColumn> TSutAlimF::kDayColumns = {
    {kAdi, QStringLiteral("Adı Soyadı"), 130},
    {QStringLiteral("Sabah"), QStringLiteral("Sabah LT"), 0, kAsGridNumber},
    {QStringLiteral("Aksam"), QStringLiteral("Akşam LT"), 0, kAsGridNumber},
    {QStringLiteral("toplam"), QStringLiteral("Toplam LT"), 0, kAsGridNumber},
    {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Toplam Tutar"), 0, kAsGridNumber},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 250},
};
const std::vector<TotalBox> TSutAlimF::kDayTotals = {
    {QStringLiteral("Sabah Toplamı"), QStringLiteral("Sabah_Toplam")},
    {QStringLiteral("Akşam Toplamı"), QStringLiteral("Aksam_Toplam")},
    {QStringLiteral("Genel Toplam"), QStringLiteral("Genel_Toplam")},
    {QStringLiteral("Tutar Toplam"), QStringLiteral("Toplam_Tutar")},
};
const std::vector<GridColumn> TSutAlimF::kMonthColumns = {
    {kAdi, QStringLiteral("Adı Soyadı"), 120},
    {QStringLiteral("Sabah_Toplam"), QStringLiteral("Sabah LT"), 0, kAsGridNumber},
    {QStringLiteral("Aksam_Toplam"), QStringLiteral("Akşam LT"), 0, kAsGridNumber},
    {QStringLiteral("Toplam"), QStringLiteral("Toplam LT"), 0, kAsGridNumber},
    {QStringLiteral("Toplam_Tutar"), QStringLiteral("Toplam Tutar"), 0, kAsGridNumber},
    {QStringLiteral("Ortalama"), QStringLiteral("Ortalama"), 0, kAsGridNumber},
};
const std::vector<TotalBox> TSutAlimF::kMonthTotals = {
    {QStringLiteral("Sabah Toplamı"), QStringLiteral("Sabah_Toplam")},
    {QStringLiteral("Akşam Toplamı"), QStringLiteral("Aksam_Toplam")},
    {QStringLiteral("Genel Toplam"), QStringLiteral("Toplam")},
    {QStringLiteral("Tutar Toplam"), QStringLiteral("Toplam_Tutar")},
};

const std::vector<GridColumn> TSutAlimF::kAbsentColumns = {
    {kKodu, QStringLiteral("Kodu"), 60},
    {kAdi, QStringLiteral("Adı Soyadı"), 200},
};

TSutAlimF::TSutAlimF(Forms& forms)
    : TEntryForm(forms),
      SutGirisiQuery(forms.sutConnection),
      SutGirisiTopQuery(forms.sutConnection),
      AylikSutGirisiQuery(forms.sutConnection),
      AylikSutGirisiTopQuery(forms.sutConnection),
      GelmeyenQuery(forms.sutConnection)
{
    showIn(SutGirisiQuery, kDayColumns);
    showIn(SutGirisiTopQuery, kDayTotals);
    showIn(AylikSutGirisiQuery, kMonthColumns);
    showIn(AylikSutGirisiTopQuery, kMonthTotals);
    showIn(GelmeyenQuery, kAbsentColumns);
    SutGirisiQuery.calculatedFields = {QStringLiteral("toplam")};
    SutGirisiQuery.onCalcFields = [](Record& row) {
        row.setValue(QStringLiteral("toplam"), row.asFloat(QStringLiteral("Sabah")) + row.asFloat(QStringLiteral("Aksam")));
    };
    SutGirisiTopQuery.calculatedFields = {QStringLiteral("Genel_Toplam")};
    SutGirisiTopQuery.onCalcFields = [](Record& row) { row.setValue(QStringLiteral("Genel_Toplam"), totalLitres(row)); };
    AylikSutGirisiQuery.calculatedFields = {QStringLiteral("Toplam"), QStringLiteral("Ortalama")};
    AylikSutGirisiQuery.onCalcFields = [](Record& row) {
        const double litres = totalLitres(row);
        const double entries = row.asFloat(QStringLiteral("Toplam_GUN"));
        row.setValue(QStringLiteral("Toplam"), litres);
        // A name with no priced entry has no average to show.
        row.setValue(QStringLiteral("Ortalama"), entries > 0 ? QVariant(litres / entries) : QVariant());
    };
    AylikSutGirisiTopQuery.calculatedFields = {QStringLiteral("Toplam")};
    AylikSutGirisiTopQuery.onCalcFields = [](Record& row) { row.setValue(QStringLiteral("Toplam"), totalLitres(row)); };
    FormCreate();
}

void TSutAlimF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TSutAlimF::tarihDateChange()
{
    if (intakeScreenOpened == 1) GuncelleGunluk();
}

void TSutAlimF::KoduEditExit()
{
    const std::optional<Account> account = forms_.cariF->findCode(KoduEdit.text());
    if (!account) return;
    if (kayitnoEdit.isEmpty()) Bosalt();
    fillFromAccount(*account);
}

void TSutAlimF::SaklaButClick()
{
    if (!forms_.cariF->checkEntry(KoduEdit.text(), AdiEdit.text(), kEntryMessages)) return;
    const QDate day = tarihDate.date();
    if (AdiEdit.isEmpty()) return;

    // Read before anything is posted: a box that cannot be read writes nothing.
    const double sabah = parseDecimal(sabahEdit.text());
    const double aksam = parseDecimal(aksamEdit.text());
    const double fiyat = parseDecimal(SBirimFiyatEdit.text());
    if (sabah == 0 && aksam == 0 && !emptyEntryMeant(QStringLiteral("sabah ve akşam litresi"))) return;

    RowWrite row = rowForSave(SutGirisiTable, kayitnoEdit, day);
    const QString kodu = KoduEdit.text();
    row.setField(QStringLiteral("Gelir_Gider"), kindCode(LedgerKind::Intake))
        .setField(kKodu, kodu)
        .setField(kAdi, AdiEdit.text())
        .setField(QStringLiteral("Sabah"), sabah)
        .setField(QStringLiteral("Aksam"), aksam)
        .setField(QStringLiteral("SBirim_Fiyat"), fiyat)
        .setField(QStringLiteral("ABirim_Fiyat"), fiyat)
        .setField(QStringLiteral("SToplam_Tutar"), sabah * fiyat)
        .setField(QStringLiteral("AToplam_Tutar"), aksam * fiyat)
        .setField(QStringLiteral("Gelir_Toplam_Tutar"), sabah * fiyat + aksam * fiyat)
        .setField(QStringLiteral("Aciklama"), AciklamaEdit.text());
    kayitnoEdit.setText(QString::number(row.post()));
    sonSilme = 0;

    GuncelleGunluk();
    CariTanimQuery.locate(kKodu, kodu);
    Bosalt();
    if (SonrakiRadio.checked()) {
        CariTanimQuery.next();
        fillFromAccount(accountAt(CariTanimQuery));
    }
}

void TSutAlimF::Dzelt1Click()
{
    const Query& row = SutGirisiQuery;
    kayitnoEdit.setText(row.asString(QStringLiteral("SGID")));
    KoduEdit.setText(row.asString(kKodu));
    AdiEdit.setText(row.asString(kAdi));
    sabahEdit.setText(formatFloat(kGridPattern, row.asFloat(QStringLiteral("Sabah"))));
    aksamEdit.setText(formatFloat(kGridPattern, row.asFloat(QStringLiteral("Aksam"))));
    SBirimFiyatEdit.setText(formatFloat(kGridPattern, row.asFloat(QStringLiteral("SBirim_Fiyat"))));
    AciklamaEdit.setText(row.asString(QStringLiteral("Aciklama")));
}

QString TSutAlimF::deleteQuestion() const
{
    const Query& row = SutGirisiQuery;
    return cellText(kAsShortDate, row.value(QStringLiteral("Tarih"))) + QStringLiteral(" · ") + row.asString(kKodu) + QLatin1Char(' ') + row.asString(kAdi) +
           QStringLiteral(" · Sabah ") + formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Sabah"))) +
           QStringLiteral(" L, Akşam ") + formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Aksam"))) +
           QStringLiteral(" L\nBu kaydı silmek istediğinize eminmisiniz?");
}

void TSutAlimF::KaydSil1Click()
{
    if (SutGirisiQuery.recordCount() == 0) return;
    if (forms_.dialogs.askYesNoCancel(deleteQuestion()) != Dialogs::Answer::Yes) return;
    if (!SutGirisiTable.isOpen()) SutGirisiTable.open();
    const QVariant key = SutGirisiQuery.value(QStringLiteral("SGID"));
    if (key.isNull() || !SutGirisiTable.locate(QStringLiteral("SGID"), key)) return;
    sonSilme = SutGirisiTable.deleteCurrent();
    GuncelleGunluk();
}

void TSutAlimF::GeriAl1Click()
{
    if (sonSilme == 0) {
        forms_.dialogs.message(kNothingToUndo);
        return;
    }
    forms_.GecmisF->geriAl(std::exchange(sonSilme, 0));
}

void TSutAlimF::GunlukCsvClick()
{
    saveListAsCsv(SutGirisiQuery, kDayColumns, csvFileName({QStringLiteral("SutAlim-Gun"), shortDate(tarihDate.date())}));
}

void TSutAlimF::AylikCsvClick()
{
    saveListAsCsv(AylikSutGirisiQuery, kMonthColumns, csvFileName({QStringLiteral("SutAlim-Ay"), fileNameMonth(tarihDate.date())}));
}

void TSutAlimF::GelmeyenCsvClick()
{
    saveListAsCsv(GelmeyenQuery, kAbsentColumns, csvFileName({QStringLiteral("SutAlim-Gelmeyen"), shortDate(tarihDate.date())}));
}

void TSutAlimF::GelmeyenGridDblClick()
{
    // The producer list stands on him, so the pick is the list's own.
    if (GelmeyenQuery.recordCount() == 0 || !CariTanimQuery.locate(kKodu, GelmeyenQuery.value(kKodu))) return;
    CariGridDblClick();
}

void TSutAlimF::takePick(const Account& account)
{
    Bosalt();
    fillFromAccount(account);
}

void TSutAlimF::openFromMenu()
{
    bringUp();
    intakeScreenOpened = 1;
    GuncelleGunluk();
    reread(CariTanimQuery);
    if (CariTanimQuery.recordCount() > 0) takePick(accountAt(CariTanimQuery));
}

void TSutAlimF::YeniHesapButClick()
{
    forms_.cariF->openForPick(TcariF::kPickForIntake);
}

void TSutAlimF::Bosalt()
{
    KoduEdit.clear();
    AdiEdit.clear();
    sabahEdit.clear();
    aksamEdit.clear();
    AciklamaEdit.clear();
    kayitnoEdit.clear();
}

void TSutAlimF::fillFromAccount(const Account& account)
{
    KoduEdit.setText(account.kodu);
    AdiEdit.setText(account.adi);
    SBirimFiyatEdit.setText(generalNumber(account.birimFiyati));
}

void TSutAlimF::GuncelleGunluk()
{
    const MonthPeriod period = monthPeriod(tarihDate.date());
    const QString day = dayFilter(period.day);
    const QString month = periodFilter(period.first, period.last);
    const QString intake = kindLine(LedgerKind::Intake);
    rebuild(SutGirisiQuery, {
        QStringLiteral("SELECT * FROM SutGirisi"),
        day,
        intake,
        QStringLiteral("ORDER BY Adi COLLATE tr ASC;"),
    });
    rebuild(SutGirisiTopQuery, {
        QStringLiteral("SELECT SUM(Sabah) AS Sabah_Toplam,SUM(Aksam) AS Aksam_Toplam,"),
        QStringLiteral("SUM(Gelir_Toplam_Tutar) AS Toplam_Tutar FROM SutGirisi"),
        day,
        intake,
    });
    rebuild(AylikSutGirisiQuery, {
        QStringLiteral("SELECT Adi, SUM(Sabah) AS Sabah_Toplam,SUM(Aksam) AS Aksam_Toplam, "),
        QStringLiteral("SUM(Gelir_Toplam_Tutar) AS Toplam_Tutar,"),
        QStringLiteral("COUNT(Gelir_Toplam_Tutar) AS Toplam_GUN FROM SutGirisi"),
        month,
        intake,
        QStringLiteral("GROUP BY Adi"),
        QStringLiteral("ORDER BY Adi COLLATE tr ASC;"),
    });
    rebuild(AylikSutGirisiTopQuery, {
        QStringLiteral("SELECT SUM(Sabah) AS Sabah_Toplam,SUM(Aksam) AS Aksam_Toplam, "),
        QStringLiteral("SUM(Gelir_Toplam_Tutar) AS Toplam_Tutar FROM SutGirisi"),
        month,
        intake,
    });
    GelmeyenQuery.parameters = {period.day, kindCode(LedgerKind::Intake)};
    rebuild(GelmeyenQuery, {
        QStringLiteral("SELECT Kodu, Adi FROM Cariler"),
        QStringLiteral("WHERE NOT EXISTS (SELECT 1 FROM SutGirisi"),
        QStringLiteral("WHERE SutGirisi.Kodu=Cariler.Kodu AND Tarih=?1 AND Gelir_Gider=?2)"),
        QStringLiteral("ORDER BY Adi COLLATE tr ASC;"),
    });
    AyBul();
    GunlukSheet.setText(shortDate(period.day) + kDayCaptionSuffix);
    GelmeyenSheet.setText(kAbsentCaption + QStringLiteral(" (%1)").arg(GelmeyenQuery.recordCount()));
}

void TSutAlimF::AyBul()
{
    ayAdi = captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}
