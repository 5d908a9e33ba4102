#include "WindowFixture.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"

namespace {

using GecmisWindowTest = WindowFixture;

TEST_F(GecmisWindowTest, CtrlZOnTheDayListAndEnterOnTheHistoryBringADeletedEntryBack)
{
    SutAlimWindow intakeWindow(intake);
    GecmisWindow historyWindow(*screens.GecmisF);
    intakeRow(QDate(2026, 11, 12), "101", "Ahmet Yılmaz", 12, 38.5, 11.25);
    intake.tarihDate.setDate(QDate(2026, 11, 12));
    menu.SutAlimButtonClick();
    QApplication::setActiveWindow(&intakeWindow);
    auto* dayGrid = intakeWindow.findChild<QueryGrid*>("dayGrid");
    const std::function<void()> undos[] = {
        [&] { QTest::keyClick(dayGrid, Qt::Key_Z, Qt::ControlModifier); },
        [&] {
            menu.GecmisButtonClick();
            QApplication::setActiveWindow(&historyWindow);
            EXPECT_EQ(focusedName(), "DegisiklikGrid");
            press(Qt::Key_Return);
        },
    };
    for (const auto& undo : undos) {
        dayGrid->setFocus();
        intake.KaydSil1Click();
        ASSERT_EQ(dayGrid->model()->rowCount(), 0);
        undo();
        EXPECT_EQ(dayGrid->model()->rowCount(), 1);
    }
}

}  // namespace
