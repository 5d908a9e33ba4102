#include "app/AnaMenu.h"
#include "common/widgets/BarChart.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Fabrika/FabrikaWindow.h"
#include "WindowFixture.h"
#include "Typing.h"

#include <QAction>
#include "common/widgets/EntryBoxes.h"
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QScrollBar>
#include <QTest>

namespace {

class FabrikaWindowTest : public WindowFixture {
protected:
    FabrikaWindowTest() { root = &window; }

    QString text(const char* name) { return control<QLineEdit>(name)->text(); }

    FabrikaWindow window{factory};
};

TEST_F(FabrikaWindowTest, TheWindowIsWiredToTheScreen)
{
    TableCursor ledger(db.connection, schema::sutGirisi());
    ledger.open();
    ledger.append()
        .setField(QStringLiteral("Tarih"), QDate(2021, 3, 5))
        .setField(QStringLiteral("Gelir_Gider"), QStringLiteral("S"))
        .setField(QStringLiteral("Sabah"), 50.0)
        .setField(QStringLiteral("Aksam"), 30.0)
        .setField(QStringLiteral("SToplam_Tutar"), 60.0)
        .setField(QStringLiteral("AToplam_Tutar"), 36.0)
        .post();
    factory.tarihDate.setDate(QDate(2021, 3, 5));
    menu.FabrikaButtonClick();
    ASSERT_TRUE(window.isVisible());
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvalin Kovanta - Fabrika Süt Teslim İşlemleri"));
    EXPECT_LE(window.minimumSizeHint().width(), 1024) << "usable at 1024×768";
    EXPECT_EQ(control<QTabWidget>("tabs")->tabText(0), QStringLiteral("Mart-2021-Aylık Fabrika Teslim Bilgileri"));
    EXPECT_EQ(text("STMiktariEdit"), QStringLiteral("50,00"));

    // Tab visits what is typed or pressed only, never a worked-out figure.
    const QStringList order = {"FabrikaSutFiyatiEdit", "FiyatSaklaBut", "SFMiktariEdit", "AFMiktariEdit",
                               "AciklamaEdit",         "SaklaBut",      "kapatButton"};
    control<DatePicker>("tarihDate")->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (qsizetype i = 0; i < order.size(); ++i) {
        press(Qt::Key_Tab);
        visited << focusedName();
    }
    EXPECT_EQ(visited, order);
    for (int round = 0; round < 2 * order.size(); ++round) {
        press(Qt::Key_Tab);
        EXPECT_EQ(qobject_cast<TotalField*>(focused()), nullptr) << "a total is passed by: " << focusedName().toStdString();
    }

    // Enter does nothing on the date picker, then walks the panel to "Sakla";
    // leaving a delivery box recomputes at once.
    control<DatePicker>("tarihDate")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("tarihDate"));
    control<QLineEdit>("FabrikaSutFiyatiEdit")->setFocus(Qt::TabFocusReason);
    typeText(focused(), QStringLiteral("1,5"));
    press(Qt::Key_Return);
    EXPECT_EQ(text("FabrikaSutFiyatiEdit"), QStringLiteral("1,50"));
    EXPECT_EQ(focusedName(), QStringLiteral("FiyatSaklaBut")) << "Enter twice keeps a new price";
    press(Qt::Key_Return);
    EXPECT_EQ(count(QStringLiteral("Fabrika_Cari")), 1);
    EXPECT_EQ(focusedName(), QStringLiteral("SFMiktariEdit"));
    typeText(focused(), QStringLiteral("48"));
    press(Qt::Key_Return);
    EXPECT_EQ(text("SFMiktariEdit"), QStringLiteral("48,00"));
    EXPECT_EQ(text("SFarkMiktariEdit"), QStringLiteral("2,00"));
    EXPECT_EQ(text("FabrikaTutarEdit"), QStringLiteral("72,00"));
    EXPECT_EQ(text("FarkTutarEdit"), QStringLiteral("-24,00"));
    EXPECT_EQ(focusedName(), QStringLiteral("AFMiktariEdit"));
    typeText(focused(), QStringLiteral("30"));
    press(Qt::Key_Return);
    EXPECT_EQ(text("AFarkMiktariEdit"), QStringLiteral("0,00"));
    EXPECT_EQ(text("FarkTutarEdit"), QStringLiteral("21,00"));
    EXPECT_EQ(focusedName(), QStringLiteral("AciklamaEdit"));
    typeText(focused(), QStringLiteral("tam"));
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("SaklaBut"));
    press(Qt::Key_Return);
    auto saved = rows(QStringLiteral("SELECT * FROM Fabrika"));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Toplam_Teslim_Kari")].toDouble(), 21);
    EXPECT_EQ(saved[0][QStringLiteral("Aciklama")].toString(), QStringLiteral("tam"));
    EXPECT_EQ(control<DatePicker>("tarihDate")->date(), QDate(2021, 3, 6)) << "the next day's delivery starts";
    EXPECT_EQ(focusedName(), QStringLiteral("SFMiktariEdit"));

    // The month list: its columns, its first menu item, which picks the day.
    auto* grid = control<QueryGrid>("FabrikaGrid");
    ASSERT_EQ(grid->model()->columnCount(), 15);
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Toplanan Tutar"));
    // All fifteen fit a 1024-pixel screen beside its frames, each as wide
    // as a day's figures.
    int total = grid->verticalHeader()->width() + grid->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < 15; ++column) {
        total += grid->columnWidth(column);
        EXPECT_GT(grid->columnWidth(column), grid->fontMetrics().horizontalAdvance(QStringLiteral("99.999,99")));
    }
    EXPECT_LE(total, 1024 - 40);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), QStringLiteral("05.03.2021"));
    EXPECT_EQ(grid->model()->index(0, 6).data().toString(), QStringLiteral("21,00"));
    ASSERT_EQ(grid->actions().size(), 5);
    EXPECT_EQ(grid->actions()[0]->text(), QStringLiteral("Değiştir"));
    control<DatePicker>("tarihDate")->setDate(QDate(2021, 3, 9));
    EXPECT_TRUE(text("AciklamaEdit").isEmpty()) << "the user's date change refreshed the panel";
    grid->actions()[0]->trigger();
    EXPECT_EQ(control<DatePicker>("tarihDate")->date(), QDate(2021, 3, 5));
    EXPECT_EQ(text("AciklamaEdit"), QStringLiteral("tam"));
    control<DatePicker>("tarihDate")->setDate(QDate(2021, 3, 9));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    EXPECT_EQ(control<DatePicker>("tarihDate")->date(), QDate(2021, 3, 5)) << "a double-click picks the day too";

    // F6 goes into the month list and back; Enter there picks the day.
    control<DatePicker>("tarihDate")->setDate(QDate(2021, 3, 9));
    press(Qt::Key_F6);
    EXPECT_EQ(focused(), grid);
    press(Qt::Key_Return);
    EXPECT_EQ(control<DatePicker>("tarihDate")->date(), QDate(2021, 3, 5));
    EXPECT_EQ(focusedName(), QStringLiteral("SFMiktariEdit"));
    press(Qt::Key_F6);
    // Delete asks naming the day ("Hayır" keeps it), Ctrl+Z brings it back.
    for (const bool yes : {false, true}) {
        dialogs.confirmAnswer = yes;
        press(Qt::Key_Delete);
        EXPECT_EQ(count(QStringLiteral("Fabrika")), yes ? 0 : 1);
    }
    EXPECT_TRUE(dialogs.questions.last().startsWith(QStringLiteral("05.03.2021 fabrika teslimi")));
    QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("Fabrika")), 1);
    press(Qt::Key_Escape);
    EXPECT_EQ(focusedName(), QStringLiteral("SFMiktariEdit")) << "Escape in a list goes back to the panel";
    EXPECT_TRUE(window.isVisible());
    QTest::mouseClick(control<QPushButton>("kapatButton"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

// The picture's page: the picker's day chosen and its values written out,
// the arrow keys move it, another month in the picker redraws it.
TEST_F(FabrikaWindowTest, TheChartFollowsThePickerAndTheArrowKeys)
{
    addIntakeRow(db.connection, QDate(2021, 3, 6), QStringLiteral("K1"), QStringLiteral("Ali"), 50, 30.5, 1);
    factory.tarihDate.setDate(QDate(2021, 3, 5));
    menu.FabrikaButtonClick();
    QApplication::setActiveWindow(&window);
    control<QTabWidget>("tabs")->setCurrentIndex(1);
    auto* chart = control<BarChart>("GrafikChart");
    chart->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Right);
    EXPECT_EQ(chart->chosenText(), QStringLiteral("06.03.2021  ·  Toplanan 80,50 L  ·  Fabrika —  ·  Fark Tutarı —"));
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Right, Qt::Key_Left, Qt::Key_Home, Qt::Key_Left}) press(key);
    EXPECT_EQ(chart->chosen(), 0);
    control<DatePicker>("tarihDate")->setDate(QDate(2021, 2, 10));
    EXPECT_TRUE(chart->chosenText().startsWith(QStringLiteral("10.02.2021")));
}

}  // namespace
