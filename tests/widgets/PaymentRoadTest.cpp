#include "app/AnaMenu.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Verilenler/VerilenlerWindow.h"
#include "WindowFixture.h"
#include "Typing.h"

#include <QTabWidget>
#include <QTest>

namespace {

// The payment screen in its real window, typed through as an X11 keyboard sends keys.
class PaymentRoadTest : public WindowFixture {
protected:
    PaymentRoadTest() { root = &window; }

    VerilenlerWindow window{payment};
};

TEST_F(PaymentRoadTest, APaymentTypedFromTheDateToSakla)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Veli"));
    menu.AlisVerisButtonClick();
    ASSERT_TRUE(window.isVisible());
    QApplication::setActiveWindow(&window);

    window.findChild<QWidget*>(QStringLiteral("tarihDate"))->setFocus(Qt::TabFocusReason);
    typeX11(QStringLiteral("05.03.2021"));
    pressX11Key(focused(), Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_EQ(focusedName(), QStringLiteral("KoduEdit"));
    typeX11(QStringLiteral("K1"));
    press(Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("AdiEdit"));
    EXPECT_EQ(payment.AdiEdit.text(), QStringLiteral("Ali Veli")) << "leaving the code box looked it up";

    // Enter walks on: receipt, quantity, the two amounts, the note, "Sakla".
    const char* const walk[] = {"FisNoEdit", "MiktariEdit", "AlacagimizEdit", "BorcumuzEdit", "AciklamaEdit", "SaklaBut"};
    const char* const typed[] = {"F-7", "2", "1250,5", "", "yem", nullptr};
    for (int i = 0; i < 6; ++i) {
        press(Qt::Key_Return);
        ASSERT_EQ(focusedName(), QString::fromLatin1(walk[i]));
        if (typed[i]) typeX11(QString::fromUtf8(typed[i]));
    }
    EXPECT_EQ(payment.AlacagimizEdit.text(), QStringLiteral("1.250,50")) << "formatted on leaving";
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(QLatin1Char('|')).toStdString();

    const auto saved = rows(QStringLiteral("SELECT * FROM SutGirisi"));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0][QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-05"));
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Gider_Tutari")].toDouble(), 1250.5);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Gider_Miktari")].toDouble(), 2);
    EXPECT_EQ(saved[0][QStringLiteral("Fis_No")].toString(), QStringLiteral("F-7"));

    QAbstractItemModel* month = window.findChild<QueryGrid*>(QStringLiteral("monthGrid"))->model();
    ASSERT_EQ(month->rowCount(), 1);
    EXPECT_EQ(month->index(0, 0).data().toString(), QStringLiteral("05.03.2021"));
    EXPECT_EQ(month->index(0, 4).data().toString(), QStringLiteral("1.250,50"));
    EXPECT_EQ(month->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Alacağımız"));
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Bakiye"))->text(), QStringLiteral("-1.250,50"));
    EXPECT_EQ(window.findChild<QTabWidget*>(QStringLiteral("tabs"))->tabText(0),
              QStringLiteral("Mart-2021-Aylık Yapılan Ödeme ve Diğer İşlemler"));

    // The panel is new, the keyboard in its code box for the next item; the
    // row is corrected only when chosen from the list: F6 goes into it,
    // Enter loads the row, the panel names it, Escape gives it up.
    EXPECT_EQ(focusedName(), QStringLiteral("KoduEdit"));
    EXPECT_TRUE(payment.KoduEdit.isEmpty());
    QTest::keyClick(focused(), Qt::Key_F6);
    EXPECT_EQ(focusedName(), QStringLiteral("monthGrid"));
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(focusedName(), QStringLiteral("AlacagimizEdit"));
    EXPECT_FALSE(payment.DuzeltmeLabel.isEmpty());
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 1);
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_TRUE(payment.correcting.isNew());
    EXPECT_TRUE(payment.DuzeltmeLabel.isEmpty());
    EXPECT_TRUE(payment.KoduEdit.isEmpty());
}

}  // namespace
