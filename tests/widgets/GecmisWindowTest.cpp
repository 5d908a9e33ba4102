#include "WindowFixture.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Gecmis/Gecmis.h"
#include "store/Statement.h"

#include <QPlainTextEdit>

#include <algorithm>

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
    QString spaced;
    for (int i = 0; spaced.size() < 300'000; ++i) spaced += QStringLiteral("süt %1 ").arg(i);
    // The last one, megabytes long, goes into the box a part at a time.
    const QString notes[] = {spaced, QString(5000, QLatin1Char('x')), QString(3'000'000, QLatin1Char('y'))};
    for (const QString& note : notes)
        Statement(db.connection, QStringLiteral("INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki) VALUES (datetime('now', "
                                                "'localtime'), 'SutGirisi', 1, 'S', json_object('Tarih', '2026-11-12', 'Kodu', '101', 'Adi', 'Ali', 'Aciklama', '%1'))").arg(note)).run();
    menu.GecmisButtonClick();
    auto* grid = historyWindow.findChild<QueryGrid*>("DegisiklikGrid");
    auto* whole = historyWindow.findChild<QPlainTextEdit*>("Ayrinti");
    for (int row : {2, 1, 0}) {
        const QString& note = notes[2 - row];  // newest first
        const QString line = "silindi: 12.11.2026 101 Ali: Açıklama " + note;
        EXPECT_EQ(grid->model()->index(row, 2).data().toString(), line.left(line.size() - note.size() + TGecmisF::kLongestInList) + "…");
        grid->setCurrentIndex(grid->model()->index(row, 2));
        for (int turn = 0; turn < 100 && whole->toPlainText().size() < line.size(); ++turn) QApplication::processEvents();
        const QStringList paragraphs = whole->toPlainText().split(QLatin1Char('\n'));
        EXPECT_TRUE(paragraphs.join(QString()) == line) << "whole, only broken into paragraphs";
        EXPECT_LE(std::max_element(paragraphs.begin(), paragraphs.end(), [](auto& a, auto& b) { return a.size() < b.size(); })->size(), 1000);
    }
}

}  // namespace
