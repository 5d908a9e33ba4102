#include "screens/EntryForm.h"

#include "common/TurkishText.h"
#include "ledger/Lists.h"

#include <utility>

const std::vector<GridColumn> TEntryForm::kAccountColumns = {{QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 148}};

TEntryForm::TEntryForm(Ledger& ledger, Dialogs& dialogs)
    : TForm(ledger, dialogs),
      SutGirisiQuery(ledger.connection()),
      CariTanimQuery(ledger.connection(), lists::kAccounts)
{
    showIn(CariTanimQuery, kAccountColumns);
    correcting.onChange([this](qint64) { showCorrectionMode(); });
    // An account list that is open follows every change of the accounts.
    whenChanged(&LedgerEvents::accountsChanged, [this] {
        if (CariTanimQuery.isOpen()) reread(CariTanimQuery);
    });
}

void TEntryForm::CariGridDblClick()
{
    takePick(lists::accountAt(CariTanimQuery));
}

void TEntryForm::BulButClick()
{
    findNext(CariTanimQuery, QStringLiteral("Adi"), SutcuAraEdit.text());
}

void TEntryForm::EscapeKeyPress()
{
    if (correcting.isNew()) return;
    Bosalt();
    focusOn(QStringLiteral("KoduEdit"));
}

void TEntryForm::KaydSil1Click()
{
    if (SutGirisiQuery.recordCount() == 0 || chosenRowPosted()) return;
    if (dialogs_.askYesNoCancel(deleteQuestion()) != Dialogs::Answer::Yes) return;
    const QVariant key = SutGirisiQuery.value(QStringLiteral("SGID"));
    if (key.isNull()) return;
    ledger_.rememberShown(schema::sutGirisi(), key.toLongLong(), shownRow(SutGirisiQuery));
    try {
        Acting acting(*this);
        ledger_.deleteEntry(key.toLongLong(), [this](qint64 change) { sonSilme = change; });
    } catch (const RowChanged& changed) {
        showChangedRow(changed, key.toLongLong());
    }
}

bool TEntryForm::chosenRowPosted()
{
    const QString fisNo = ledger_.postingOf(SutGirisiQuery.value(QStringLiteral("SGID")).toLongLong());
    if (fisNo.isEmpty()) return false;
    dialogs_.message(Ledger::postedRefusal(fisNo));
    return true;
}

void TEntryForm::rememberChosenRow()
{
    ledger_.rememberShown(schema::sutGirisi(), correctedRow(), shownRow(SutGirisiQuery));
}

void TEntryForm::showChangedRow(const RowChanged& changed, qint64 key)
{
    if (rowStillThere(changed, [this] { refreshList(); }, SutGirisiQuery, QStringLiteral("SGID"), key))
        Dzelt1Click();
    else
        Bosalt();
}

bool TEntryForm::entryAccepted(Ledger::EntryCheck check, const EntryMessages& messages)
{
    switch (check) {
    case Ledger::EntryCheck::Ok:
        return true;
    case Ledger::EntryCheck::NoCode:
        dialogs_.message(messages.noCode);
        break;
    case Ledger::EntryCheck::UnknownCode:
        dialogs_.message(messages.unknownCode);
        break;
    case Ledger::EntryCheck::NameMismatch:
        dialogs_.message(messages.nameMismatch);
        break;
    }
    return false;
}

bool TEntryForm::emptyEntryMeant(const QString& what)
{
    if (!correcting.isNew()) return true;
    return dialogs_.confirmDefaultNo(KoduEdit.text() + QLatin1Char(' ') + AdiEdit.text() + QStringLiteral(" için ") + what +
                                     QStringLiteral(" boş. Yine de saklansın mı?"));
}

void TEntryForm::showCorrectionMode()
{
    // Gone meanwhile: the next save adds it anew.
    const std::optional<EntryHead> row = ledger_.entryHead(correctedRow());
    if (!row) {
        DuzeltmeLabel.clear();
        return;
    }
    DuzeltmeLabel.setText(QStringLiteral("Düzeltme: ") + shortDate(row->tarih) + QStringLiteral(" · ") + row->kodu +
                          QLatin1Char(' ') + row->adi);
}
