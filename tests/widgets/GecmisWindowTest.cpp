#include "WindowFixture.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"

namespace {

class GecmisWindowTest : public WindowFixture {
protected:
    SutAlimWindow intakeWindow{intake};
    GecmisWindow historyWindow{*screens.forms.GecmisF};
};

TEST_F(GecmisWindowTest, CtrlZOnTheDayAndEnterOnTheHistoryBringADeletedEntryBack)
{
    const QDate day(2026, 11, 12);
    addAccount("101", "Ahmet Yılmaz", 11.25);
    intakeRow(day, "101", "Ahmet Yılmaz", 12, 38.5, 11.25);
    intake.tarihDate.setDate(day);
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&intakeWindow);
    root = &intakeWindow;
    auto* dayGrid = control<QueryGrid>("dayGrid");

    for (const auto& undo : std::vector<std::function<void()>>{
             [&] { QTest::keyClick(dayGrid, Qt::Key_Z, Qt::ControlModifier); },
             [&] {
                 menu.GecmisButtonClick();
                 ASSERT_TRUE(historyWindow.isVisible());
                 QApplication::setActiveWindow(&historyWindow);
                 root = &historyWindow;
                 EXPECT_EQ(focusedName(), "DegisiklikGrid");
                 press(Qt::Key_Return);
             }}) {
        dayGrid->setFocus();
        intake.KaydSil1Click();
        ASSERT_EQ(dayGrid->model()->rowCount(), 0);
        undo();
        EXPECT_EQ(dayGrid->model()->rowCount(), 1);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
    EXPECT_EQ(control<QueryGrid>("DegisiklikGrid")->model()->index(0, 2).data().toString(),
              "geri alındı: 12.11.2026 101 Ahmet Yılmaz: Sabah 12,00, Akşam 38,50, Fiyat 11,25");
}

}  // namespace
