#include "screens/Rapor/Rapor.h"

#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "ledger/AverageQuality.h"
#include "ledger/Lists.h"
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

const std::vector<GridColumn>& TRaporF::kSummaryColumns = lists::kBalanceColumns;
const std::vector<TotalBox> TRaporF::kTotals = {
    {QStringLiteral("Borcumuz"), kBorc},
    {QStringLiteral("Alacağımız"), kAlacak},
    {QStringLiteral("Kalan Tutar"), kBakiye},
};
const std::vector<GridColumn> TRaporF::kDetailColumns = {
    {QStringLiteral("Tarih"), QStringLiteral("Tarih"), 80, kAsShortDate},
    {kAdi, QStringLiteral("Adı Soyadı"), 95},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 60},
    {QStringLiteral("Sabah"), QStringLiteral("Sabah LT"), 0, kAsAmount},
    {QStringLiteral("Aksam"), QStringLiteral("Akşam LT"), 0, kAsAmount},
    {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Borcumuz"), 0, kAsAmount},
    {QStringLiteral("Gider_Tutari"), QStringLiteral("Alacağımız"), 0, kAsAmount},
};

TRaporF::TRaporF(Ledger& ledger, Dialogs& dialogs)
    : TForm(ledger, dialogs),
      SutGirisiQuery(ledger.connection()),
      detayQuery(ledger.connection()),
      AylikLitreQuery(ledger.connection())
{
    showIn(SutGirisiQuery, kSummaryColumns);
    showIn(detayQuery, kDetailColumns);
    // A row of the period listed changed: the same period again, on the same producer.
    whenChanged(&LedgerEvents::entriesChanged, [this](const QDate& day, LedgerKind) {
        if (!rebuilds(SutGirisiQuery) || (day.isValid() && (day < summaryFrom_ || day > summaryTo_))) return;
        const QVariant code = SutGirisiQuery.value(kKodu);
        const int row = SutGirisiQuery.currentRow();
        Listele(summaryFrom_, summaryTo_);
        if (!SutGirisiQuery.locate(kKodu, code)) SutGirisiQuery.moveTo(std::min(row, SutGirisiQuery.recordCount() - 1));
        DetayYenile();
    });
    FormCreate();
}

void TRaporF::FormCreate()
{
    const QDate today = QDate::currentDate();
    ilktarihDate.setDate(QDate(today.year(), 1, 1));
    sontarihDate.setDate(today);
}

void TRaporF::Yenile()
{
    Listele(ilktarihDate.date(), sontarihDate.date());
    DetayYenile();
}

void TRaporF::Listele(const QDate& from, const QDate& to)
{
    summaryFrom_ = from;
    summaryTo_ = to;
    overStoredFigures([&] { lists::balances(SutGirisiQuery, from, to); });
    SutGirisiToplam.publish({
        {kBorc, lists::shownSum(SutGirisiQuery, kBorc)},
        {kAlacak, lists::shownSum(SutGirisiQuery, kAlacak)},
        {kBakiye, lists::shownSum(SutGirisiQuery, kBakiye).value_or(Money())},
    });
    RaporSheet.setText(shortDate(from) + QLatin1Char('/') + shortDate(to) + kPeriodCaptionSuffix);
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

    lists::codeRows(detayQuery, SutGirisiQuery.asString(kKodu), from, to);
    Label1.setText(SutGirisiQuery.asString(kAdi) + kAccountLabelSuffix);
    detayCsvName_ = csvFileName({QStringLiteral("Rapor"), SutGirisiQuery.asString(kKodu), SutGirisiQuery.asString(kAdi),
                                 shortDate(from), shortDate(to)});
    GrafikYenile(from, to);
}

void TRaporF::GrafikYenile(const QDate& from, const QDate& to)
{
    lists::monthlyLitres(AylikLitreQuery, SutGirisiQuery.asString(kKodu), from, to);
    QHash<QString, double> litres;
    QHash<QString, double> fat;
    for (int row = 0; row < AylikLitreQuery.recordCount(); ++row) {
        const QString month = AylikLitreQuery.valueAt(row, QStringLiteral("Ay")).toString();
        litres.insert(month, AylikLitreQuery.valueAt(row, QStringLiteral("Sabah_Toplam")).toDouble() +
                                 AylikLitreQuery.valueAt(row, QStringLiteral("Aksam_Toplam")).toDouble());
        const QVariant average = AylikLitreQuery.valueAt(row, QStringLiteral("Ort_Yag"));
        if (!average.isNull()) fat.insert(month, average.toDouble());
    }
    const auto valueOf = [](const QHash<QString, double>& values, const QString& month) {
        const auto found = values.constFind(month);
        return found == values.constEnd() ? std::nullopt : std::optional<double>(*found);
    };
    ChartData chart;
    chart.categoryAxis = QStringLiteral("Ay");
    chart.barAxis = QStringLiteral("Litre");
    ChartSeries months{QStringLiteral("Süt"), QStringLiteral("L"), {}};
    ChartSeries fatByMonth{AverageQuality::kYagName, QStringLiteral("%"), {}};
    for (QDate month(from.year(), from.month(), 1); month <= to; month = month.addMonths(1)) {
        chart.labels << monthName(month.month()).left(3) + QLatin1Char(' ') + month.toString(QStringLiteral("yy"));
        chart.titles << monthName(month.month()) + QLatin1Char(' ') + QString::number(month.year());
        const QString key = month.toString(kStoredDateFormat).left(7);
        months.values.push_back(valueOf(litres, key));
        fatByMonth.values.push_back(valueOf(fat, key));
    }
    chart.bars = {months};
    // The month's fat beside its litres, once any pour of the period was measured.
    if (!fat.isEmpty()) {
        chart.lineAxis = QStringLiteral("Yağ %");
        chart.line = fatByMonth;
    }
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

void TRaporF::RaporXlsxClick()
{
    saveListAsXlsx(SutGirisiQuery, kSummaryColumns, QStringLiteral("Rapor ") + shortDate(summaryFrom_) + QLatin1Char('-') + shortDate(summaryTo_),
                   xlsxFileName({QStringLiteral("Rapor"), shortDate(summaryFrom_), shortDate(summaryTo_)}));
}

void TRaporF::DetayXlsxClick()
{
    saveListAsXlsx(detayQuery, kDetailColumns, QStringLiteral("Hesap Hareketleri"), asXlsxFileName(detayCsvName_));
}

void TRaporF::saveStatementsAsXlsx(const std::vector<AccountStatement>& statements, const QString& fileName)
{
    saveAsXlsx(statementsSheet(statements), asXlsxFileName(fileName));
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
    dialogs_.message(kNoStatementMessage);
    return false;
}

void TRaporF::EkstreButClick()
{
    if (!canPrintStatements()) return;
    AccountStatement statement;
    overStoredFigures([&] {
        statement = buildStatement(ledger_.connection(), SutGirisiQuery.asString(kKodu), SutGirisiQuery.asString(kAdi), summaryFrom_,
                                   summaryTo_);
    });
    if (statementPreview_) statementPreview_->previewStatements({statement}, statement.fileName());
}

void TRaporF::TumEkstreButClick()
{
    if (!summaryFrom_.isValid()) {
        dialogs_.message(kNoStatementMessage);
        return;
    }
    // Everyone with rows in the period, and everyone still owed from before.
    bool cancelled = false;
    std::vector<AccountStatement> statements;
    overStoredFigures([&] {
        statements = buildAllStatements(ledger_.connection(), summaryFrom_, summaryTo_, [this, &cancelled](int done, int total) {
            cancelled = statementPreview_ && !statementPreview_->progress(done, total);
            return !cancelled;
        });
    });
    if (cancelled) return;
    if (statements.empty()) {
        dialogs_.message(kNoStatementMessage);
        return;
    }
    if (statementPreview_) statementPreview_->previewStatements(statements, allStatementsFileName(summaryFrom_, summaryTo_));
}
