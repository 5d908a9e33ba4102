#include "FakeCounter.h"
#include "ScreenFixture.h"
#include "screens/KaliteFiyati/KaliteFiyati.h"

namespace {

class QualityScreensTest : public ScreenFixture {
protected:
    TKaliteFiyatiF& prices = *screens.KaliteFiyatiF;
    FakeCounter counter;

    // Boxes in the window's order: start price, fat, protein, fat premium and
    // discount, protein premium and discount; then the grades.
    void typeLine(const QDate& from, const std::array<const char*, 7>& figures, const char* grades)
    {
        prices.YeniClick();
        prices.BaslangicDate.setDate(from);
        FigureField* boxes[] = {&prices.ReferansFiyatEdit, &prices.ReferansYagEdit, &prices.ReferansProteinEdit, &prices.YagPrimiEdit,
                                &prices.YagKesintisiEdit, &prices.ProteinPrimiEdit, &prices.ProteinKesintisiEdit};
        for (size_t i = 0; i < figures.size(); ++i) boxes[i]->setText(QString::fromUtf8(figures[i]));
        prices.HijyenEdit.setText(QString::fromUtf8(grades));
        prices.KaydetClick();
    }
};

TEST_F(QualityScreensTest, AQualityLineIsKeptAsTypedAndItsFaultsAreNamed)
{
    const struct {
        int day;  // of December
        std::array<const char*, 7> figures;
        const char* grades;
        const char* refusal;  // the box the keyboard is sent back to; none when saved
    } cases[] = {
        {1, {"", "3,6", "3,2", "0,1", "0,15", "0,2", "0,25"}, "", "ReferansFiyatEdit"},
        {1, {"15", "16", "3,2", "0,1", "0,15", "0,2", "0,25"}, "", "ReferansYagEdit"},
        {1, {"15", "3,6", "3,2", "0,1", "0,15", "0,2", "-0,25"}, "", "YagPrimiEdit"},
        {1, {"15", "3,6", "3,2", "0,1", "0,15", "0,2", "0,25"}, "A=0,05; C", "HijyenEdit"},
        {1, {"15", "3,6", "3,2", "0,1", "0,15", "0,2", "0,25"}, "A=0,05; C=-0,30", nullptr},
        // Only one line holds from a day.
        {1, {"16", "3,6", "3,2", "0", "0", "0", "0"}, "", "BaslangicDate"},
        // A premium of a quarter kuruş is kept as typed.
        {15, {"16,5", "3,5", "3,1", "0,025", "0", "0", "0"}, "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grades);
        const int before = count(QStringLiteral("Kalite_Fiyatlari"));
        dialogs.messages.clear();
        typeLine({2026, 12, c.day}, c.figures, c.grades);
        EXPECT_EQ(count(QStringLiteral("Kalite_Fiyatlari")), before + (c.refusal ? 0 : 1));
        EXPECT_EQ(dialogs.messages.size(), c.refusal ? 1 : 0);
        if (c.refusal) {
            EXPECT_EQ(prices.focusAsked, QLatin1String(c.refusal));
        }
    }
    const auto& listed = prices.FiyatList.get().rows;
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [](const QStringList& row) { return row.back() == "A=0,05; C=-0,30"; }))
        << "the grades are listed as typed";
    const QVariantMap last = rows(QStringLiteral("SELECT * FROM Kalite_Fiyatlari ORDER BY KFID DESC LIMIT 1"))[0];
    EXPECT_EQ(last[QStringLiteral("Yag_Primi")].toDouble(), 0.025);
    // A correction of the price alone writes the other figures back as stored.
    prices.FiyatRow.set(1);
    prices.FiyatListEnter();
    prices.ReferansFiyatEdit.setText(QStringLiteral("16,75"));
    prices.KaydetClick();
    const QVariantMap corrected = rows(QStringLiteral("SELECT * FROM Kalite_Fiyatlari ORDER BY KFID DESC LIMIT 1"))[0];
    EXPECT_EQ(corrected[QStringLiteral("Referans_Fiyat")].toDouble(), 16.75);
    EXPECT_EQ(corrected[QStringLiteral("Yag_Primi")].toDouble(), 0.025);
    EXPECT_EQ(corrected[QStringLiteral("Hijyen_Farklari")].toString(), QString());
    // A line brought back after its deletion is in the list again.
    prices.FiyatRow.set(0);
    prices.FiyatListDelete();
    prices.GeriAl1Click();
    EXPECT_EQ(std::pair(count(QStringLiteral("Kalite_Fiyatlari")), prices.FiyatList.get().rows.size()), std::pair(2, size_t(2)));
}

TEST_F(QualityScreensTest, EachPourIsPricedFromWhatTheCounterOrTheCollectorGaveAndItsSlipPrinted)
{
    typeLine({2026, 12, 1}, {"15", "3,6", "3,2", "0,1", "0,15", "0,2", "0,25"}, "A=0,05; C=-0,30");
    intake.attachCounter(&counter);
    const QDate day(2026, 12, 10);
    intake.tarihDate.setDate(day);
    using Pour = TSutAlimF::Pour;
    const struct {
        const char* code;
        std::optional<Analysis> analysis;  // F7; none: the analyser is unplugged
        std::optional<double> litres;      // F8
        const char* fat;                   // typed over what F7 gave, unless null
        const char* protein;
        const char* grade;
        Pour pour;
        double price;       // stored per litre; 0 when the save is refused
        int messages;       // refusals and print faults said
        const char* mend;  // the box a refusal sends the keyboard to
    } cases[] = {
        // 3,85 is two whole tenths over, 3,21 none; grade A adds 0,05.
        {"P1", Analysis{3.85, 3.21}, 20.39, nullptr, nullptr, "a", Pour::Sabah, 15.25, 0, nullptr},
        // 3,42 and 3,05 are each one whole tenth under.
        {"P2", std::nullopt, 12.0, "3,42", "3,05", "", Pour::Aksam, 14.60, 1, nullptr},
        // Nothing measured: the producer's own price; a grade alone prices nothing.
        {"P3", std::nullopt, std::nullopt, nullptr, nullptr, "C", Pour::Sabah, 12.5, 2, nullptr},
        // Fat without protein is refused and nothing is stored.
        {"P4", std::nullopt, 8.0, "4,1", "", "", Pour::Sabah, 0, 2, "SProteinEdit"},
        // 3,55 is under by a part of a tenth only: nothing off; 3,31 one tenth over; grade C takes 0,30.
        {"P5", Analysis{3.55, 3.31}, 30.0, nullptr, nullptr, "C", Pour::Aksam, 14.90, 0, nullptr},
        // A grade the line does not know is refused rather than priced as none.
        {"P6", Analysis{3.6, 3.2}, 10.0, nullptr, nullptr, "B", Pour::Sabah, 0, 1, "SHijyenEdit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        addAccount(QString::fromLatin1(c.code), QStringLiteral("Üretici ") + QString::fromLatin1(c.code), 12.5);
        intake.KoduEdit.setText(QString::fromLatin1(c.code));
        intake.KoduEditExit();
        dialogs.messages.clear();
        counter.slips.clear();
        counter.nextAnalysis = c.analysis ? Take<Analysis>{c.analysis, {}} : Take<Analysis>{std::nullopt, QStringLiteral("Analizör: bağlı değil")};
        counter.nextLitres = c.litres ? Take<double>{c.litres, {}} : Take<double>{std::nullopt, QStringLiteral("Terazi: kararlı değil")};
        intake.AnalizClick(c.pour);
        intake.TeraziClick(c.pour);
        const bool evening = c.pour == Pour::Aksam;
        if (!c.litres) (evening ? intake.aksamEdit : intake.sabahEdit).setText(QStringLiteral("10"));
        if (c.fat) (evening ? intake.AYagEdit : intake.SYagEdit).setText(QString::fromUtf8(c.fat));
        if (c.protein) (evening ? intake.AProteinEdit : intake.SProteinEdit).setText(QString::fromUtf8(c.protein));
        (evening ? intake.AHijyenEdit : intake.SHijyenEdit).setText(QString::fromUtf8(c.grade));
        // The price is shown before the save, and only for figures the save takes.
        intake.KaliteExit();
        EXPECT_EQ(intake.KaliteFiyatLabel.text().contains(perLitreText(c.price)), c.price != 0 && (c.analysis || c.fat))
            << intake.KaliteFiyatLabel.text().toStdString();
        intake.SaklaButClick();
        EXPECT_EQ(dialogs.messages.size(), c.messages) << dialogs.messages.join(QLatin1Char('|')).toStdString();
        const auto stored = rows(QStringLiteral("SELECT * FROM SutGirisi WHERE Kodu='%1'").arg(QLatin1String(c.code)));
        if (c.price == 0) {
            EXPECT_TRUE(stored.isEmpty());
            EXPECT_TRUE(counter.slips.empty());
            EXPECT_EQ(intake.focusAsked, QLatin1String(c.mend));
            intake.Bosalt();
            continue;
        }
        ASSERT_EQ(stored.size(), 1);
        const QString side = QLatin1String(evening ? "A" : "S");
        EXPECT_EQ(stored[0][side + QStringLiteral("Birim_Fiyat")].toDouble(), c.price);
        const double litres = c.litres.value_or(10);
        ASSERT_EQ(counter.slips.size(), 1u);
        const SlipData& slip = counter.slips[0];
        EXPECT_EQ(std::tuple(slip.evening, slip.litres, slip.price, slip.monthLitres), std::tuple(evening, litres, c.price, litres));
        EXPECT_EQ(slip.amount, Money::fromStored(litres * c.price));
        EXPECT_EQ(slip.fat, stored[0][side + QStringLiteral("Yag")].isNull() ? std::nullopt : std::optional(stored[0][side + QStringLiteral("Yag")].toDouble()));
    }
    // A slip the printer refuses is said; the pour stays saved and is not printed again by a correction of its note.
    counter.printFault = QStringLiteral("Yazıcı kapalı");
    intake.KoduEdit.setText(QStringLiteral("P1"));
    intake.KoduEditExit();
    intake.aksamEdit.setText(QStringLiteral("5"));
    dialogs.messages.clear();
    counter.slips.clear();
    intake.SaklaButClick();
    ASSERT_EQ(counter.slips.size(), 1u);
    EXPECT_TRUE(counter.slips[0].evening);
    EXPECT_DOUBLE_EQ(counter.slips[0].monthLitres, 25.39);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(counter.printFault));
    // The evening not measured takes the producer's price, not the morning's quality price.
    const QVariantMap p1 = rows(QStringLiteral("SELECT * FROM SutGirisi WHERE Kodu='P1'"))[0];
    EXPECT_EQ(std::tuple(p1[QStringLiteral("Aksam")].toDouble(), p1[QStringLiteral("ABirim_Fiyat")].toDouble(), p1[QStringLiteral("SBirim_Fiyat")].toDouble()),
              std::tuple(5.0, 12.5, 15.25));
}

}  // namespace
