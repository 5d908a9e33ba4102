#include "common/widgets/EntryBoxes.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/QtPlatform.h"
#include "common/widgets/QueryGrid.h"
#include "ModalCatcher.h"
#include "TempDatabase.h"
#include "../common/QtPrinters.h"
#include "Typing.h"
#include "store/Query.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
}

// A code box, the date picker, and the code box after it, as on the intake panel.
class PickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        picker = new DatePicker(&window);
        after = new QLineEdit(&window);
        for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(picker), static_cast<QWidget*>(after)})
            layout->addWidget(w);
        picker->setDate(QDate(2020, 12, 31));
        after->setText(QStringLiteral("K1"));
        activate(window);
    }

    QWidget window;
    QLineEdit* before = nullptr;
    DatePicker* picker = nullptr;
    QLineEdit* after = nullptr;
};

TEST_F(PickerTest, ADateTypedWithDotsStaysInThePickerHoweverItWasEntered)
{
    for (const Qt::FocusReason reason : {Qt::TabFocusReason, Qt::BacktabFocusReason}) {
        before->setFocus();
        picker->setDate(QDate(2020, 12, 31));
        picker->setFocus(reason);
        typeX11(QStringLiteral("05.03.2021"));
        EXPECT_EQ(picker->date(), QDate(2021, 3, 5)) << "focus reason " << reason;
        EXPECT_EQ(QApplication::focusWidget(), picker) << "focus reason " << reason;
        EXPECT_EQ(after->text(), QStringLiteral("K1")) << "nothing typed lands in the next box";
        // A separator typed on the year stays there too.
        typeX11(QStringLiteral("."));
        EXPECT_EQ(QApplication::focusWidget(), picker);
    }
    // A day typed with one digit moves on with its separator: 7.3.2021.
    before->setFocus();
    picker->setFocus(Qt::TabFocusReason);
    typeX11(QStringLiteral("7.3.2021"));
    EXPECT_EQ(picker->date(), QDate(2021, 3, 7));

    pressX11Key(picker, Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_EQ(QApplication::focusWidget(), after) << "Tab leaves the picker";
    picker->setFocus(Qt::TabFocusReason);
    pressX11Key(picker, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), before) << "Shift+Tab leaves it backwards";
}

// An impossible day stays as typed and the picker is not left, by Tab or
// by a click, until it is mended or given up with Escape.
TEST_F(PickerTest, ADayTheCalendarDoesNotHaveIsNeverTakenForAnother)
{
    const struct {
        const char* typed;
        const char* mended;  // typed after the refusal; nullptr: Escape
        QDate day;
    } cases[] = {
        {"31.11.2026", nullptr, QDate(2020, 12, 31)},
        {"30.02.2026", nullptr, QDate(2020, 12, 31)},
        {"31.11.2026", "30.11.2026", QDate(2026, 11, 30)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        picker->setDate(QDate(2020, 12, 31));
        before->setFocus(Qt::TabFocusReason);
        picker->setFocus(Qt::TabFocusReason);
        typeX11(QString::fromUtf8(c.typed));
        EXPECT_EQ(picker->text(), QString::fromUtf8(c.typed));
        ModalCatcher box;
        pressX11Key(picker, Qt::Key_Tab, QStringLiteral("\t"));
        activate(window);  // the platform here gives the focus back to no one
        QTest::mouseClick(after, Qt::LeftButton);
        activate(window);
        EXPECT_EQ(box.count, 2) << "refused by Tab and by a click";
        EXPECT_TRUE(box.lastText.startsWith(QString::fromUtf8(c.typed))) << box.lastText.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), picker);
        if (c.mended) {
            pressX11Key(picker, Qt::Key_Home, QString());
            typeX11(QString::fromUtf8(c.mended));
        } else {
            pressX11Key(picker, Qt::Key_Escape, QStringLiteral("\x1b"));
        }
        EXPECT_EQ(picker->date(), c.day);
        pressX11Key(picker, Qt::Key_Tab, QStringLiteral("\t"));
        EXPECT_EQ(QApplication::focusWidget(), after);
        EXPECT_EQ(box.count, 2);
    }
}

TEST(X11Keys, DeleteRemovesTheCharacterAfterTheCaretInEveryBox)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* amount = new AmountEdit(&window);
    auto* name = new NameEdit(&window);
    layout->addWidget(amount);
    layout->addWidget(name);
    activate(window);

    const struct {
        QLineEdit* box;
        const char* text;
        int caret;
        const char* after;
    } cases[] = {
        {amount, "123", 0, "23"},
        {amount, "12,50", 3, "12,0"},
        {amount, "1.234", 3, "124"},  // the box's own group mark is never read as typed
        {amount, "1234567890123456789", 0, "234567890123456789"},  // pasted, past what regroups
        {name, "Alii", 3, "Ali"},
        {name, "Ali Can", 3, "AliCan"},
    };
    for (const auto& c : cases) {
        c.box->setFocus(Qt::OtherFocusReason);
        c.box->setText(QString::fromUtf8(c.text));
        c.box->setCursorPosition(c.caret);
        pressX11Key(c.box, Qt::Key_Delete, QStringLiteral("\x7f"));
        EXPECT_EQ(c.box->text(), QString::fromUtf8(c.after)) << c.text;
        EXPECT_FALSE(c.box->text().contains(QChar(0x7f))) << c.text;
    }

    // Backspace shortens a pasted number too long to regroup.
    amount->setText(QStringLiteral("1234567890123456789"));
    amount->setCursorPosition(19);
    pressX11Key(amount, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(amount->text(), QStringLiteral("123456789012345678"));
}

TEST(X11Keys, TextFromAnInputMethodIsFilteredLikeTypedKeys)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* amount = new AmountEdit(&window);
    auto* name = new NameEdit(&window);
    layout->addWidget(amount);
    layout->addWidget(name);
    activate(window);

    const auto commit = [](QWidget* box, const QString& text) {
        QInputMethodEvent event(QString(), {});
        event.setCommitString(text);
        QCoreApplication::sendEvent(box, &event);
    };
    amount->setFocus(Qt::OtherFocusReason);
    amount->setText(QStringLiteral("1"));
    amount->setCursorPosition(1);
    commit(amount, QStringLiteral("5a,25"));
    EXPECT_EQ(amount->text(), QStringLiteral("15,25")) << "a letter is refused";
    commit(amount, QStringLiteral(",9"));
    EXPECT_EQ(amount->text(), QStringLiteral("15,25")) << "a second separator and a third decimal are refused";

    name->setFocus(Qt::OtherFocusReason);
    commit(name, QStringLiteral("ışık\t"));
    EXPECT_EQ(name->text(), QStringLiteral("Işık")) << "capitalised, and no control character";
}

TEST(Grid, AColumnNamingAMissingFieldGoesToTheErrorBoxAndThePaintingGoesOn)
{
    TempDatabase db;
    Query query(db.connection, {QStringLiteral("SELECT Kodu, Adi FROM Cariler;")});
    const std::vector<GridColumn> columns = {{QStringLiteral("Adi"), QStringLiteral("Adı Soyadı")},
                                             {QStringLiteral("Soyad"), QStringLiteral("Yok")}};
    showIn(query, columns);
    QueryGrid grid(query, columns);
    grid.show();

    ModalCatcher box;
    guarded([&] { query.open(); });
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.lastText, QStringLiteral("\'Soyad\' alanı bulunamadı"));
    EXPECT_FALSE(query.isOpen());
    EXPECT_NO_THROW(grid.grab());
}

TEST(MessageBox, AShortTextStillShowsTheWholeTitle)
{
    ModalCatcher box;
    showErrorBox(QStringLiteral("x"));
    EXPECT_EQ(box.lastTitle, QStringLiteral("Orvalin Kovanta"));
    EXPECT_GE(box.lastWidth, QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("Orvalin Kovanta")) + 100);
}

// Whatever a handler throws reaches the error box; the program goes on.
TEST(MessageBox, AnythingThrownReachesTheErrorBox)
{
    ModalCatcher box;
    bool after = false;
    guarded([] { throw 42; });
    guarded([] { throw std::runtime_error("'X' alanı bulunamadı"); });
    guarded([&after] { after = true; });
    EXPECT_EQ(box.count, 2);
    EXPECT_EQ(box.lastText, QStringLiteral("'X' alanı bulunamadı"));
    EXPECT_TRUE(after);
}

// Enter on a question that deletes or stores an empty entry answers No.
TEST(MessageBox, EnterAnswersNoWhereNoIsTheSafeAnswer)
{
    QtDialogs dialogs;
    ModalCatcher enter(QMessageBox::NoButton);
    EXPECT_TRUE(dialogs.confirm(QStringLiteral("Yeni veritabanı oluşturulsun mu?")));
    EXPECT_FALSE(dialogs.confirmDefaultNo(QStringLiteral("Silinsin mi?")));
    EXPECT_EQ(dialogs.askYesNoCancel(QStringLiteral("Silinsin mi?")), Dialogs::Answer::No);
    EXPECT_EQ(enter.count, 3);
}

}  // namespace
