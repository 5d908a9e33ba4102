#include "ScreenFixture.h"
#include "store/Statement.h"

#include <QSet>

namespace {

const QDate kMar1(2021, 3, 1);
const QDate kMar31(2021, 3, 31);

// Keeps what the report hands over for printing.
class RecordingPreview : public StatementPreview {
public:
    void previewStatements(const std::vector<AccountStatement>& statements, const QString& fileName) override
    {
        shown.push_back(statements);
        fileNames << fileName;
    }
    std::vector<std::vector<AccountStatement>> shown;
    QStringList fileNames;
};

class EkstreTest : public ScreenFixture {
protected:
    EkstreTest() { report.attachStatementPreview(&preview); }

    void accountWithVillage(const QString& code, const QString& name, const QString& village)
    {
        TableCursor table(db.connection, schema::cariler());
        table.open();
        table.append()
            .setField(QStringLiteral("Kodu"), code)
            .setField(QStringLiteral("Adi"), name)
            .setField(QStringLiteral("Koy"), village)
            .post();
    }
    void refresh(const QDate& from, const QDate& to)
    {
        report.ilktarihDate.setDate(from);
        report.sontarihDate.setDate(to);
        report.Yenile();
    }
    void standOn(const QString& code, const QString& name)
    {
        for (int row = 0; row < report.SutGirisiQuery.recordCount(); ++row)
            if (report.SutGirisiQuery.valueAt(row, QStringLiteral("Kodu")).toString() == code &&
                report.SutGirisiQuery.valueAt(row, QStringLiteral("Adi")).toString() == name) {
                report.SutGirisiQuery.moveTo(row);
                return;
            }
        ADD_FAILURE() << "no line " << code.toStdString() << " " << name.toStdString();
    }
    // The statement of the summary's current row, as "Ekstre" hands it over.
    AccountStatement statementHere()
    {
        const size_t before = preview.shown.size();
        report.EkstreButClick();
        if (preview.shown.size() != before + 1 || preview.shown.back().size() != 1) {
            ADD_FAILURE() << "no single statement handed over";
            return {};
        }
        return preview.shown.back().front();
    }
    static QStringList days(const AccountStatement& statement)
    {
        QStringList days;
        for (const AccountStatementLine& line : statement.lines) days << line.tarih;
        return days;
    }
    static double lira(const Money& money) { return static_cast<double>(money.kurus()) / 100; }
    static QList<double> balances(const AccountStatement& statement)
    {
        QList<double> balances;
        for (const AccountStatementLine& line : statement.lines) balances << lira(line.bakiye);
        return balances;
    }

    RecordingPreview preview;
};

TEST_F(EkstreTest, TheBalanceBroughtForwardCountsOnlyTheCodesRowsBeforeThePeriod)
{
    // Intake at 1 a litre, some with the morning's fat measured: the period's
    // average, like the balance, counts only the code's rows in it.
    const struct {
        QDate day;
        const char* code;
        double borc;
        double alacak;
        QVariant yag;
    } ledger[] = {
        {QDate(2020, 6, 1), "K1", 100, 0, 5.0},      // long before: brought forward
        {QDate(2021, 2, 28), "K1", 50, 30, {}},      // the day before: brought forward
        {QDate(2021, 2, 28), "K2", 999, 0, 9.0},     // another code: not his
        {kMar1, "K1", 10, 0, 3.4},                   // the first day belongs to the period
        {QDate(2021, 3, 15), "K1", 0, 25, {}},
        {kMar31, "K1", 7, 0, {}},                    // the last day too; not measured, it weighs nothing
        {QDate(2021, 4, 1), "K1", 1000, 0, 5.0},     // after the period: nowhere
    };
    for (const auto& row : ledger) {
        const QString code = QString::fromLatin1(row.code);
        if (row.alacak > 0)
            paymentRow(row.day, code, QStringLiteral("Ali"), row.borc, row.alacak);
        else
            intakeRow(row.day, code, QStringLiteral("Ali"), row.borc, 0, 1);
        Statement measured(db.connection, QStringLiteral("UPDATE SutGirisi SET SYag=?1 WHERE SGID=(SELECT MAX(SGID) FROM SutGirisi)"));
        measured.bind(1, row.yag);
        measured.run();
    }
    refresh(kMar1, kMar31);
    standOn(QStringLiteral("K1"), QStringLiteral("Ali"));
    const AccountStatement statement = statementHere();

    EXPECT_EQ(statement.devreden, Money::fromKurus(12000));
    EXPECT_EQ(statement.openingCells()[AccountStatement::Bakiye], QStringLiteral("120,00"));
    EXPECT_EQ(days(statement), (QStringList{"01.03.2021", "15.03.2021", "31.03.2021"}));
    EXPECT_EQ(balances(statement), (QList<double>{130, 105, 112}));
    EXPECT_EQ(statement.summaryLines(), (QStringList{"Ort. Yağ: %3,40", "Devreden Bakiye: 120,00", "Dönem: -8,00"}));
    EXPECT_EQ(statement.closingLine(), QStringLiteral("Üreticiye borcumuz: 112,00"));

    // A period that starts before every row brings nothing forward.
    refresh(QDate(2020, 1, 1), kMar31);
    standOn(QStringLiteral("K1"), QStringLiteral("Ali"));
    const AccountStatement whole = statementHere();
    EXPECT_TRUE(whole.devreden.isZero());
    EXPECT_EQ(whole.openingCells()[AccountStatement::Bakiye], QStringLiteral("0,00"));
    EXPECT_EQ(whole.kapanis(), Money::fromKurus(11200));
    EXPECT_EQ(whole.summaryLines().value(0), QStringLiteral("Ort. Yağ: %4,85")) << "100 L at 5,00 and 10 L at 3,40";
}

TEST_F(EkstreTest, EachStatementEndsOnItsCodesBalanceInTheReport)
{
    // A month of two producers' milk with payments between, nothing before.
    for (int day = 1; day <= 31; ++day) {
        const QDate date(2021, 3, day);
        intakeRow(date, QStringLiteral("K1"), QStringLiteral("Çağlar Öğüt"), 20.5 + day % 3, 18 + day % 4, 7.35);
        if (day % 2) intakeRow(date, QStringLiteral("K2"), QStringLiteral("Şule Işık"), 11.25, 0, 7.1);
        if (day % 10 == 0) paymentRow(date, QStringLiteral("K1"), QStringLiteral("Çağlar Öğüt"), 0, 1500.4, QStringLiteral("nakit"));
        if (day == 12) paymentRow(date, QStringLiteral("K2"), QStringLiteral("Şule Işık"), 12.5, 300, QStringLiteral("yem"));
    }
    refresh(kMar1, kMar31);
    ASSERT_EQ(report.SutGirisiQuery.recordCount(), 2);
    for (int row = 0; row < 2; ++row) {
        report.SutGirisiQuery.moveTo(row);
        const QString code = report.SutGirisiQuery.asString(QStringLiteral("Kodu"));
        const AccountStatement statement = statementHere();
        ASSERT_FALSE(statement.lines.empty()) << code.toStdString();
        // The period's figure is the report's "Kalan Tutar", and so the last balance.
        const QString bakiye = formatFloat(kAmountPattern, report.SutGirisiQuery.asFloat(QStringLiteral("Bakiye")));
        EXPECT_EQ(statement.donem().text(), bakiye) << code.toStdString();
        EXPECT_EQ(statement.lines.back().bakiye.text(), bakiye) << code.toStdString();
        const double rows = static_cast<double>(statement.lines.size());
        EXPECT_NEAR(lira(statement.borcToplami), report.SutGirisiQuery.asFloat(QStringLiteral("Borc_Toplami")), 0.005 * rows);
        EXPECT_NEAR(lira(statement.alacakToplami), report.SutGirisiQuery.asFloat(QStringLiteral("Alacak_Toplami")), 0.005 * rows);
        report.DetayYenile();
        const bool rounded = statement.lines.back().aciklama == AccountStatement::kRoundingNote;
        EXPECT_EQ(static_cast<int>(statement.lines.size()) - (rounded ? 1 : 0), report.detayQuery.recordCount());
    }

    // With rows before the period, the statement ends on what is brought
    // forward plus the report's balance of the period.
    paymentRow(QDate(2021, 2, 27), QStringLiteral("K2"), QStringLiteral("Şule Işık"), 0, 40);
    refresh(kMar1, kMar31);
    standOn(QStringLiteral("K2"), QStringLiteral("Şule Işık"));
    const AccountStatement statement = statementHere();
    EXPECT_EQ(statement.lines.back().bakiye.text(),
              formatFloat(kAmountPattern, report.SutGirisiQuery.asFloat(QStringLiteral("Bakiye")) - 40));
}

TEST_F(EkstreTest, ACodeUnderTwoNamesHasOneStatementWithAllItsRowsUnderTheAccountsName)
{
    accountWithVillage(QStringLiteral("K1"), QStringLiteral("Ali Can Er"), QStringLiteral("Işıklı"));
    intakeRow(QDate(2021, 3, 5), QStringLiteral("K1"), QStringLiteral("Ali Can"), 10, 0, 1, QStringLiteral("eski ad"));
    intakeRow(QDate(2021, 3, 6), QStringLiteral("K1"), QStringLiteral("Ali Can Er"), 20, 0, 1);
    paymentRow(QDate(2021, 3, 7), QStringLiteral("K1"), QStringLiteral("Ali Can Er"), 0, 5);
    intakeRow(QDate(2021, 3, 5), QStringLiteral("K2"), QStringLiteral("Ali Cem"), 7, 0, 1);
    refresh(kMar1, kMar31);
    ASSERT_EQ(report.SutGirisiQuery.recordCount(), 3);

    for (const QString& name : {QStringLiteral("Ali Can"), QStringLiteral("Ali Can Er")}) {
        standOn(QStringLiteral("K1"), name);
        const AccountStatement statement = statementHere();
        EXPECT_EQ(days(statement), (QStringList{"05.03.2021", "06.03.2021", "07.03.2021"})) << name.toStdString();
        EXPECT_EQ(statement.headerLines(), (QStringList{"Kodu: K1", "Adı Soyadı: Ali Can Er",
                                                       "Hareketlerdeki diğer adı: Ali Can", "Köy: Işıklı",
                                                       "Dönem: 01.03.2021 - 31.03.2021"}));
        EXPECT_EQ(statement.kapanis(), Money::fromKurus(2500));
    }

    // All at once: K1 once, under the account's name, then K2.
    report.TumEkstreButClick();
    ASSERT_EQ(preview.shown.back().size(), 2u);
    EXPECT_EQ(preview.shown.back()[0].kodu, QStringLiteral("K1"));
    EXPECT_EQ(preview.shown.back()[1].kodu, QStringLiteral("K2"));
    EXPECT_EQ(preview.shown.back()[1].adi, QStringLiteral("Ali Cem"));
}

TEST_F(EkstreTest, ADeletedAccountStillGetsItsStatementFromTheLedger)
{
    accountWithVillage(QStringLiteral("K1"), QStringLiteral("Oya Gül"), QStringLiteral("Çamlıca"));
    intakeRow(QDate(2021, 3, 2), QStringLiteral("K1"), QStringLiteral("Oya Gül"), 12, 8, 2.5);
    paymentRow(QDate(2021, 3, 3), QStringLiteral("K1"), QStringLiteral("Oya Gül"), 0, 20);
    {
        TableCursor table(db.connection, schema::cariler());
        table.open();
        ASSERT_TRUE(table.locate(QStringLiteral("Kodu"), QStringLiteral("K1")));
        table.deleteCurrent();
    }
    refresh(kMar1, kMar31);
    const AccountStatement statement = statementHere();
    EXPECT_EQ(statement.headerLines(),
              (QStringList{"Kodu: K1", "Adı Soyadı: Oya Gül", "Dönem: 01.03.2021 - 31.03.2021"}));
    EXPECT_EQ(days(statement), (QStringList{"02.03.2021", "03.03.2021"}));
    EXPECT_EQ(statement.kapanis(), Money::fromKurus(3000));
    EXPECT_EQ(preview.fileNames.back(), QStringLiteral("Ekstre-K1-Oya Gül-01.03.2021-31.03.2021.pdf"));
}

// Every figure as printed, so that a calculator over the paper agrees: each
// amount rounded once, each balance the one before plus and minus them,
// and one line for what the rounding of the rows left over.
TEST_F(EkstreTest, ARowShowsItsFiguresAsAmountsAndAPaymentNoLitresOrPrice)
{
    accountWithVillage(QStringLiteral("K7"), QStringLiteral("İbrahim Öztürk"), QStringLiteral("Güzelyurt"));
    intakeRow(QDate(2021, 3, 4), QStringLiteral("K7"), QStringLiteral("İbrahim Öztürk"), 1234.5, 0.25, 7.5, QStringLiteral("süt"));
    paymentRow(QDate(2021, 3, 5), QStringLiteral("K7"), QStringLiteral("İbrahim Öztürk"), 0, 9300, QStringLiteral("yem çuvalı"));
    paymentRow(QDate(2021, 3, 6), QStringLiteral("K7"), QStringLiteral("İbrahim Öztürk"), QVariant(), 0.5);
    refresh(kMar1, kMar31);
    const AccountStatement statement = statementHere();
    ASSERT_EQ(statement.lines.size(), 4u);
    EXPECT_EQ(statement.lines[0].cells(),
              (QStringList{"04.03.2021", "", "süt", "1.234,50", "0,25", "7,50", "", "9.260,63", "", "9.260,63"}));
    EXPECT_EQ(statement.lines[1].cells(),
              (QStringList{"05.03.2021", "F1", "yem çuvalı", "", "", "", "1,00", "0,00", "9.300,00", "-39,37"}));
    EXPECT_EQ(statement.lines[2].cells(), (QStringList{"06.03.2021", "F1", "", "", "", "", "1,00", "", "0,50", "-39,87"}));
    // Exactly 9.260,625 - 9.300,50 = -39,875, rounded once -39,88.
    EXPECT_EQ(statement.lines[3].cells(), (QStringList{"", "", "Yuvarlama farkı", "", "", "", "", "", "0,01", "-39,88"}));
    EXPECT_EQ(statement.totalCells(),
              (QStringList{"", "", "Toplam", "1.234,50", "0,25", "", "", "9.260,63", "9.300,51", "-39,88"}));
    EXPECT_EQ(statement.closingLine(), QStringLiteral("Üreticinin borcu: 39,88"));
    EXPECT_EQ(statement.headerLines()[1], QStringLiteral("Adı Soyadı: İbrahim Öztürk"));
    EXPECT_EQ(statement.headerLines()[2], QStringLiteral("Köy: Güzelyurt"));
}

TEST_F(EkstreTest, ApostrophesAndSlashesInCodesAndNames)
{
    const struct {
        const char* code;
        const char* name;
        double litres;
        const char* file;
    } accounts[] = {
        {"O'Nal", "Oya O'Nal", 11, "Ekstre-O'Nal-Oya O'Nal-01.03.2021-31.03.2021.pdf"},
        {"x' OR '1'='1", "Xavier", 22, "Ekstre-x' OR '1'='1-Xavier-01.03.2021-31.03.2021.pdf"},
        {"'", "Tırnak", 33, "Ekstre-'-Tırnak-01.03.2021-31.03.2021.pdf"},
        {"K/1", "A:B*C?\"D<E>F|G\\H", 44, "Ekstre-K_1-A_B_C__D_E_F_G_H-01.03.2021-31.03.2021.pdf"},
        {".K", "Nokta", 55, "Ekstre-.K-Nokta-01.03.2021-31.03.2021.pdf"},
    };
    for (const auto& a : accounts) {
        const QString code = QString::fromUtf8(a.code);
        const QString name = QString::fromUtf8(a.name);
        // The account of the same code lies before and after the period, and in it.
        intakeRow(QDate(2021, 2, 1), code, name, 1, 0, 1);
        intakeRow(QDate(2021, 3, 2), code, name, a.litres, 0, 1);
        intakeRow(QDate(2021, 4, 1), code, name, 1000, 0, 1);
    }
    accountWithVillage(QStringLiteral("O'Nal"), QStringLiteral("Oya O'Nal"), QStringLiteral("Kır'köy"));
    refresh(kMar1, kMar31);
    ASSERT_EQ(report.SutGirisiQuery.recordCount(), 5);
    for (const auto& a : accounts) {
        standOn(QString::fromUtf8(a.code), QString::fromUtf8(a.name));
        const AccountStatement statement = statementHere();
        ASSERT_EQ(statement.lines.size(), 1u) << a.code;
        EXPECT_DOUBLE_EQ(statement.lines[0].sabah.toDouble(), a.litres) << a.code;
        EXPECT_EQ(statement.devreden, Money::fromKurus(100)) << a.code;
        EXPECT_EQ(preview.fileNames.back(), QString::fromUtf8(a.file));
    }
    standOn(QStringLiteral("O'Nal"), QStringLiteral("Oya O'Nal"));
    EXPECT_EQ(statementHere().headerLines()[2], QStringLiteral("Köy: Kır'köy"));
    EXPECT_EQ(safeFileName(QStringLiteral(".gizli\tad")), QStringLiteral("_gizli_ad"));
}

TEST_F(EkstreTest, AllProducersInTheSummarysOrderForTheSummarysPeriod)
{
    const char* names[] = {"Zeki", "Çetin", "Ayşe", "İsmail", "Irmak"};
    int code = 0;
    for (const char* name : names) {
        ++code;
        intakeRow(QDate(2021, 3, code), QStringLiteral("K%1").arg(code), QString::fromUtf8(name), code, 0, 1);
        intakeRow(QDate(2021, 4, code), QStringLiteral("K%1").arg(code), QString::fromUtf8(name), 100, 0, 1);
    }
    refresh(kMar1, kMar31);
    // The pickers moved on without "Yenile": the statements keep to what the summary shows.
    report.ilktarihDate.setDate(QDate(2021, 4, 1));
    report.sontarihDate.setDate(QDate(2021, 4, 30));
    report.TumEkstreButClick();
    ASSERT_EQ(preview.shown.size(), 1u);
    QStringList order;
    for (const AccountStatement& statement : preview.shown[0]) {
        order << statement.adi;
        EXPECT_EQ(statement.ilk, kMar1);
        EXPECT_EQ(statement.son, kMar31);
        ASSERT_EQ(statement.lines.size(), 1u);
        EXPECT_EQ(statement.lines[0].tarih.left(5), QStringLiteral("0%1.03").arg(statement.kodu.mid(1)));
    }
    EXPECT_EQ(order, (QStringList{"Ayşe", "Çetin", "Irmak", "İsmail", "Zeki"}));
    EXPECT_EQ(preview.fileNames[0], QStringLiteral("Ekstreler-01.03.2021-31.03.2021.pdf"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Whoever is owed gets a statement, also without a row in the period;
// whoever is settled and had no row gets none.
TEST_F(EkstreTest, AllStatementsReachEveryoneStillOwedFromBefore)
{
    intakeRow(QDate(2021, 2, 1), QStringLiteral("K1"), QStringLiteral("Ali"), 2000, 0, 1);
    intakeRow(QDate(2021, 2, 1), QStringLiteral("K2"), QStringLiteral("Bora"), 10, 0, 1);
    paymentRow(QDate(2021, 2, 2), QStringLiteral("K2"), QStringLiteral("Bora"), 0, 10);
    // Before the first "Yenile" there is no period; with an empty list there is no one to stand on.
    report.EkstreButClick();
    report.TumEkstreButClick();
    refresh(kMar1, kMar31);
    report.EkstreButClick();
    EXPECT_EQ(dialogs.messages, QStringList(3, TRaporF::kNoStatementMessage));
    report.TumEkstreButClick();
    ASSERT_EQ(preview.shown.size(), 1u);
    ASSERT_EQ(preview.shown[0].size(), 1u);
    const AccountStatement& owed = preview.shown[0][0];
    EXPECT_EQ(owed.kodu, QStringLiteral("K1"));
    EXPECT_TRUE(owed.lines.empty());
    EXPECT_EQ(owed.closingLine(), QStringLiteral("Üreticiye borcumuz: 2.000,00"));
}

// A line break or a tab in a name or a note prints as a blank, so a row
// stays one row; a code's other names stand under its own.
TEST_F(EkstreTest, ControlCharactersPrintAsBlanks)
{
    intakeRow(kMar1, QStringLiteral("K1"), QStringLiteral("Ali\r\nCan"), 1, 0, 1, QStringLiteral("süt\nsabah\tyem"));
    intakeRow(QDate(2021, 3, 2), QStringLiteral("K1"), QStringLiteral("Ali Can Er"), 1, 0, 1);
    refresh(kMar1, kMar31);
    const AccountStatement statement = buildStatement(db.connection, QStringLiteral("K1"), QString(), kMar1, kMar31);
    EXPECT_EQ(statement.adi, QStringLiteral("Ali Can Er")) << "the name its last row carries";
    EXPECT_EQ(statement.digerAdlar, QStringList{QStringLiteral("Ali  Can")});
    EXPECT_EQ(statement.lines[0].aciklama, QStringLiteral("süt sabah yem"));
}

}  // namespace
