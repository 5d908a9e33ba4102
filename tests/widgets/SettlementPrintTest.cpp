#include "common/Iban.h"
#include "ledger/Ledger.h"
#include "ledger/Settlement.h"
#include "ledger/Statements.h"
#include "ledger/print/SettlementPrint.h"
#include "store/Statement.h"
#include "Ledger.h"
#include "TempDatabase.h"

#include <QPageLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kLongName = QStringLiteral("Hacı Abdurrahman Karaosmanoğlu Yeşilyurtlu Büyükçiftlik Üretici Birliği");
const QString kIban = QStringLiteral("TR330006100519786457841326");
constexpr double kMargin = 12;
using LayOut = std::function<std::unique_ptr<PagedDocument>(QPagedPaintDevice&)>;

// "1.234,56" as kuruş.
qint64 kurusOf(QString text)
{
    text.remove(QLatin1Char('.')).remove(QLatin1Char(','));
    return text.toLongLong();
}

// A settlement of December with the rounding of both kinds, printed and read back.
class SettlementPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(folder.isValid());
        const auto sql = [this](const QString& text) { Statement(db.connection, text).run(); };
        addAliAndVeliDecember(db.connection);
        addAccount(db.connection, "K3", kLongName);
        sql(QStringLiteral("UPDATE Cariler SET IBAN='%1' WHERE Kodu IN ('K1','K3')").arg(kIban));
        sql(QStringLiteral("UPDATE Cariler SET Koy='Aşağıkızılcaören' WHERE Kodu='K3'"));
        // Veli: his ledger balance 20,548 against 20,54 in rounded parts.
        addIntakeRow(db.connection, {2026, 12, 4}, "K2", "Veli Öz", 1, 0, 11);
        // The long name: prices whose rounded amounts fall a kuruş short of the milk money.
        addIntakeRow(db.connection, {2026, 12, 5}, "K3", kLongName, 1, 0, 10.004);
        addIntakeRow(db.connection, {2026, 12, 6}, "K3", kLongName, 1, 0, 12.003);
        addIntakeRow(db.connection, {2026, 12, 7}, "K3", kLongName, 600, 400, 15.5);
        // Only his milk measured: fat 3,92 over both pours, protein 3,30 from the morning's.
        sql(QStringLiteral("UPDATE SutGirisi SET SYag=3.8, AYag=4.1, SProtein=3.3 WHERE Kodu='K3' AND Sabah=600"));
        addPaymentRow(db.connection, {2026, 12, 20}, "K3", kLongName, {}, 5000);
        for (const auto& [name, oran] : {std::pair{"Gelir Vergisi Stopajı", 2.0}, {"Borsa Tescil Ücreti", 0.2}})
            ASSERT_EQ(settlements.saveDeduction({0, QString::fromUtf8(name), oran, {2026, 1, 1}}),
                      Settlements::DeductionCheck::Ok);
    }

    Settlement december() const { return settlements.compute({2026, 12, 1}, {2026, 12, 31}); }

    // Writes the pages on the paper; pdftotext's output with the options.
    QString printed(QPageSize::PageSizeId paper, const LayOut& layOut, const QStringList& options)
    {
        const QString pdf = folder.filePath(QStringLiteral("pusula.pdf"));
        const QPageLayout layout(QPageSize(paper), QPageLayout::Portrait, QMarginsF(kMargin, kMargin, kMargin, kMargin),
                                 QPageLayout::Millimeter);
        EXPECT_EQ(writePagesPdf(pdf, layout, 1200, layOut), QString());
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), options + QStringList{pdf, QStringLiteral("-")});
        EXPECT_TRUE(reader.waitForFinished(30000));
        return QString::fromUtf8(reader.readAllStandardOutput());
    }
    static QStringList pagesOf(const QString& text)
    {
        QStringList pages = text.split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
        return pages;
    }

    QTemporaryDir folder;
    TempDatabase db;
    Ledger ledger{db.connection};
    Settlements settlements{ledger};
};

// Adds a slip up line by line as a person would with a calculator, failing
// where a printed sum differs from what its lines give. Returns Ödenecek.
QString addUp(const QString& slip, const std::string& who)
{
    const QString amount = QStringLiteral("(-?[0-9.]+,[0-9]{2})");
    // A price to the kuruş, or to four places where it is finer.
    const QRegularExpression priceRow(QStringLiteral("^\\s*([0-9.]+,[0-9]{2})\\s+([0-9.]+),([0-9]{2}|[0-9]{4})\\s+") + amount +
                                      QStringLiteral("\\s*$"));
    const QRegularExpression rateRow(QStringLiteral("^\\s*\\S.*?\\s+%([0-9]+),([0-9]{4})\\s+") + amount + QStringLiteral("\\s*$"));
    const QRegularExpression labelled(QStringLiteral("^\\s*(\\S.*?)\\s+(?:([+\\x{2212}])\\s+)?") + amount + QStringLiteral("\\s*$"));
    qint64 running = 0, milk = 0, deductions = 0;
    QString odenecek;
    const auto half = [](qint64 n, qint64 d) { return (n >= 0 ? n + d / 2 : n - d / 2) / d; };
    for (const QString& line : slip.split(QLatin1Char('\n'))) {
        if (const auto m = priceRow.match(line); m.hasMatch()) {
            const qint64 price = m.captured(2).remove(QLatin1Char('.')).toLongLong() * 10000 +
                                 m.captured(3).toLongLong() * (m.captured(3).size() == 2 ? 100 : 1);
            EXPECT_EQ(half(kurusOf(m.captured(1)) * price, 10000), kurusOf(m.captured(4))) << who << ": " << line.toStdString();
            running += kurusOf(m.captured(4));
        } else if (const auto r = rateRow.match(line); r.hasMatch()) {
            const qint64 rate = r.captured(1).toLongLong() * 10000 + r.captured(2).toLongLong();
            EXPECT_EQ(half(milk * rate, 1000000), kurusOf(r.captured(3))) << who << ": " << line.toStdString();
            deductions += kurusOf(r.captured(3));
        } else if (const auto l = labelled.match(line); l.hasMatch()) {
            const QString label = l.captured(1);
            const qint64 value = kurusOf(l.captured(3)) * (l.captured(2) == QString(QChar(0x2212)) ? -1 : 1);
            if (label == QStringLiteral("Süt Tutarı")) {
                EXPECT_EQ(value, running) << who;
                milk = value;
            } else if (label == QStringLiteral("Kesinti Toplamı")) {
                EXPECT_EQ(-value, deductions) << who;
                running = milk + value;
            } else if (!l.captured(2).isEmpty()) {
                running += value;
            } else {
                EXPECT_EQ(value, running) << who << ": " << label.toStdString();
                if (label == QStringLiteral("Ödenecek")) odenecek = l.captured(3);
            }
        }
    }
    return odenecek;
}

TEST_F(SettlementPrintTest, EachSlipAddsUpAsPrintedOnA5AndTwoToAnA4)
{
    const Settlement settlement = december();
    ASSERT_EQ(settlement.lines.size(), 3u);
    const std::pair<QString, QString> expected[] = {
        {QStringLiteral("Ali Işık"), QStringLiteral("541,91")},
        {QStringLiteral("Veli Öz"), QStringLiteral("20,54")},
        {kLongName, QStringLiteral("10.180,53")},
    };
    const struct {
        QPageSize::PageSizeId paper;
        bool twoPerA4;
        int pages;
    } papers[] = {{QPageSize::A5, false, 3}, {QPageSize::A4, true, 2}};
    for (const auto& paper : papers) {
        const QStringList pages = pagesOf(printed(
            paper.paper,
            [&](QPagedPaintDevice& device) { return layOutSlips(device, settlement, paper.twoPerA4); },
            {QStringLiteral("-layout")}));
        ASSERT_EQ(pages.size(), paper.pages) << paper.twoPerA4;
        const QString all = pages.join(QLatin1Char('\n'));
        EXPECT_EQ(all.count(QStringLiteral("Hakediş Pusulası")), 3);
        EXPECT_EQ(all.count(QStringLiteral("Teslim Eden")), 3);
        // The price lines' kuruş short of the milk money, and Veli's ledger balance.
        EXPECT_EQ(all.count(AccountStatement::kRoundingNote), 2);
        EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("Defterdeki bakiye\\s+20,55\\n")))) << paper.twoPerA4;
        EXPECT_TRUE(all.contains(QStringLiteral("IBAN: —"))) << "Veli has none";
        EXPECT_TRUE(all.contains(QStringLiteral("Dönem: 01.12.2026–31.12.2026")));
        EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("Ort\\. Yağ: %3,92\\s+Ort\\. Protein: %3,30\\n"))));
        EXPECT_EQ(all.count(AverageQuality::kYagName), 1) << "none said for the unmeasured";
        for (const auto& [name, amount] : expected) {
            const auto page = std::find_if(pages.begin(), pages.end(), [&](const QString& p) { return p.contains(name); });
            ASSERT_NE(page, pages.end()) << name.toStdString();
            EXPECT_TRUE(page->contains(QRegularExpression(QStringLiteral("Ödenecek\\s+") + QRegularExpression::escape(amount))))
                << name.toStdString();
            if (!paper.twoPerA4) {
                EXPECT_EQ(addUp(*page, name.toStdString()), amount);
            }
        }
    }
    // Posted, the slip says so.
    ASSERT_EQ(settlements.post({2026, 12, 1}, {2026, 12, 31}).outcome, Settlements::PostOutcome::Posted);
    const Settlement posted = december();
    const QString text = printed(QPageSize::A5, [&](QPagedPaintDevice& device) { return layOutSlips(device, posted, false); },
                                 {QStringLiteral("-layout")});
    EXPECT_EQ(text.count(QStringLiteral("Kaydedildi ") + posted.posting->zaman.toString(QStringLiteral("dd.MM.yyyy HH:mm"))), 3);
}

// The long name and the IBAN whole, every word inside the printable area,
// on the slips and on a payout list long enough for two pages.
TEST_F(SettlementPrintTest, LongNamesStayWholeInsideThePageAndTheListGoesOnOverPages)
{
    for (int i = 10; i < 70; ++i) {
        const QString code = QStringLiteral("K%1").arg(i);
        addAccount(db.connection, code, QStringLiteral("Üretici %1").arg(i));
        addIntakeRow(db.connection, {2026, 12, 8}, code, QStringLiteral("Üretici %1").arg(i), i, 0, 14);
    }
    Statement(db.connection, QStringLiteral("UPDATE Cariler SET IBAN='%1' WHERE Kodu LIKE 'K__'").arg(kIban)).run();
    const Settlement settlement = december();
    const PayoutList payouts = payoutList(settlement);
    ASSERT_EQ(payouts.bank.size(), 62u);
    const struct {
        const char* what;
        QPageSize::PageSizeId paper;
        LayOut layOut;
    } papers[] = {
        {"A5", QPageSize::A5, [&](QPagedPaintDevice& d) { return layOutSlips(d, settlement, false); }},
        {"A4", QPageSize::A4, [&](QPagedPaintDevice& d) { return layOutSlips(d, settlement, true); }},
        {"list", QPageSize::A4, [&](QPagedPaintDevice& d) { return layOutPayoutList(d, settlement, payouts); }},
    };
    const double margin = kMargin / 25.4 * 72;
    for (const auto& paper : papers) {
        const QString boxes = printed(paper.paper, paper.layOut, {QStringLiteral("-bbox")});
        const double width = QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\"")).match(boxes).captured(1).toDouble();
        ASSERT_GT(width, 0) << paper.what;
        for (const auto& m : QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"")).globalMatch(boxes)) {
            EXPECT_GE(m.captured(1).toDouble(), margin - 0.5) << paper.what;
            EXPECT_LE(m.captured(2).toDouble(), width - margin + 0.5) << paper.what;
        }
        const QString text = printed(paper.paper, paper.layOut, {QStringLiteral("-raw")});
        EXPECT_TRUE(text.contains(kLongName)) << paper.what;
        EXPECT_TRUE(text.contains(ibanGroups(kIban))) << paper.what;
        if (QByteArray(paper.what) != "list") continue;
        const QStringList pages = pagesOf(text);
        ASSERT_GE(pages.size(), 2);
        for (int page = 0; page < pages.size(); ++page) {
            EXPECT_TRUE(pages[page].contains(QStringLiteral("Sayfa %1/%2").arg(page + 1).arg(pages.size()))) << page;
            EXPECT_TRUE(pages[page].contains(QStringLiteral("Adı Soyadı IBAN Tutar Açıklama"))) << page;
        }
        EXPECT_TRUE(pages.last().contains(QStringLiteral("Toplam ") + payouts.total().text()));
        // Veli has no IBAN: named apart with his amount.
        const QString apart = pages.last().mid(pages.last().indexOf(QStringLiteral("IBAN'ı olmayanlar")));
        EXPECT_TRUE(apart.contains(QStringLiteral("Veli Öz K2 20,54"))) << apart.toStdString();
    }
}

}  // namespace
