#include "app/AnaMenu.h"
#include "app/Program.h"
#include "screens/Fabrika/Fabrika.h"
#include "screens/Rapor/Rapor.h"
#include "FakeDialogs.h"
#include "ScreenFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class RecordingShell : public Shell {
public:
    void openAddress(const QString& address) override { opened << address; }
    QStringList opened;
};

TEST(StartUp, AMissingDatabaseIsOfferedForCreation)
{
    for (const bool yes : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
        FakeDialogs dialogs;
        dialogs.confirmAnswer = yes;
        RecordingShell shell;
        Program program(dialogs, shell);

        EXPECT_EQ(program.start(path), yes);
        ASSERT_EQ(dialogs.questions.size(), 1);
        EXPECT_TRUE(dialogs.questions[0].contains(path));
        EXPECT_EQ(QFile::exists(path), yes);
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("AnaData"))).exists(), yes) << "No creates not even the folder";
        EXPECT_EQ(program.screens != nullptr, yes);
    }
}

TEST(StartUp, AFileThatIsNoDatabaseStopsTheStartWithItsName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kovanta.mdb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("süt defteri\n");
    file.close();
    FakeDialogs dialogs;
    RecordingShell shell;
    Program program(dialogs, shell);
    try {
        program.start(path);
        FAIL() << "a text file was taken for a database";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(path));
    }
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(program.screens, nullptr);
}

TEST(StartUp, ScreensAreCreatedHiddenOnTheirDatesWithNothingOpen)
{
    QTemporaryDir dir;
    FakeDialogs dialogs;
    RecordingShell shell;
    Program program(dialogs, shell);
    ASSERT_TRUE(program.start(dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"))));
    const ScreenSet& forms = *program.screens;
    const QDate today = QDate::currentDate();

    for (TForm* screen : std::initializer_list<TForm*>{forms.SutAlimF, forms.cariF, forms.VerilenlerF, forms.RaporF,
                                                       forms.FabrikaF})
        EXPECT_FALSE(screen->window().isVisible());
    EXPECT_EQ(forms.SutAlimF->tarihDate.date(), today);
    EXPECT_EQ(forms.VerilenlerF->tarihDate.date(), today);
    EXPECT_EQ(forms.FabrikaF->tarihDate.date(), today);
    EXPECT_EQ(forms.RaporF->ilktarihDate.date(), QDate(today.year(), 1, 1));
    EXPECT_EQ(forms.RaporF->sontarihDate.date(), today);
    for (const Query* query : {&forms.SutAlimF->CariTanimQuery, &forms.SutAlimF->SutGirisiQuery,
                               &forms.cariF->CariTanimQuery, &forms.VerilenlerF->CariTanimQuery,
                               &forms.RaporF->SutGirisiQuery, &forms.RaporF->detayQuery})
        EXPECT_FALSE(query->isOpen());
    EXPECT_FALSE(forms.SutAlimF->openedFromMenu);
    EXPECT_FALSE(forms.VerilenlerF->openedFromMenu);
    EXPECT_FALSE(forms.cariF->pickCaller);
}

class MenuTest : public ScreenFixture {
protected:
    MenuTest() { menu.attach(screens); }

    RecordingShell shell;
    TAnaMenuF menu{shell};
};

TEST_F(MenuTest, EveryEntryShowsItsScreen)
{
    using Operation = void (TAnaMenuF::*)();
    const std::pair<Operation, TForm*> entries[] = {
        {&TAnaMenuF::SutAlimButtonClick, screens.SutAlimF},
        {&TAnaMenuF::AlisVerisButtonClick, screens.VerilenlerF},
        {&TAnaMenuF::FabrikaButtonClick, screens.FabrikaF},
        {&TAnaMenuF::RaporButtonClick, screens.RaporF},
        {&TAnaMenuF::CariTanimButtonClick, screens.cariF},
    };
    for (const auto& [operation, screen] : entries) {
        HeadlessWindow& window = screen->headless();
        (menu.*operation)();
        EXPECT_TRUE(window.visible);
        EXPECT_EQ(window.raised, 1);

        // A minimised screen comes back maximised; one restored to normal stays normal.
        window.state = HeadlessWindow::State::Minimized;
        (menu.*operation)();
        EXPECT_EQ(window.state, HeadlessWindow::State::Maximized);
        window.state = HeadlessWindow::State::Normal;
        (menu.*operation)();
        EXPECT_EQ(window.state, HeadlessWindow::State::Normal);

        screen->kapatButtonClick();
        EXPECT_FALSE(window.visible);
    }
}

TEST_F(MenuTest, TheIntakeEntryRefreshesAndLoadsTheFirstProducerByName)
{
    menu.SutAlimButtonClick();
    EXPECT_TRUE(intake.openedFromMenu);
    EXPECT_TRUE(intake.SutGirisiQuery.isOpen()) << "the views were rebuilt";
    EXPECT_TRUE(intake.KoduEdit.isEmpty()) << "an empty list leaves the panel as it was";

    addAccount(QStringLiteral("K2"), QStringLiteral("Zeki Öz"), 12.5);
    addAccount(QStringLiteral("K1"), QStringLiteral("Çetin Ak"), 1.35);
    intake.sabahEdit.setText(QStringLiteral("40"));
    intake.correcting.set(7);
    menu.SutAlimButtonClick();
    EXPECT_EQ(intake.KoduEdit.text(), QStringLiteral("K1"));
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Çetin Ak"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("1,35"));
    EXPECT_TRUE(intake.sabahEdit.isEmpty()) << "a half-typed entry is discarded";
    EXPECT_TRUE(intake.correcting.isNew());
}

TEST_F(MenuTest, TheIntakeEntryKeepsTheChosenDay)
{
    const QDate day(2024, 2, 29);
    intake.tarihDate.setDate(day);
    menu.SutAlimButtonClick();
    EXPECT_EQ(intake.tarihDate.date(), day);
    EXPECT_EQ(intake.GunlukSheet.text(), QStringLiteral("29.02.2024-Günlük Süt Girişi"));
    EXPECT_EQ(intake.AylikSheet.text(), QStringLiteral("Şubat-2024-Aylık Süt Girişi"));
}

TEST_F(MenuTest, ThePaymentEntryRereadsItsListAndLeavesTheFields)
{
    payment.KoduEdit.setText(QStringLiteral("yarım"));
    menu.AlisVerisButtonClick();
    EXPECT_TRUE(payment.openedFromMenu);
    EXPECT_EQ(payment.CariTanimQuery.recordCount(), 0);
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"));
    menu.AlisVerisButtonClick();
    EXPECT_EQ(payment.CariTanimQuery.recordCount(), 1);
    EXPECT_EQ(payment.KoduEdit.text(), QStringLiteral("yarım"));
}

TEST_F(MenuTest, TheAccountEntryCancelsAPickAndKeepsAnOpenList)
{
    addAccount(QStringLiteral("A"), QStringLiteral("Ali"));
    addAccount(QStringLiteral("B"), QStringLiteral("Bora"));
    intake.YeniHesapButClick();
    EXPECT_TRUE(accounts.pickCaller);
    accounts.CariTanimQuery.next();

    addAccount(QStringLiteral("C"), QStringLiteral("Cem"));
    menu.CariTanimButtonClick();
    EXPECT_FALSE(accounts.pickCaller);
    EXPECT_EQ(accounts.CariTanimQuery.recordCount(), 2) << "an open list is not re-read";
    EXPECT_EQ(accounts.CariTanimQuery.currentRow(), 1);

    accounts.CariGridDblClick();
    EXPECT_TRUE(intake.KoduEdit.isEmpty()) << "a double-click no longer fills the intake screen";
    EXPECT_TRUE(accounts.window().isVisible());
}

TEST_F(MenuTest, TheLinkLinesOpenTheMakersAddresses)
{
    menu.openWebSite();
    menu.openProgramSite();
    menu.writeMail();
    ASSERT_EQ(shell.opened.size(), 3);
    EXPECT_TRUE(shell.opened[0].startsWith(QStringLiteral("http")));
    EXPECT_TRUE(shell.opened[1].startsWith(QStringLiteral("http")));
    EXPECT_NE(shell.opened[0], shell.opened[1]);
    EXPECT_TRUE(shell.opened[2].startsWith(QStringLiteral("mailto:")));
}

}  // namespace
