#include "app/AnaMenu.h"
#include "common/widgets/QueryGrid.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Cari/CariWindow.h"
#include "FakeCounter.h"
#include "ModalCatcher.h"
#include "ledger/Quality.h"
#include "WindowFixture.h"
#include "Typing.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

namespace {

// The screens with their real windows, driven with the keyboard.
class IntakeRoadTest : public WindowFixture {
protected:
    IntakeRoadTest() { root = &window; }

    void typeHere(const char* text) { typeText(focused(), QString::fromUtf8(text)); }
    QString totalBox(int page, const char* field)
    {
        auto* tabs = control<QTabWidget>("tabs");
        return tabs->widget(page)->findChild<QLineEdit*>(QLatin1String(field))->text();
    }

    SutAlimWindow window{intake};
    CariWindow accountsWindow{accounts};
};

TEST_F(IntakeRoadTest, OneMorningEntryFromTheMenuToTheViews)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Veli"), 1.4);
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora Can"), 2);
    intake.tarihDate.setDate(QDate(2021, 3, 5));

    menu.SutAlimButtonClick();
    ASSERT_TRUE(window.isVisible());
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(control<QLineEdit>("KoduEdit")->text(), QStringLiteral("K1"));
    EXPECT_EQ(control<QLineEdit>("AdiEdit")->text(), QStringLiteral("Ali Veli"));
    EXPECT_EQ(control<QLineEdit>("SBirimFiyatEdit")->text(), QStringLiteral("1,40")) << "a price shows as 1,40";

    // Enter walks the panel: code, name, morning, price, evening, note, save.
    control<QLineEdit>("KoduEdit")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("AdiEdit"));
    press(Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("sabahEdit"));
    typeHere("12,5");
    press(Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("SBirimFiyatEdit"));
    typeHere("1,4");  // over the price carried in
    EXPECT_EQ(control<QLineEdit>("SBirimFiyatEdit")->text(), QStringLiteral("1,4"));
    press(Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("aksamEdit"));
    typeHere("10");
    press(Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("AciklamaEdit"));
    press(Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("SaklaBut"));
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(QLatin1Char('|')).toStdString();

    auto saved = rows(QStringLiteral("SELECT * FROM SutGirisi ORDER BY SGID"));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("SToplam_Tutar")].toDouble(), 17.5);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("AToplam_Tutar")].toDouble(), 14);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Gelir_Toplam_Tutar")].toDouble(), 31.5);

    // The views show it: the grid and the totals in "#,###.00".
    QAbstractItemModel* day = control<QueryGrid>("dayGrid")->model();
    ASSERT_EQ(day->rowCount(), 1);
    EXPECT_EQ(day->index(0, 0).data().toString(), QStringLiteral("Ali Veli"));
    EXPECT_EQ(day->index(0, 3).data().toString(), QStringLiteral("22,50"));
    EXPECT_EQ(day->index(0, 4).data().toString(), QStringLiteral("31,50"));
    EXPECT_EQ(totalBox(0, "Sabah_Toplam"), QStringLiteral("12,50"));
    EXPECT_EQ(totalBox(0, "Genel_Toplam"), QStringLiteral("22,50"));
    EXPECT_EQ(totalBox(0, "Toplam_Tutar"), QStringLiteral("31,50"));
    EXPECT_EQ(control<QueryGrid>("monthGrid")->model()->rowCount(), 1);
    EXPECT_EQ(totalBox(1, "Toplam_Tutar"), QStringLiteral("31,50"));
    EXPECT_EQ(control<QTabWidget>("tabs")->tabText(0), QStringLiteral("05.03.2021-Günlük Süt Girişi"));
    EXPECT_EQ(control<QTabWidget>("tabs")->tabText(1), QStringLiteral("Mart-2021-Aylık Süt Girişi"));

    // The next producer is loaded with the keyboard in his morning box, so
    // one more Enter goes on typing instead of storing him with nothing.
    EXPECT_EQ(control<QLineEdit>("KoduEdit")->text(), QStringLiteral("K2"));
    EXPECT_EQ(control<QLineEdit>("SBirimFiyatEdit")->text(), QStringLiteral("2,00"));
    EXPECT_EQ(focused()->objectName(), QStringLiteral("sabahEdit"));
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 1);
}

TEST_F(IntakeRoadTest, APastedLitreTextThatIsNoNumberStoresNothing)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&window);
    auto* sabah = control<QLineEdit>("sabahEdit");
    sabah->setText(QStringLiteral("1,2,3"));  // as pasted through the box's menu
    ModalCatcher box;
    QTest::mouseClick(control<QPushButton>("SaklaBut"), Qt::LeftButton);
    EXPECT_GE(box.count, 1);
    EXPECT_EQ(box.lastText, QStringLiteral("'1,2,3' is not a valid floating point value"));
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
    EXPECT_EQ(sabah->text(), QStringLiteral("1,2,3"));
}

TEST_F(IntakeRoadTest, AccountNamesTypedInLowerCaseAreSavedCapitalised)
{
    menu.CariTanimButtonClick();
    QApplication::setActiveWindow(&accountsWindow);
    auto* code = accountsWindow.findChild<QLineEdit*>(QStringLiteral("KoduEdit"));
    code->setFocus(Qt::TabFocusReason);
    typeText(code, QStringLiteral("7"));
    QTest::keyClick(code, Qt::Key_Return);
    typeHere("çiğdem ışıl");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("AciklamaEdit"));
    auto* grid = accountsWindow.findChild<QueryGrid*>(QStringLiteral("CariGrid"));
    grid->setFocus(Qt::TabFocusReason);
    QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(focused()->objectName(), QStringLiteral("KoduEdit")) << "the next account starts at its code";
    grid->setFocus(Qt::TabFocusReason);
    QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs.csvOffers.size(), 1) << "Ctrl+S saves the account, Ctrl+Shift+S offers the list as CSV";
    const auto saved = rows(QStringLiteral("SELECT Adi FROM Cariler"));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0][QStringLiteral("Adi")].toString(), QStringLiteral("Çiğdem Işıl"));
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("Çiğdem Işıl"));
}

// The list and the panel without the mouse: a reopened screen starts in
// the morning box, not on "Kapat"; Enter on the list loads a producer and
// goes back to the morning box.
TEST_F(IntakeRoadTest, TheListAndThePanelAreReachedByKeyboard)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Veli"), 1.4);
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora Can"), 2);
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&window);
    control<QPushButton>("kapatButton")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    ASSERT_FALSE(window.isVisible());
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(focusedName(), QStringLiteral("sabahEdit"));

    auto* list = control<QueryGrid>("CariGrid");
    list->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(control<QLineEdit>("KoduEdit")->text(), QStringLiteral("K2"));
    EXPECT_EQ(focusedName(), QStringLiteral("sabahEdit"));
}

// F7 and F8 fill the pour the keyboard is on; the quality boxes join Enter's
// walk once the quality table has a line.
TEST_F(IntakeRoadTest, TheCounterKeysFillThePourInFocus)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Veli"), 1.4);
    FakeCounter counter;
    counter.nextAnalysis = {Analysis{3.85, 3.21}, {}};
    counter.nextLitres = {20.39, {}};
    intake.attachCounter(&counter);
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&window);
    EXPECT_FALSE(control<QLineEdit>("SYagEdit")->isVisible());
    QualityLine line;
    line.baslangic = QDate(2000, 1, 1), line.referansFiyat = 15, line.referansYag = 3.6, line.referansProtein = 3.2;
    QualityPrices(screens.ledger).save(line);
    control<QLineEdit>("aksamEdit")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_F7);
    press(Qt::Key_F8);
    EXPECT_EQ(std::tuple(control<QLineEdit>("AYagEdit")->text(), control<QLineEdit>("AProteinEdit")->text(), control<QLineEdit>("aksamEdit")->text()),
              std::tuple(QStringLiteral("3,85"), QStringLiteral("3,21"), QStringLiteral("20,39")));
    EXPECT_TRUE(control<QLineEdit>("SYagEdit")->text().isEmpty());
    // Nothing poured in the morning: Enter goes past its quality boxes.
    control<QLineEdit>("sabahEdit")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("SBirimFiyatEdit"));
    control<QLineEdit>("sabahEdit")->setFocus(Qt::TabFocusReason);
    typeHere("12");
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("SYagEdit"));
    EXPECT_EQ(window.statusBar()->findChildren<QLabel*>().last()->text(), counter.status());
    // Left empty, a quality box stays empty: the pour is not measured.
    press(Qt::Key_Return);
    EXPECT_EQ(control<QLineEdit>("SYagEdit")->text(), QString());
    // However long the texts of the price and the devices, the window keeps to the screen.
    intake.KaliteFiyatLabel.setText(QString(300, QLatin1Char('x')));
    intake.CihazDurumu.setText(QString(300, QLatin1Char('y')));
    window.resize(1024, 740);
    QApplication::processEvents();
    EXPECT_LE(window.width(), 1024);
    intake.attachCounter(nullptr);
}

// The third page: who has not poured yet, Ctrl+G away. Enter on a name loads him and
// goes to his morning box; Ctrl+S on a list offers it as CSV.
TEST_F(IntakeRoadTest, EnterOnTheAbsentLoadsOneAndCtrlSOffersAListAsCsv)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Veli"), 1.4);
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora Can"), 2);
    intake.tarihDate.setDate(QDate(2021, 3, 5));
    intakeRow(QDate(2021, 3, 5), QStringLiteral("K1"), QStringLiteral("Ali Veli"), 10, 0, 1.4);
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(control<QTabWidget>("tabs")->tabText(2), QStringLiteral("Gelmeyenler (1)"));
    QTest::keyClick(focused(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(focusedName(), QStringLiteral("GelmeyenGrid"));
    press(Qt::Key_Return);
    EXPECT_EQ(control<QLineEdit>("KoduEdit")->text(), QStringLiteral("K2"));
    EXPECT_EQ(focusedName(), QStringLiteral("sabahEdit"));
    control<QueryGrid>("GelmeyenGrid")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focused(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.csvOffers, QStringList{"SutAlim-Gelmeyen-05.03.2021.csv"});
}

}  // namespace
