#include "screens/Rapor/Rapor.h"

#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QDate>
#include <QHash>

namespace {

const QString kKodu = QStringLiteral("Kodu");
const QString kAdi = QStringLiteral("Adi");
const QString kBorc = QStringLiteral("Borc_Toplami");
const QString kAlacak = QStringLiteral("Alacak_Toplami");
const QString kBakiye = QStringLiteral("Bakiye");

}  // namespace

const std::vector<GridColumn> TRaporF::kSummaryColumns = {
    {kKodu, QStringLiteral("Kodu"), 60},
    {kAdi, QStringLiteral("Adı Soyadı"), 130},
    {kBorc, QStringLiteral("Borcumuz"), 0, kAsGridNumber},
    {kAlacak, QStringLiteral("Alacağımız"), 94, kAsGridNumber},
    {kBakiye, QStringLiteral("Kalan Tutar"), 0, kAsGridNumber},
};
const std::vector<TotalBox> TRaporF::kTotals = {
    {QStringLiteral("Borcumuz"), kBorc},
    {QStringLiteral("Alacağımız"), kAlacak},
    {QStringLiteral("Kalan Tutar"), kBakiye},
};
const std::vector<GridColumn> TRaporF::kDetailColumns = {
    {QStringLiteral("Tarih"), QStringLiteral("Tarih"), 80, kAsShortDate},
    {kAdi, QStringLiteral("Adı Soyadı"), 95},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 60},
    {QStringLiteral("Sabah"), QStringLiteral("Sabah LT"), 0, kAsGridNumber},
    {QStringLiteral("Aksam"), QStringLiteral("Akşam LT"), 0, kAsGridNumber},
    {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Borcumuz"), 0, kAsGridNumber},
    {QStringLiteral("Gider_Tutari"), QStringLiteral("Alacağımız"), 0, kAsGridNumber},
};

TRaporF::TRaporF(Forms& forms)
    : TForm(forms),
      SutGirisiQuery(forms.sutConnection),
      SutGirisiTopQuery(forms.sutConnection),
      detayQuery(forms.sutConnection),
      AylikLitreQuery(forms.sutConnection)
{
    showIn(SutGirisiQuery, kSummaryColumns);
    showIn(SutGirisiTopQuery, kTotals);
    showIn(detayQuery, kDetailColumns);
    SutGirisiQuery.calculatedFields = {kBakiye};
    SutGirisiQuery.onCalcFields = &TRaporF::SutGirisiQueryCalcFields;
    SutGirisiTopQuery.calculatedFields = {kBakiye};
    SutGirisiTopQuery.onCalcFields = &TRaporF::SutGirisiTopQueryCalcFields;
    FormCreate();
}

void TRaporF::FormCreate()
{
    const QDate today = QDate::currentDate();
    ilktarihDate.setDate(QDate(today.year(), 1, 1));
    sontarihDate.setDate(today);
}

void TRaporF::SutGirisiQueryCalcFields(Record& row)
{
    row.setValue(kBakiye, row.asFloat(kBorc) - row.asFloat(kAlacak));
}

void TRaporF::Yenile()
{
    const QDate from = ilktarihDate.date();
    const QDate to = sontarihDate.date();
    const QString period = periodFilter(from, to);
    summaryFrom_ = from;
    summaryTo_ = to;
    rebuild(SutGirisiQuery, {
        QStringLiteral("SELECT Kodu, Adi, SUM(Gelir_Toplam_Tutar) AS Borc_Toplami, "),
        QStringLiteral("SUM(Gider_Tutari) AS Alacak_Toplami FROM SutGirisi"),
        period,
        QStringLiteral("GROUP BY Kodu, Adi"),
        QStringLiteral("ORDER BY Adi COLLATE tr ASC;"),
    });
    rebuild(SutGirisiTopQuery, {
        QStringLiteral("SELECT SUM(Gelir_Toplam_Tutar) AS Borc_Toplami, "),
        QStringLiteral("SUM(Gider_Tutari) AS Alacak_Toplami FROM SutGirisi"),
        period,
    });
    RaporSheet.setText(shortDate(from) + QLatin1Char('/') + shortDate(to) + kPeriodCaptionSuffix);
    DetayYenile();
}

void TRaporF::DetayYenile()
{
    detayQuery.close();
    DetayGrafik.set({});
    Label1.setText(kNoAccountLabel);
    // The pickers as they are now, which may no longer be the summary's period.
    const QDate from = ilktarihDate.date();
    const QDate to = sontarihDate.date();
    detayCsvName_ = csvFileName({QStringLiteral("Rapor-Detay"), shortDate(from), shortDate(to)});
    if (SutGirisiQuery.recordCount() == 0) return;

    const QString period = periodFilter(from, to);
    // The code comes from the data: bound, it can only ever be compared.
    detayQuery.parameters = {SutGirisiQuery.value(kKodu)};
    rebuild(detayQuery, {
        QStringLiteral("SELECT Tarih, Adi, Aciklama, Sabah, Aksam,Gelir_Toplam_Tutar, "),
        QStringLiteral("Gider_Tutari FROM SutGirisi"),
        period,
        QStringLiteral("AND Kodu=?1"),
        // Rows of one day in the order they were entered.
        QStringLiteral("ORDER BY Tarih ASC, SGID ASC;"),
    });
    Label1.setText(SutGirisiQuery.asString(kAdi) + kAccountLabelSuffix);
    detayCsvName_ = csvFileName({QStringLiteral("Rapor"), SutGirisiQuery.asString(kKodu), SutGirisiQuery.asString(kAdi),
                                 shortDate(from), shortDate(to)});
    GrafikYenile(from, to);
}

void TRaporF::GrafikYenile(const QDate& from, const QDate& to)
{
    AylikLitreQuery.parameters = {SutGirisiQuery.value(kKodu), from, to, kindCode(LedgerKind::Intake)};
    rebuild(AylikLitreQuery, {
        QStringLiteral("SELECT substr(Tarih, 1, 7) AS Ay, SUM(Sabah) AS Sabah_Toplam, SUM(Aksam) AS Aksam_Toplam"),
        QStringLiteral("FROM SutGirisi WHERE Kodu=?1 AND Tarih>=?2 AND Tarih<=?3 AND Gelir_Gider=?4"),
        QStringLiteral("GROUP BY Ay;"),
    });
    QHash<QString, double> litres;
    for (int row = 0; row < AylikLitreQuery.recordCount(); ++row)
        litres.insert(AylikLitreQuery.valueAt(row, QStringLiteral("Ay")).toString(),
                      AylikLitreQuery.valueAt(row, QStringLiteral("Sabah_Toplam")).toDouble() +
                          AylikLitreQuery.valueAt(row, QStringLiteral("Aksam_Toplam")).toDouble());
    ChartData chart;
    chart.categoryAxis = QStringLiteral("Ay");
    chart.barAxis = QStringLiteral("Litre");
    ChartSeries months{QStringLiteral("Süt"), QStringLiteral("L"), {}};
    for (QDate month(from.year(), from.month(), 1); month <= to; month = month.addMonths(1)) {
        chart.labels << monthName(month.month()).left(3) + QLatin1Char(' ') + month.toString(QStringLiteral("yy"));
        chart.titles << monthName(month.month()) + QLatin1Char(' ') + QString::number(month.year());
        const auto found = litres.constFind(month.toString(kStoredDateFormat).left(7));
        months.values.push_back(found == litres.constEnd() ? std::nullopt : std::optional<double>(*found));
    }
    chart.bars = {months};
    chart.chosen = static_cast<int>(chart.labels.size()) - 1;
    DetayGrafik.set(chart);
}

void TRaporF::RaporCsvClick()
{
    saveListAsCsv(SutGirisiQuery, kSummaryColumns, csvFileName({QStringLiteral("Rapor"), shortDate(summaryFrom_), shortDate(summaryTo_)}));
}

void TRaporF::DetayCsvClick()
{
    saveListAsCsv(detayQuery, kDetailColumns, detayCsvName_);
}

void TRaporF::bulButtonClick()
{
    findNext(SutGirisiQuery, kAdi, AdiEdit.text());
}

void TRaporF::openFromMenu()
{
    bringUp();
    Yenile();
}

bool TRaporF::canPrintStatements()
{
    if (SutGirisiQuery.recordCount() > 0) return true;
    forms_.dialogs.message(kNoStatementMessage);
    return false;
}

void TRaporF::EkstreButClick()
{
    if (!canPrintStatements()) return;
    const AccountStatement statement = buildStatement(forms_.sutConnection, SutGirisiQuery.asString(kKodu),
                                               SutGirisiQuery.asString(kAdi), summaryFrom_, summaryTo_);
    if (statementPreview_) statementPreview_->previewStatements({statement}, statement.fileName());
}

void TRaporF::TumEkstreButClick()
{
    if (!summaryFrom_.isValid()) {
        forms_.dialogs.message(kNoStatementMessage);
        return;
    }
    // Everyone with rows in the period, and everyone still owed from before.
    bool cancelled = false;
    const std::vector<AccountStatement> statements =
        buildAllStatements(forms_.sutConnection, summaryFrom_, summaryTo_, [this, &cancelled](int done, int total) {
            cancelled = statementPreview_ && !statementPreview_->progress(done, total);
            return !cancelled;
        });
    if (cancelled) return;
    if (statements.empty()) {
        forms_.dialogs.message(kNoStatementMessage);
        return;
    }
    if (statementPreview_) statementPreview_->previewStatements(statements, allStatementsFileName(summaryFrom_, summaryTo_));
}
