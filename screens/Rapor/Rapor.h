#pragma once

#include "common/Chart.h"
#include "common/Field.h"
#include "common/GridColumns.h"
#include "common/Totals.h"
#include "ledger/Statements.h"
#include "screens/Form.h"
#include "store/Query.h"

// Shows statements for printing or saving; the window implements it, tests
// record what they are given.
class StatementPreview {
public:
    virtual ~StatementPreview() = default;
    // One statement per producer, each starting on a new page.
    virtual void previewStatements(const std::vector<AccountStatement>& statements, const QString& fileName) = 0;
    // Told while every statement of a period is made; false cancels.
    virtual bool progress(int /*done*/, int /*total*/) { return true; }
};

// The account balance report: what is still owed to each producer between
// two dates, with one producer's ledger rows beside it. It only reads.
class TRaporF : public TForm {
public:
    TRaporF(Ledger& ledger, Dialogs& dialogs);

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
    Totals SutGirisiToplam;
    Query detayQuery;
    // Under the detail: the producer's litres in each month of its period,
    // with the month's average fat where measured, the last month chosen;
    // empty with the detail.
    Query AylikLitreQuery;
    Field<ChartData> DetayGrafik;

    static const std::vector<GridColumn>& kSummaryColumns;
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
    void RaporXlsxClick();
    void DetayXlsxClick();
    // "Excel Olarak Kaydet…" of the statements on preview, named as their PDF.
    void saveStatementsAsXlsx(const std::vector<AccountStatement>& statements, const QString& fileName);


    // The menu's opening: shown, then rebuilt for the dates in the pickers.
    void openFromMenu();

    // Statements for the summary's period, the one its caption shows: of
    // the current row's code, or of every code in the summary's order.
    void EkstreButClick();
    void TumEkstreButClick();
    void attachStatementPreview(StatementPreview* preview) { statementPreview_ = preview; }

private:
    // The summary of a period, its totals and the current producer's rows.
    void Listele(const QDate& from, const QDate& to);
    bool canPrintStatements();
    void GrafikYenile(const QDate& from, const QDate& to);

    QDate summaryFrom_;
    QDate summaryTo_;
    QString detayCsvName_;
    StatementPreview* statementPreview_ = nullptr;
};
