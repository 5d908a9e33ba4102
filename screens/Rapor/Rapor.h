#pragma once

#include "common/Chart.h"
#include "common/Field.h"
#include "common/GridColumns.h"
#include "screens/Rapor/Ekstre.h"
#include "screens/Forms.h"
#include "store/Query.h"

// The account balance report: what is still owed to each producer between
// two dates, with one producer's ledger rows beside it. It only reads.
class TRaporF : public TForm {
public:
    explicit TRaporF(Forms& forms);

    static inline const QString kSheetCaption = QStringLiteral("İki Tarih Arası Rapor");
    static inline const QString kPeriodCaptionSuffix = QStringLiteral(" Tarihleri Arası Rapor");
    static inline const QString kLabelAtCreation = QStringLiteral(".............");
    static inline const QString kNoAccountLabel = QStringLiteral("......");
    static inline const QString kAccountLabelSuffix = QStringLiteral(" Hesap Hareketleri");
    static inline const QString kNoStatementMessage =
        QStringLiteral("Listede ekstresi alınacak üretici yok. Önce dönemi seçip \"Yenile\" ile listeleyin.");

    // Top bar
    DateField ilktarihDate;
    DateField sontarihDate;
    TextField AdiEdit;

    // The summary page's caption and the label above the detail.
    TextField RaporSheet{kSheetCaption};
    TextField Label1{kLabelAtCreation};

    // One row per code and name of the period, the period's totals, and
    // the period's rows of the summary's current code.
    Query SutGirisiQuery;
    Query SutGirisiTopQuery;
    Query detayQuery;
    // Under the detail: the producer's litres in each month of its period,
    // the last month chosen; empty with the detail.
    Query AylikLitreQuery;
    Field<ChartData> DetayGrafik;

    static const std::vector<GridColumn> kSummaryColumns;
    static const std::vector<TotalBox> kTotals;
    static const std::vector<GridColumn> kDetailColumns;

    void FormCreate();
    void Yenile();
    void DetayYenile();
    void YenileButClick() { Yenile(); }
    void bulButtonClick();
    void SutGirisiGridDblClick() { DetayYenile(); }
    // "CSV Olarak Kaydet…" of the summary, named after its period, and of
    // the detail, after its producer and the period it was made for.
    void RaporCsvClick();
    void DetayCsvClick();

    // Borc minus Alacak, an empty sum counting as 0; unrounded.
    static void SutGirisiQueryCalcFields(Record& row);
    static void SutGirisiTopQueryCalcFields(Record& row) { SutGirisiQueryCalcFields(row); }

    // The menu's opening: shown, then rebuilt for the dates in the pickers.
    void openFromMenu();

    // Statements for the summary's period, the one its caption shows: of
    // the current row's code, or of every code in the summary's order.
    void EkstreButClick();
    void TumEkstreButClick();
    void attachStatementPreview(StatementPreview* preview) { statementPreview_ = preview; }

private:
    bool canPrintStatements();
    void GrafikYenile(const QDate& from, const QDate& to);

    QDate summaryFrom_;
    QDate summaryTo_;
    QString detayCsvName_;
    StatementPreview* statementPreview_ = nullptr;
};
