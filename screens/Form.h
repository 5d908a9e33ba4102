#pragma once

#include "common/Conversions.h"
#include "common/Csv.h"
#include "common/Field.h"
#include "common/MonthPeriod.h"
#include "common/Platform.h"
#include "common/Xlsx.h"
#include "ledger/Ledger.h"
#include "ledger/Statements.h"
#include "store/History.h"
#include "store/Query.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <utility>

// "Excel Olarak Kaydet…" of anything a screen shows as a sheet: into the
// .xlsx file the user chooses, offered under the given name in the working
// folder; nothing is written when he gives up.
inline void saveSheetAsXlsx(Dialogs& dialogs, const Sheet& sheet, const QString& fileName)
{
    const QString path = dialogs.askXlsxPath(fileName);
    if (!path.isEmpty()) writeXlsxFile(path, sheet);
}

// What every working screen has: the ledger, the message boxes and its window.
class TForm {
public:
    TForm(Ledger& ledger, Dialogs& dialogs) : ledger_(ledger), dialogs_(dialogs) {}
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm() = default;

    WindowControl& window() { return *window_; }
    const WindowControl& window() const { return *window_; }
    // A window takes over from the headless state; nullptr goes back to it.
    void attachWindow(WindowControl* window) { window_ = window ? window : &headless_; }
    HeadlessWindow& headless() { return headless_; }

    // Where the keyboard goes next, by the control's name: the window moves
    // the focus there; the name asked last is kept.
    std::function<void(const QString& control)> focusMover;
    QString focusAsked;
    void focusOn(const QString& control)
    {
        focusAsked = control;
        if (focusMover) focusMover(control);
    }

    // Whether the screen's window holds an entry typed and not saved; the
    // window tells it.
    std::function<bool()> holdsTyping;
    // Closing the window ("Kapat", Alt+F4, the program's end) with a typed
    // entry not saved asks "Kaydedilsin mi?": "Evet" saves it (the window
    // stays when the save is refused), "Hayır" closes and gives it up, "İptal"
    // (the default) keeps the window and the entry. True when it may close.
    bool mayClose()
    {
        if (!holdsTyping || !holdsTyping()) return true;
        switch (dialogs_.askSaveBeforeClosing(QStringLiteral("Kaydedilsin mi?"))) {
        case Dialogs::Answer::Yes:
            saveEntry();
            return !holdsTyping();
        case Dialogs::Answer::No:
            dropEntry();
            return true;
        case Dialogs::Answer::Cancel:
            break;
        }
        return false;
    }
    // "Kapat": only hides, so every field survives until the next opening.
    void kapatButtonClick()
    {
        if (mayClose()) window().hide();
    }

    // The common opening step: a minimised screen comes back maximised, one
    // the user restored to normal size stays normal; then it is shown in front.
    void bringUp()
    {
        if (window().isMinimized()) window().showMaximized();
        window().showAndRaise();
    }

    // The history's key of the deletion made last from the screen's list,
    // until the next save.
    qint64 sonSilme = 0;
    static inline const QString kNothingToUndo =
        QStringLiteral("Geri alınacak bir silme yok: Ctrl+Z yalnız bu ekranda az önce silinen kaydı geri getirir.");
    // Ctrl+Z right after a deletion: the row is back as it was.
    void GeriAl1Click()
    {
        if (sonSilme == 0) {
            dialogs_.message(kNothingToUndo);
            return;
        }
        Acting acting(*this);
        const Ledger::Restore restore = ledger_.restore(std::exchange(sonSilme, 0));
        if (restore.outcome != Ledger::RestoreOutcome::Restored) dialogs_.message(Ledger::restoreRefusal(restore));
    }

protected:
    // The save "Evet" runs before closing, and what "Hayır" gives up: an
    // entry screen's own.
    virtual void saveEntry() {}
    virtual void dropEntry() {}
    // A change told by the ledger rebuilds a view while it is on screen,
    // or while this screen's own action made the change; a hidden screen is
    // rebuilt when it is opened again.
    template <typename Signal, typename Handler>
    void whenChanged(Signal signal, Handler handler)
    {
        QObject::connect(&ledger_.events(), signal, &subscriptions_, handler);
    }
    bool acting() const { return acting_ > 0; }
    // Sums over the stored rows: when they fail, a stored figure beyond what
    // an entry takes is named by its row rather than by the engine's words.
    template <typename Action>
    void overStoredFigures(Action action)
    {
        try {
            action();
        } catch (const std::exception&) {
            refuseFiguresBeyondMoney(ledger_.connection());
            throw;
        }
    }
    // A correction or deletion refused because its row changed elsewhere:
    // said, and the list read again by `reread`; true when the row is still
    // there, then current in the list, to be shown as it is now.
    bool rowStillThere(const RowChanged& changed, const std::function<void()>& reread, Query& list, const QString& keyField,
                       qint64 key)
    {
        dialogs_.message(QString::fromUtf8(changed.what()));
        reread();
        return list.locate(keyField, key);
    }
    // A change of that day is in the month of the day shown; one of any day too.
    static bool inMonthOf(const QDate& changed, const QDate& shown)
    {
        return !changed.isValid() || (changed.year() == shown.year() && changed.month() == shown.month());
    }
    // Whether a change rebuilds a view: always after the screen's own
    // action, otherwise while the screen is shown and the view was built.
    bool rebuilds(const Query& view) const { return acting() || (window().isVisible() && view.isOpen()); }
    // Marks the screen's own change while it lives.
    class Acting {
    public:
        explicit Acting(TForm& form) : form_(form) { ++form_.acting_; }
        ~Acting() { --form_.acting_; }
        Acting(const Acting&) = delete;
        Acting& operator=(const Acting&) = delete;

    private:
        TForm& form_;
    };

    // "CSV Olarak Kaydet…" of a list: what its grid shows, into the file the
    // user chooses, offered under the given name in the working folder.
    void saveListAsCsv(const Query& rows, const std::vector<GridColumn>& columns, const QString& fileName)
    {
        saveCsv([&] { return listCsv(rows, columns); }, fileName);
    }
    // The same for a text made elsewhere (a settlement, a payout list).
    void saveCsv(const std::function<QString()>& text, const QString& fileName)
    {
        const QString path = dialogs_.askCsvPath(fileName);
        if (!path.isEmpty()) writeTextFile(path, text());
    }
    // "Excel Olarak Kaydet…" of a list: the same cells as its CSV, on a
    // sheet of the given name.
    void saveListAsXlsx(const Query& rows, const std::vector<GridColumn>& columns, const QString& sheetName, const QString& fileName)
    {
        saveAsXlsx(listSheet(rows, columns, sheetName), fileName);
    }
    void saveAsXlsx(const Sheet& sheet, const QString& fileName) { saveSheetAsXlsx(dialogs_, sheet, fileName); }

    Ledger& ledger_;
    Dialogs& dialogs_;

private:
    HeadlessWindow headless_;
    WindowControl* window_ = &headless_;
    int acting_ = 0;
    // The screen's subscriptions end with it.
    QObject subscriptions_;
};

// The current row of a list as it shows it, for the ledger to compare when
// the row is corrected or deleted.
inline QVariantMap shownRow(const Query& query)
{
    QVariantMap fields;
    for (const QString& field : query.fieldNames()) fields.insert(field, query.value(field));
    return fields;
}

// A list whose statement never changes is re-read by closing and opening it.
inline void reread(Query& query)
{
    query.close();
    query.open();
}

// A month page's caption for the day: the month's name, "-", the year and
// the screen's suffix.
inline void captionMonthPage(const QDate& day, const QString& suffix, TextField& caption)
{
    caption.setText(monthCaption(day, suffix));
}
