#include "app/AnaMenu.h"
#include "common/widgets/BarChart.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Rapor/RaporWindow.h"
#include "screens/PagePreviewDialog.h"
#include "WindowFixture.h"
#include "Typing.h"

#include "common/widgets/EntryBoxes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QKeySequence>
#include <QPrinter>
#include <QShortcut>
#include <QTimer>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

// The report in its real window, opened from the menu and used with the keyboard and mouse.
class RaporWindowTest : public WindowFixture {
protected:
    RaporWindowTest()
    {
        root = &window;
        addIntakeRow(db.connection, QDate(2021, 2, 1), QStringLiteral("K1"), QStringLiteral("Ali Işık"), 10, 0, 2);
        addPaymentRow(db.connection, QDate(2021, 2, 3), QStringLiteral("K1"), QStringLiteral("Ali Işık"), 0, 5);
        addIntakeRow(db.connection, QDate(2021, 2, 2), QStringLiteral("K2"), QStringLiteral("Bora Kaya"), 3, 4, 1.5);
        addIntakeRow(db.connection, QDate(2021, 2, 2), QStringLiteral("K3"), QStringLiteral("Cem Işıkçı"), 1, 0, 1);
        report.ilktarihDate.setDate(QDate(2021, 1, 1));
        report.sontarihDate.setDate(QDate(2021, 3, 5));
    }

    void open()
    {
        menu.RaporButtonClick();
        QApplication::setActiveWindow(&window);
    }
    QString cell(const char* grid, int row, int column)
    {
        return control<QueryGrid>(grid)->model()->index(row, column).data().toString();
    }

    RaporWindow window{report};
};

TEST_F(RaporWindowTest, TheControlsStandInTheirTabOrder)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvalin Kovanta - Süt Alım Hesap Raporlama"));
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("............."));
    EXPECT_EQ(control<QTabWidget>("tabs")->tabText(0), QStringLiteral("İki Tarih Arası Rapor"));
    EXPECT_EQ(control<QueryGrid>("SutGirisiGrid")->model()->rowCount(), 0) << "nothing is read before the menu opens it";
    open();
    ASSERT_TRUE(window.isVisible());

    control<DatePicker>("ilktarihDate")->setFocus(Qt::TabFocusReason);
    QStringList order{focusedName()};
    for (int i = 0; i < 7; ++i) {
        press(Qt::Key_Tab);
        order << focusedName();
    }
    EXPECT_EQ(order, (QStringList{"ilktarihDate", "sontarihDate", "YenileBut", "AdiEdit", "bulButton", "kapatButton",
                                  "EkstreBut", "TumEkstreBut"}));
}

TEST_F(RaporWindowTest, YenileFillsTheGridsAndANameFoundWithEnterOpensWithADoubleClick)
{
    open();
    auto* summary = control<QueryGrid>("SutGirisiGrid");
    auto* detail = control<QueryGrid>("detayGrid");
    ASSERT_EQ(summary->model()->rowCount(), 3);
    EXPECT_EQ(cell("SutGirisiGrid", 0, 1), QStringLiteral("Ali Işık"));
    EXPECT_EQ(cell("SutGirisiGrid", 0, 4), QStringLiteral("15,00"));
    EXPECT_EQ(detail->model()->rowCount(), 2);
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("Ali Işık Hesap Hareketleri"));
    EXPECT_EQ(control<QTabWidget>("tabs")->tabText(0), QStringLiteral("01.01.2021/05.03.2021 Tarihleri Arası Rapor"));
    const QStringList totals{control<QLineEdit>("Borc_Toplami")->text(), control<QLineEdit>("Alacak_Toplami")->text(),
                             control<QLineEdit>("Bakiye")->text()};
    EXPECT_EQ(totals, (QStringList{"31,50", "5,00", "26,50"}));
    EXPECT_EQ(control<BarChart>("DetayChart")->chosenText(), QStringLiteral("Mart 2021  ·  Süt —")) << "his months under his rows";

    // A new period picked in the pickers; Enter there refreshes nothing, "Yenile" does.
    auto* ilk = control<DatePicker>("ilktarihDate");
    ilk->setFocus(Qt::TabFocusReason);
    ilk->setDate(QDate(2021, 2, 2));
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("ilktarihDate"));
    EXPECT_EQ(report.ilktarihDate.date(), QDate(2021, 2, 2));
    EXPECT_EQ(summary->model()->rowCount(), 3);
    press(Qt::Key_Tab);
    ASSERT_EQ(focusedName(), QStringLiteral("sontarihDate"));
    press(Qt::Key_Return);
    ASSERT_EQ(focusedName(), QStringLiteral("YenileBut")) << "Enter after the last date goes on to Yenile";
    press(Qt::Key_Return);
    EXPECT_EQ(summary->model()->rowCount(), 3);
    EXPECT_EQ(cell("SutGirisiGrid", 0, 4), QStringLiteral("-5,00")) << "only the payment of 3 February";
    EXPECT_EQ(control<QLineEdit>("Bakiye")->text(), QStringLiteral("6,50"));

    // A name typed in lower case, Enter to "Bul", Enter to search.
    auto* name = control<QLineEdit>("AdiEdit");
    name->setFocus(Qt::TabFocusReason);
    typeText(name, QStringLiteral("ışık"));
    EXPECT_EQ(name->text(), QStringLiteral("Işık"));
    press(Qt::Key_Return);
    ASSERT_EQ(focusedName(), QStringLiteral("bulButton"));
    press(Qt::Key_Return);
    EXPECT_EQ(summary->currentIndex().row(), 2);
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("Ali Işık Hesap Hareketleri")) << "Bul leaves the detail";
    press(Qt::Key_Return);
    EXPECT_EQ(summary->currentIndex().row(), 2) << "the last row is tried once more";
    press(Qt::Key_Return);
    EXPECT_EQ(summary->currentIndex().row(), 0) << "then the search wraps round";

    // A double-click on a line shows its rows.
    const QPoint bora = summary->visualRect(summary->model()->index(1, 1)).center();
    QTest::mouseClick(summary->viewport(), Qt::LeftButton, {}, bora);
    QTest::mouseDClick(summary->viewport(), Qt::LeftButton, {}, bora);
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("Bora Kaya Hesap Hareketleri"));
    ASSERT_EQ(detail->model()->rowCount(), 1);
    EXPECT_EQ(cell("detayGrid", 0, 0), QStringLiteral("02.02.2021"));
    EXPECT_EQ(cell("detayGrid", 0, 3), QStringLiteral("3,00"));
    EXPECT_EQ(cell("detayGrid", 0, 5), QStringLiteral("10,50"));

    // Space on a line does the same from the keyboard.
    summary->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Up);
    QTest::keyClick(summary, Qt::Key_Space);
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("Ali Işık Hesap Hareketleri"));

    QTest::mouseClick(control<QPushButton>("kapatButton"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 4);
}

// What the print preview showed: its printer's file name, paper and pages.
struct PreviewSeen {
    int opened = 0;
    QString fileName;
    int pages = 0;
    QPageSize::PageSizeId paper = QPageSize::Custom;
    bool printKeys = false;
    int pageAfterPageDown = 0;
};

// Closes the print preview as soon as it opens, noting what it showed; A5
// chosen in it, or its statements saved as an .xlsx file, when asked.
void closePreviewWhenShown(PreviewSeen& seen, bool chooseA5 = false, bool saveXlsx = false)
{
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, chooseA5, saveXlsx] {
        auto* preview = qobject_cast<PagePreviewDialog*>(QApplication::activeModalWidget());
        if (!preview || !preview->isVisible()) return;
        ++seen.opened;
        seen.fileName = preview->printer().outputFileName();
        seen.paper = preview->printer().pageLayout().pageSize().id();
        seen.pages = preview->pageCount();
        for (QShortcut* keys : preview->findChildren<QShortcut*>())
            if (keys->key() == QKeySequence(QKeySequence::Print)) seen.printKeys = true;
        QApplication::setActiveWindow(preview);
        QTest::keyClick(preview, Qt::Key_PageDown);
        seen.pageAfterPageDown = preview->currentPage();
        if (chooseA5) preview->printer().setPageSize(QPageSize(QPageSize::A5));
        if (saveXlsx) QTest::keyClick(preview, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        preview->reject();
        timer->deleteLater();
    });
    timer->start();
}

TEST_F(RaporWindowTest, EkstreWithEnterAndTheGridsMenuOpenThePrintPreviewOfTheirStatements)
{
    open();
    PreviewSeen seen;
    auto* ekstre = control<QPushButton>("EkstreBut");
    ekstre->setFocus(Qt::TabFocusReason);
    QTemporaryDir folder;
    dialogs.xlsxPath = folder.filePath(QStringLiteral("ekstre.xlsx"));
    closePreviewWhenShown(seen, false, true);
    press(Qt::Key_Return);
    EXPECT_EQ(seen.opened, 1);
    EXPECT_EQ(dialogs.xlsxOffers, QStringList{QStringLiteral("Ekstre-K1-Ali Işık-01.01.2021-05.03.2021.xlsx")})
        << "Ctrl+Shift+E in the preview saves its statements under their name";
    EXPECT_TRUE(QFileInfo(dialogs.xlsxPath).size() > 0);
    EXPECT_EQ(seen.fileName, QDir::current().absoluteFilePath(QStringLiteral("Ekstre-K1-Ali Işık-01.01.2021-05.03.2021.pdf")));
    EXPECT_EQ(seen.pages, 1);
    EXPECT_EQ(seen.pageAfterPageDown, 0) << "one page only";
    EXPECT_TRUE(seen.printKeys) << "Ctrl+P prints from the preview";

    auto* summary = control<QueryGrid>("SutGirisiGrid");
    QStringList items;
    for (QAction* action : summary->actions()) items << action->text();
    ASSERT_EQ(items, (QStringList{"Hesap Hareketleri", "Hesap Ekstresi", "Tüm Ekstreler", "CSV Olarak Kaydet…", "Excel Olarak Kaydet…"}));
    EXPECT_EQ(summary->actions()[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    closePreviewWhenShown(seen, true);
    summary->actions()[2]->trigger();
    EXPECT_EQ(seen.opened, 2);
    EXPECT_EQ(seen.fileName, QDir::current().absoluteFilePath(QStringLiteral("Ekstreler-01.01.2021-05.03.2021.pdf")));
    EXPECT_EQ(seen.pages, 3) << "one page for each of the three producers";
    EXPECT_EQ(seen.pageAfterPageDown, 1) << "PageDown turns the page";
    EXPECT_EQ(seen.paper, QPageSize::A4);

    // The context item acts on the row the summary stands on.
    summary->setCurrentIndex(summary->model()->index(1, 0));
    closePreviewWhenShown(seen);
    summary->actions()[1]->trigger();
    EXPECT_EQ(seen.fileName, QDir::current().absoluteFilePath(QStringLiteral("Ekstre-K2-Bora Kaya-01.01.2021-05.03.2021.pdf")));
    EXPECT_EQ(seen.paper, QPageSize::A5) << "the paper chosen last";
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 4);
}

}  // namespace
