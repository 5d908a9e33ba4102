#include "app/AnaMenuWindow.h"
#include "bench/LedgerGenerator.h"
#include "common/widgets/QtPlatform.h"
#include "common/widgets/QueryGrid.h"
#include "screens/Fabrika/FabrikaWindow.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/Hakedis/HakedisWindow.h"
#include "screens/KaliteFiyati/KaliteFiyatiWindow.h"
#include "screens/Kesintiler/KesintilerWindow.h"
#include "screens/Rapor/RaporWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Verilenler/VerilenlerWindow.h"
#include "screens/Cari/CariWindow.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/Hakedis/Hakedis.h"
#include "screens/Kesintiler/Kesintiler.h"
#include "ledger/Quality.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyle>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// The style keeps three pixels at each side of a cell's text; one more
// each side for a face hinted wider on a real screen than here.
constexpr int kCellMargins = 8;
// A cell that wraps breaks its lines within the style's margins, in the
// face it is drawn with, as its row's height is measured.
constexpr int kWrapMargins = 6;

// What a window shows cut short: a label narrower than its text, a box
// narrower than the figure in it, a button narrower than its caption, a
// list column narrower than its title or its widest cell, or a list wider
// than its pane. Measured with the fonts in use, not looked at.
// Whether a part of the widget lies outside one of its parents, which cuts
// it off; inside a scrolled pane it may.
bool outsideItsParents(const QWidget* widget, const QWidget* window)
{
    QRect area = widget->rect();
    for (const QWidget* w = widget; w != window && w->parentWidget(); w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        if (qobject_cast<const QAbstractScrollArea*>(parent->parentWidget())) return false;
        area.translate(w->pos());
        if (!parent->rect().contains(area)) return true;
    }
    return false;
}

QStringList clippedIn(QWidget* window)
{
    QStringList cut;
    const auto name = [](const QWidget* w, const QString& text) {
        return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), text);
    };
    // The window manager's bar holds the title in bold beside an icon and
    // three buttons, each about as wide as two lines of text are high.
    QFont bar = window->font();
    bar.setBold(true);
    const int titleNeeds = QFontMetrics(bar).horizontalAdvance(window->windowTitle()) + 4 * 2 * QFontMetrics(bar).height();
    if (window->width() < titleNeeds)
        cut << name(window, window->windowTitle()) + QStringLiteral(": %1 < %2").arg(window->width()).arg(titleNeeds);
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->isWindow()) continue;
        if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
            qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QAbstractItemView*>(widget))
            if (outsideItsParents(widget, window))
                cut << QStringLiteral("%1 %2 reaches past its pane").arg(QString::fromLatin1(widget->metaObject()->className()),
                                                                        widget->objectName());
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty() || label->wordWrap()) continue;
        // Cut at the edge on purpose, with the whole text on hover: the correction line, which
        // keeps the window's width. What a status bar says has the window's width, and shows whole.
        if (!qobject_cast<QStatusBar*>(label->parentWidget()) && label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
            continue;
        // A label naming its box's Alt letter shows the letter underlined, not its "&".
        const QString text = label->text();
        const int advance = label->buddy() ? label->fontMetrics().size(Qt::TextShowMnemonic, text).width()
                                           : label->fontMetrics().horizontalAdvance(text);
        const int needed = advance + 2 * label->frameWidth() + 2 * label->margin();
        if (label->contentsRect().width() + 2 * label->frameWidth() < needed)
            cut << name(label, label->text()) + QStringLiteral(": %1 < %2").arg(label->width()).arg(needed);
    }
    for (const QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (!box->isVisibleTo(window) || box->text().isEmpty() || !box->inputMask().isEmpty()) continue;
        if (qobject_cast<const QComboBox*>(box->parentWidget())) continue;
        QStyleOptionFrame frame;
        frame.initFrom(box);
        const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &frame, box);
        // QLineEdit keeps two pixels at each side of its text.
        const int needed = box->fontMetrics().horizontalAdvance(box->text()) + 4;
        if (room.width() < needed) cut << name(box, box->text()) + QStringLiteral(": %1 < %2").arg(room.width()).arg(needed);
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty()) continue;
        int room = button->width();
        int needed = button->sizeHint().width();
        if (const auto* push = qobject_cast<const QPushButton*>(button)) {
            // The style's least width for a button is no need of its caption.
            QStyleOptionButton option;
            option.initFrom(push);
            option.text = push->text();
            room = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push).width();
            needed = push->fontMetrics().size(Qt::TextShowMnemonic, push->text()).width();
        }
        if (room < needed) cut << name(button, button->text()) + QStringLiteral(": %1 < %2").arg(room).arg(needed);
    }
    for (const QTabBar* tabs : window->findChildren<QTabBar*>()) {
        if (!tabs->isVisibleTo(window)) continue;
        for (int i = 0; i < tabs->count(); ++i) {
            const int needed = tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + 12;
            if (tabs->tabRect(i).width() < needed)
                cut << name(tabs, tabs->tabText(i)) + QStringLiteral(": %1 < %2").arg(tabs->tabRect(i).width()).arg(needed);
        }
    }
    for (const QueryGrid* grid : window->findChildren<QueryGrid*>()) {
        if (!grid->isVisibleTo(window)) continue;
        const QAbstractItemModel* rows = grid->model();
        const QFontMetrics cells = grid->fontMetrics();
        const QFontMetrics titles = grid->horizontalHeader()->fontMetrics();
        const bool twoLineTitles = grid->horizontalHeader()->height() > 2 * titles.height();
        int total = 0;
        for (int column = 0; column < rows->columnCount(); ++column) {
            if (grid->isColumnHidden(column)) continue;
            const int width = grid->columnWidth(column);
            total += width;
            QString title = rows->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            int needed = 0;
            if (twoLineTitles) {
                for (const QString& word : title.split(QLatin1Char(' '))) needed = std::max(needed, titles.horizontalAdvance(word) + 8);
            } else {
                needed = titles.horizontalAdvance(title) + 8;
            }
            QString widest;
            // Beside what the rows hold, the widest a phone number, an IBAN or a day can be.
            const auto* table = qobject_cast<const QueryTableModel*>(rows);
            switch (table->columns()[static_cast<size_t>(column)].format.kind) {
            case CellFormat::Kind::Phone: widest = QStringLiteral("(000)000-00-00"); break;
            case CellFormat::Kind::Iban: widest = QStringLiteral("TR00 0000 0000 0000 0000 0000 00"); break;
            case CellFormat::Kind::ShortDate: widest = QStringLiteral("30.12.2026"); break;
            default: break;
            }
            if (!widest.isEmpty()) needed = std::max(needed, cells.horizontalAdvance(widest) + kCellMargins);
            for (int row = 0; row < rows->rowCount(); ++row) {
                const QString text = rows->index(row, column).data().toString();
                // A list that wraps its cells: a text longer than its column has each
                // word within it and every line within the row.
                if (grid->wordWrap() && cells.horizontalAdvance(text) + kCellMargins > width) {
                    const QRect lines = cells.boundingRect(QRect(0, 0, width - kWrapMargins, 0), Qt::TextWordWrap, text);
                    if (lines.width() + kWrapMargins > width || lines.height() >= grid->rowHeight(row))
                        cut << name(grid, text) + QStringLiteral(" wrapped: %1×%2 > %3×%4")
                                                      .arg(lines.width() + kWrapMargins)
                                                      .arg(lines.height())
                                                      .arg(width)
                                                      .arg(grid->rowHeight(row) - 1);
                    continue;
                }
                if (cells.horizontalAdvance(text) + kCellMargins > needed) {
                    needed = cells.horizontalAdvance(text) + kCellMargins;
                    widest = text;
                }
            }
            if (width < needed)
                cut << name(grid, title) + QStringLiteral(" column: %1 < %2 %3").arg(width).arg(needed).arg(widest);
        }
        const int pane = grid->viewport()->width();
        if (total > pane) cut << name(grid, grid->objectName()) + QStringLiteral(": columns %1 > pane %2").arg(total).arg(pane);
    }
    return cut;
}

// Every window over a demo ledger of thirty producers and half a year, as
// a 1024×768 screen holds it maximised.
class LayoutFitTest : public WindowFixture {
protected:
    void SetUp() override
    {
        const QDate today = QDate::currentDate();
        generateLedger(db.connection, {30, 180, today.addDays(-1), 7, 40});
        // A settlement posted up to today: its deductions' long notes stand in the lists.
        TKesintilerF& deductions = *screens.KesintilerF;
        deductions.AdiCombo.setText(QStringLiteral("Gelir Vergisi Stopajı"));
        deductions.OranEdit.setText(QStringLiteral("2"));
        deductions.BaslangicDate.setDate(today.addYears(-1));
        deductions.KaydetClick();
        // A quality price line: the intake panel shows its quality boxes.
        QualityLine quality;
        quality.baslangic = today.addYears(-1), quality.referansFiyat = 15, quality.hijyenFarklari = QStringLiteral("A=0.05;C=-0.3");
        QualityPrices(screens.ledger).save(quality);
        THakedisF& settlement = *screens.HakedisF;
        settlement.IlkTarihDate.setDate(today.addDays(-14));
        settlement.SonTarihDate.setDate(today);
        settlement.KaydetClick();
        menu.SutAlimButtonClick();
        menu.AlisVerisButtonClick();
        menu.FabrikaButtonClick();
        menu.CariTanimButtonClick();
        menu.RaporButtonClick();
        report.SutGirisiGridDblClick();
        menu.GecmisButtonClick();
        menu.KesintilerClick();
        menu.KaliteFiyatiClick();
        menu.HakedisClick();
        screens.HakedisF->HesaplaClick();
    }

    static QStringList laidOut(QWidget& window)
    {
        window.setWindowState(Qt::WindowNoState);
        window.resize(1024, 740);
        window.show();
        QApplication::processEvents();
        QStringList cut = clippedIn(&window);
        // Every page of every set of tabs.
        for (QTabWidget* tabs : window.findChildren<QTabWidget*>())
            for (int page = 1; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                QApplication::processEvents();
                cut << clippedIn(&window);
            }
        window.hide();
        cut.removeDuplicates();
        return cut;
    }

    // Each window made anew, in the font the application has now.
    QStringList everyWindow()
    {
        QStringList cut;
        const auto tell = [&cut](const char* what, const QStringList& lines) {
            for (const QString& line : lines) cut << QString::fromLatin1(what) + QStringLiteral(": ") + line;
        };
        const auto check = [&tell](const char* what, QWidget&& window) { tell(what, laidOut(window)); };
        AnaMenuWindow withCopyNamed(menu);
        withCopyNamed.showStatus(QStringLiteral("Günlük yedek alındı ve denetlendi: AnaData/Yedek/Kovanta-2026-12-10.mdb"));
        check("menu", std::move(withCopyNamed));
        check("intake", SutAlimWindow(intake));
        check("payment", VerilenlerWindow(payment));
        check("factory", FabrikaWindow(factory));
        check("accounts", CariWindow(accounts));
        check("report", RaporWindow(report));
        check("history", GecmisWindow(*screens.GecmisF));
        check("deductions", KesintilerWindow(*screens.KesintilerF));
        check("quality prices", KaliteFiyatiWindow(*screens.KaliteFiyatiF));
        check("settlement", HakedisWindow(*screens.HakedisF));
        // The payout day "Ödendi Olarak Kaydet" asks, as it opens.
        QTimer::singleShot(0, [&tell] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            tell("payout day", clippedIn(dialog));
            dialog->close();
        });
        QtDialogs().askDate(QStringLiteral("Ödeme günü:"), QDate::currentDate());
        return cut;
    }
};

// In the face the windows are laid out for, and in DejaVu Sans, the wider
// face a system without Liberation Sans gives.
TEST_F(LayoutFitTest, NoWindowCutsAFigureALabelOrAColumnAt1024By768)
{
    const QFont programFont = QApplication::font();
    QFont wide(QStringLiteral("DejaVu Sans"));
    wide.setPointSize(programFont.pointSize());
    for (const QFont& font : {programFont, wide}) {
        SCOPED_TRACE(QFontInfo(font).family().toStdString());
        QApplication::setFont(font);
        const QStringList cut = everyWindow();
        EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
    }
    QApplication::setFont(programFont);
}

}  // namespace
