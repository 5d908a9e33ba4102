#include "WindowFixture.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Gecmis/Gecmis.h"
#include "store/Statement.h"

#include <QDateTime>
#include <QPlainTextEdit>

namespace {

using GecmisWindowTest = WindowFixture;

TEST_F(GecmisWindowTest, CtrlZOnTheDayListAndEnterOnTheHistoryBringADeletedEntryBack)
{
    SutAlimWindow intakeWindow(intake);
    GecmisWindow historyWindow(*screens.GecmisF);
    // A row comes back only under an account's code and name.
    addAccount("101", "Ahmet Yılmaz", 11.25);
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

TEST_F(GecmisWindowTest, ALongNoteIsCutInTheGridAndShownWholeUnderItInShortParagraphs)
{
    GecmisWindow historyWindow(*screens.GecmisF);
    QString note;
    for (int i = 0; note.size() < 300'000; ++i) note += QStringLiteral("süt %1 ").arg(i);
    const QString unbroken(5000, QLatin1Char('x'));
    Statement insert(db.connection, "INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki) VALUES "
                                    "(?1, 'SutGirisi', 1, 'S', json_object('Tarih', '2026-11-12', 'Kodu', '101', 'Adi', 'Ali', 'Aciklama', ?2))");
    const QString notes[] = {note, unbroken, "kısa"};
    for (int i = 0; i < 3; ++i) {
        insert.bind(1, QDateTime::currentDateTime().addSecs(-i).toString(kStoredMomentFormat));
        insert.bind(2, notes[i]);
        insert.run();
        insert.reset();
    }
    menu.GecmisButtonClick();
    QApplication::setActiveWindow(&historyWindow);
    auto* grid = historyWindow.findChild<QueryGrid*>("DegisiklikGrid");
    auto* whole = historyWindow.findChild<QPlainTextEdit*>("Ayrinti");
    ASSERT_TRUE(grid && whole);
    ASSERT_EQ(grid->model()->rowCount(), 3);
    const QString line = "silindi: 12.11.2026 101 Ali: Açıklama ";
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const QString cell = grid->model()->index(row, 2).data().toString();
        EXPECT_EQ(cell, line + (notes[row].size() > TGecmisF::kLongestInList ? notes[row].left(TGecmisF::kLongestInList) + "…" : notes[row]));
        grid->setCurrentIndex(grid->model()->index(row, 2));
        const QStringList paragraphs = whole->toPlainText().split(QLatin1Char('\n'));
        EXPECT_TRUE(paragraphs.join(QString()) == line + notes[row]) << "whole, only broken into paragraphs";
        for (const QString& paragraph : paragraphs) EXPECT_LE(paragraph.size(), 1000);
    }
}

}  // namespace
