#include "ledger/print/StatementPrint.h"
#include "ScreenFixture.h"
#include "store/Statement.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTest>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QDate kMar1(2021, 3, 1);
const QDate kMar31(2021, 3, 31);

// Statements printed to a PDF file and read back as text, page by page.
class StatementPrintTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(folder.isValid());
    }

    // A month of one producer's milk, morning and evening, paid every ten days.
    void monthOf(const QString& code, const QString& name, int months = 1)
    {
        for (QDate day = kMar1; day < kMar1.addMonths(months); day = day.addDays(1)) {
            addIntakeRow(db.connection, day, code, name, 20 + day.day() % 5 * 0.5, 17.25 + day.day() % 3, 7.35,
                         day.day() == 1 ? QStringLiteral("ayın ilk sütü") : QString());
            if (day.day() % 10 == 0)
                addPaymentRow(db.connection, day, code, name, 0, 1200 + day.day(), QStringLiteral("nakit ödeme"));
        }
    }

    // The pages of the PDF as pdftotext lays them out.
    QStringList printed(const std::vector<AccountStatement>& statements, QPageSize::PageSizeId size)
    {
        const QString pdf = folder.filePath(QStringLiteral("ekstre.pdf"));
        print(statements, size, pdf);
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(reader.waitForFinished(30000));
        QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
        return pages;
    }

    // The height of the smallest word on the pages, in points: the type's size, near enough.
    double smallestWord(const QString& pdf)
    {
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(reader.waitForFinished(30000));
        double smallest = 1e9;
        const QRegularExpression box(QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\""));
        for (const QRegularExpressionMatch& m : box.globalMatch(QString::fromUtf8(reader.readAllStandardOutput())))
            smallest = std::min(smallest, m.captured(2).toDouble() - m.captured(1).toDouble());
        return smallest;
    }

    void print(const std::vector<AccountStatement>& statements, QPageSize::PageSizeId size, const QString& pdf,
               const QString& family = kStatementFontFamily)
    {
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(size));
            printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
            EXPECT_TRUE(printStatements(printer, statements, {}, family));
        }
    }

    // The right edge of the rightmost word on any page, in points from the
    // paper's left edge, and the paper's width.
    static std::pair<double, double> rightmostWord(const QString& pdf)
    {
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(reader.waitForFinished(30000));
        const QString boxes = QString::fromUtf8(reader.readAllStandardOutput());
        double right = 0;
        for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("xMax=\"([0-9.]+)\"")).globalMatch(boxes))
            right = std::max(right, m.captured(1).toDouble());
        const QRegularExpressionMatch page = QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\"")).match(boxes);
        return {right, page.captured(1).toDouble()};
    }

    // A printed line holding these cells in this order, nothing cut short.
    static bool hasRow(const QString& page, const QStringList& cells)
    {
        QStringList parts;
        // A cell ending in "…" stands for a text that starts so and goes on
        // over the next lines.
        const QChar ellipsis(0x2026);
        for (const QString& cell : cells)
            if (cell.endsWith(ellipsis))
                parts << QRegularExpression::escape(cell.chopped(1)) + QStringLiteral("[^\\n]*");
            else if (!cell.isEmpty())
                parts << QRegularExpression::escape(cell);
        const QRegularExpression row(QStringLiteral("^\\s*") + parts.join(QStringLiteral("\\s+")) + QStringLiteral("\\s*$"),
                                     QRegularExpression::MultilineOption);
        return row.match(page).hasMatch();
    }

    AccountStatement reportStatement(const QString& code)
    {
        report.ilktarihDate.setDate(kMar1);
        report.sontarihDate.setDate(kMar31);
        report.Yenile();
        return buildStatement(db.connection, code, QString(), kMar1, kMar31);
    }

    QTemporaryDir folder;
};

TEST_F(StatementPrintTest, AMonthOnA4AndA5ShowsEveryRowWholeAndTheReportsBalance)
{
    {
        TableCursor accounts(db.connection, schema::cariler());
        accounts.open();
        accounts.append()
            .setField(QStringLiteral("Kodu"), QStringLiteral("K1"))
            .setField(QStringLiteral("Adi"), QStringLiteral("Çağlar Öğüt"))
            .setField(QStringLiteral("Koy"), QStringLiteral("Yeşilöz"))
            .post();
    }
    monthOf(QStringLiteral("K1"), QStringLiteral("Çağlar Öğüt"));
    Statement(db.connection, QStringLiteral("UPDATE SutGirisi SET SYag=3.6, SProtein=3.2 WHERE Gelir_Gider='S'")).run();
    addPaymentRow(db.connection, QDate(2021, 2, 20), QStringLiteral("K1"), QStringLiteral("Çağlar Öğüt"), 0, 350);
    // A note as long as the box takes goes on over more lines beside its figures.
    const QString longNote = QStringLiteral("süt güğümü ") + QString(QStringLiteral("ve yem çuvalları ")).repeated(14);
    addPaymentRow(db.connection, QDate(2021, 3, 31), QStringLiteral("K1"), QStringLiteral("Çağlar Öğüt"), 0, 1.5, longNote);
    const AccountStatement statement = reportStatement(QStringLiteral("K1"));
    ASSERT_GE(statement.lines.size(), 35u);
    ASSERT_TRUE(report.SutGirisiQuery.locate(QStringLiteral("Kodu"), QStringLiteral("K1")));
    const QString reportBalance = formatFloat(kAmountPattern, report.SutGirisiQuery.asFloat(QStringLiteral("Bakiye")) - 350);
    EXPECT_EQ(statement.kapanis().text(), reportBalance);

    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::A5}) {
        const QStringList pages = printed({statement}, size);
        const bool a5 = size == QPageSize::A5;
        const std::string name = a5 ? "A5" : "A4";
        // A5 is laid out for A5, not shrunk from A4.
        EXPECT_GE(smallestWord(folder.filePath(QStringLiteral("ekstre.pdf"))), 8.0) << name;
        ASSERT_FALSE(pages.isEmpty()) << name;
        const QString all = pages.join(QLatin1Char('\n'));
        EXPECT_TRUE(all.contains(QStringLiteral("Orvalin Kovanta"))) << name;
        EXPECT_TRUE(all.contains(QStringLiteral("Hesap Ekstresi"))) << name;
        for (const QString& line : statement.headerLines()) EXPECT_TRUE(pages[0].contains(line)) << name << " " << line.toStdString();
        EXPECT_TRUE(hasRow(pages[0], statement.openingCells())) << name;
        EXPECT_TRUE(pages[0].contains(QStringLiteral("-350,00"))) << name;
        // On A5 the second figure of a shared column stands on the row's
        // second line: the first line holds the rest.
        const std::vector<int> secondLine = a5 ? std::vector<int>{AccountStatement::FisNo, AccountStatement::Aksam,
                                                                  AccountStatement::Miktar}
                                               : std::vector<int>{};
        for (const AccountStatementLine& line : statement.lines) {
            QStringList cells = line.cells();
            for (int field : secondLine) cells[field].clear();
            if (line.aciklama == longNote) cells[AccountStatement::Aciklama] = QStringLiteral("süt güğümü ve…");
            EXPECT_TRUE(hasRow(all, cells)) << name << " " << cells.join(QLatin1Char('|')).toStdString();
        }
        EXPECT_EQ(all.count(QStringLiteral("çuvalları")), 14) << name << ": the whole note, over its lines";
        if (!a5) {
            EXPECT_TRUE(hasRow(pages[0], AccountStatement::kColumnTitles)) << name;
            EXPECT_TRUE(hasRow(pages.last(), statement.totalCells())) << name;
        }
        EXPECT_TRUE(pages.last().contains(QStringLiteral("Üreticiye borcumuz: ") + reportBalance)) << name;
        EXPECT_TRUE(pages.last().contains(QStringLiteral("Ort. Yağ: %3,60"))) << name;
        EXPECT_TRUE(pages.last().contains(QStringLiteral("Ort. Protein: %3,20"))) << name;
        for (int page = 0; page < pages.size(); ++page)
            EXPECT_TRUE(pages[page].contains(AccountStatement::pageText(page + 1, static_cast<int>(pages.size())))) << name;
    }
}

// A face wider than the one the layout was made for (DejaVu Sans where
// Liberation Sans is missing) still prints every figure whole, inside the
// paper's printable area, on A4 and A5 alike.
TEST_F(StatementPrintTest, AWiderFaceStillPrintsEveryFigureWholeInsideThePage)
{
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) GTEST_SKIP() << "DejaVu Sans is not installed";
    // Balances past a million: the widest figures a statement holds.
    for (QDate day = kMar1; day <= kMar31; day = day.addDays(1)) {
        addIntakeRow(db.connection, day, QStringLiteral("K1"), QStringLiteral("Büyük Çiftlik"), 4800.5, 3900.25, 48.75);
        if (day.day() % 10 == 0)
            addPaymentRow(db.connection, day, QStringLiteral("K1"), QStringLiteral("Büyük Çiftlik"), 0, 104250.5,
                          QStringLiteral("havale"));
    }
    const AccountStatement statement = buildStatement(db.connection, QStringLiteral("K1"), QString(), kMar1, kMar31);
    ASSERT_GT(statement.kapanis().text().size(), 12u) << statement.kapanis().text().toStdString();
    const QString pdf = folder.filePath(QStringLiteral("ekstre.pdf"));
    const double margin = 12 / 25.4 * 72;
    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::A5}) {
        const std::string name = size == QPageSize::A5 ? "A5" : "A4";
        print({statement}, size, pdf, QStringLiteral("DejaVu Sans"));
        const auto [right, width] = rightmostWord(pdf);
        EXPECT_LE(right, width - margin + 0.5) << name;
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(reader.waitForFinished(30000));
        const QString all = QString::fromUtf8(reader.readAllStandardOutput());
        EXPECT_TRUE(all.contains(QStringLiteral("Bakiye"))) << name;
        EXPECT_TRUE(all.contains(QStringLiteral("Alacağımız"))) << name;
        QStringList lineEnds;
        for (const QString& line : all.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty()) lineEnds << line.trimmed().split(QLatin1Char(' ')).last();
        for (const AccountStatementLine& line : statement.lines)
            EXPECT_TRUE(lineEnds.contains(line.cells()[AccountStatement::Bakiye]))
                << name << " " << line.cells()[AccountStatement::Bakiye].toStdString();
        EXPECT_TRUE(all.contains(statement.closingLine())) << name;
    }
}

}  // namespace
