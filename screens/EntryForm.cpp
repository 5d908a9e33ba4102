#include "screens/EntryForm.h"

#include "common/TurkishText.h"
#include "screens/cari/cari.h"
#include "store/SqlText.h"

const std::vector<GridColumn> TEntryForm::kAccountColumns = {{QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 148}};

TEntryForm::TEntryForm(Forms& forms)
    : TForm(forms),
      CariTanimQuery(forms.sutConnection, {kAccountListSql}),
      SutGirisiTable(forms.sutConnection, schema::sutGirisi())
{
    showIn(CariTanimQuery, kAccountColumns);
    kayitnoEdit.onChange([this](const QString&) { showCorrectionMode(); });
}

void TEntryForm::CariGridDblClick()
{
    takePick(accountAt(CariTanimQuery));
}

void TEntryForm::BulButClick()
{
    findNext(CariTanimQuery, QStringLiteral("Adi"), SutcuAraEdit.text());
}

void TEntryForm::EscapeKeyPress()
{
    if (!kayitnoEdit.isEmpty()) Bosalt();
}

bool TEntryForm::emptyEntryMeant(const QString& what)
{
    if (!kayitnoEdit.isEmpty()) return true;
    return forms_.dialogs.confirmDefaultNo(KoduEdit.text() + QLatin1Char(' ') + AdiEdit.text() + QStringLiteral(" için ") +
                                           what + QStringLiteral(" boş. Yine de saklansın mı?"));
}

void TEntryForm::showCorrectionMode()
{
    const int kayitno = parseInteger(kayitnoEdit.text());
    if (kayitno <= 0) {
        DuzeltmeLabel.clear();
        return;
    }
    if (!SutGirisiTable.isOpen()) SutGirisiTable.open();
    if (!SutGirisiTable.locate(SutGirisiTable.keyField(), kayitno)) {
        // Gone meanwhile: the next save adds it anew.
        DuzeltmeLabel.clear();
        return;
    }
    DuzeltmeLabel.setText(QStringLiteral("Düzeltme: ") + cellText(kAsShortDate, SutGirisiTable.fieldValue(QStringLiteral("Tarih"))) +
                          QStringLiteral(" · ") +
                          SutGirisiTable.fieldValue(QStringLiteral("Kodu")).toString() + QLatin1Char(' ') +
                          SutGirisiTable.fieldValue(QStringLiteral("Adi")).toString());
}
