#include "screens/cari/cari.h"

#include "common/Conversions.h"
#include "common/PhoneNumber.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QDateTime>

const QStringList TcariF::kCollectionTimes = {QStringLiteral("Sabah/Akşam"), QStringLiteral("Sabah"),
                                              QStringLiteral("Akşam")};

Account accountAt(const Query& accounts)
{
    return {accounts.asString(QStringLiteral("Kodu")), accounts.asString(QStringLiteral("Adi")),
            accounts.asFloat(QStringLiteral("Birim_Fiyati"))};
}

const std::vector<GridColumn> TcariF::kColumns = {
    {QStringLiteral("Kodu"), QStringLiteral("Kodu"), 67},
    {QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 160},
    {QStringLiteral("Birim_Fiyati"), QStringLiteral("Süt Fiyatı"), 0, kAsGeneralNumber},
    {QStringLiteral("Telefon"), QStringLiteral("Telefon"), 100, kAsPhone},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 120},
    {QStringLiteral("Mevki"), QStringLiteral("Mevkii"), 120},
    {QStringLiteral("Koy"), QStringLiteral("Köy"), 100},
    {QStringLiteral("Kisin_Alim"), QStringLiteral("Kışın Alım"), 100},
    {QStringLiteral("Yaz_Alim"), QStringLiteral("Yazın Alım"), 100},
};

TcariF::TcariF(Forms& forms)
    : TForm(forms),
      KisCombo(kCollectionTimes.front()),
      YazCombo(kCollectionTimes.front()),
      CariTanimQuery(forms.sutConnection, {kAccountListSql}),
      CariTable(forms.sutConnection, schema::cariler())
{
    showIn(CariTanimQuery, kColumns);
}

void TcariF::KaydetButClick()
{
    if (!CariTable.isOpen()) CariTable.open();
    if (KoduEdit.isEmpty()) {
        forms_.dialogs.message(QStringLiteral("Süt Alım Hesabı girişi için kod girmelisiniz! Kodu girip kayıt edin."));
        return;
    }
    const int kayitno = parseInteger(kayitnoEdit.text());
    // A correction may not take another account's code either: the two
    // producers would share one balance from then on.
    if (codeUsedByAnother(KoduEdit.text(), kayitno)) {
        forms_.dialogs.message(
            QStringLiteral("Girdiğiniz kod başka Süt Alım Hesapta kullanılmıştır! Kodu değiştirip kayıt edin."));
        return;
    }
    if (AdiEdit.text().trimmed().isEmpty()) {
        forms_.dialogs.message(QStringLiteral("Adı Soyadı boş olduğu için hesap saklanmadı. Adı girip kayıt edin."));
        return;
    }

    const bool correcting = kayitno > 0 && CariTable.locate(QStringLiteral("CID"), kayitno);
    RowWrite row = correcting ? CariTable.edit() : CariTable.append();
    if (!correcting) row.setField(QStringLiteral("Kayit_Tarihi"), QDateTime::currentDateTime());
    row.setField(QStringLiteral("Kodu"), KoduEdit.text())
        .setField(QStringLiteral("Adi"), AdiEdit.text())
        .setField(QStringLiteral("Aciklama"), AciklamaEdit.text())
        .setField(QStringLiteral("Mevki"), mevkiiEdit.text())
        .setField(QStringLiteral("Koy"), koyEdit.text())
        .setField(QStringLiteral("Telefon"), phoneStoredText(phoneValue(TelefonMaskEdit.text())))
        .setField(QStringLiteral("Kisin_Alim"), KisCombo.text())
        .setField(QStringLiteral("Yaz_Alim"), YazCombo.text())
        .setField(QStringLiteral("Birim_Fiyati"), parseDecimal(BirimFiyatEdit.text()));
    row.post();

    reread(CariTanimQuery);
    Bosalt();
    reread(forms_.SutAlimF->CariTanimQuery);
    reread(forms_.VerilenlerF->CariTanimQuery);
}

void TcariF::Dzelt1Click()
{
    const Query& row = CariTanimQuery;
    kayitnoEdit.setText(row.asString(QStringLiteral("CID")));
    KoduEdit.setText(row.asString(QStringLiteral("Kodu")));
    AdiEdit.setText(row.asString(QStringLiteral("Adi")));
    AciklamaEdit.setText(row.asString(QStringLiteral("Aciklama")));
    BirimFiyatEdit.setText(formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Birim_Fiyati"))));
    mevkiiEdit.setText(row.asString(QStringLiteral("Mevki")));
    koyEdit.setText(row.asString(QStringLiteral("Koy")));
    const QString number = generalNumber(parseDecimal(row.asString(QStringLiteral("Telefon"))));
    TelefonMaskEdit.setText(phoneDisplayText(number, QLatin1Char('_')));
    KisCombo.setText(row.asString(QStringLiteral("Kisin_Alim")));
    YazCombo.setText(row.asString(QStringLiteral("Yaz_Alim")));
}

bool TcariF::codeUsedByAnother(const QString& code, int cid)
{
    Statement other(forms_.sutConnection, QStringLiteral("SELECT 1 FROM Cariler WHERE Kodu = ?1 AND CID <> ?2 LIMIT 1;"));
    other.bind(1, code);
    other.bind(2, cid);
    return other.step();
}

TcariF::Ledger TcariF::ledgerOf(const QString& code)
{
    Statement rows(forms_.sutConnection,
                   QStringLiteral("SELECT COUNT(*), ") + kExactBalanceSum + QStringLiteral(" FROM SutGirisi WHERE Kodu = ?1;"));
    rows.bind(1, code);
    rows.step();
    return {static_cast<int>(rows.column(0).toLongLong()), Money::fromUnits(rows.column(1).toLongLong())};
}

QString TcariF::deleteQuestion(const QString& name, const QString& code, const Ledger& ledger)
{
    return QStringLiteral("\"") + name + QStringLiteral("\" isimli kayıt silinecektir!\n\rKodu ") + code +
           QStringLiteral(", ") + QString::number(ledger.rows) + QStringLiteral(" hareket kaydı, bakiyesi ") +
           ledger.balance.text() + QStringLiteral(".\n\rDevam edilsinmi?");
}

QString TcariF::balanceRefusal(const QString& name, const QString& code, const Money& balance)
{
    const QString who = balance.isNegative() ? QStringLiteral("Üreticinin bize borcu ") + balance.negated().text()
                                             : QStringLiteral("Üreticiye borcumuz ") + balance.text();
    return QStringLiteral("\"") + name + QStringLiteral("\" (kodu ") + code +
           QStringLiteral(") silinemez: hesabın bakiyesi sıfır değil. ") + who +
           QStringLiteral(".\nÖnce ödemeyle ya da mahsupla hesabı kapatın, sonra silin.");
}

void TcariF::KaydSil1Click()
{
    if (!CariTable.isOpen()) CariTable.open();
    if (CariTanimQuery.recordCount() == 0) return;
    const QString name = CariTanimQuery.asString(QStringLiteral("Adi"));
    const QString code = CariTanimQuery.asString(QStringLiteral("Kodu"));
    // The ledger rows stay behind a deletion; while they owe anything,
    // later payments to the code must still find the account.
    const Ledger ledger = ledgerOf(code);
    if (!ledger.balance.isZero()) {
        forms_.dialogs.message(balanceRefusal(name, code, ledger.balance));
        return;
    }
    if (!forms_.dialogs.confirmDefaultNo(deleteQuestion(name, code, ledger))) return;
    const QVariant cid = CariTanimQuery.value(QStringLiteral("CID"));
    if (!cid.isNull() && CariTable.locate(QStringLiteral("CID"), cid)) CariTable.deleteCurrent();
    reread(CariTanimQuery);
    Bosalt();
}

void TcariF::Bosalt()
{
    kayitnoEdit.clear();
    KoduEdit.clear();
    AdiEdit.clear();
    AciklamaEdit.clear();
    mevkiiEdit.clear();
    koyEdit.clear();
    TelefonMaskEdit.clear();
}

void TcariF::CariGridDblClick()
{
    const Account picked = accountAt(CariTanimQuery);
    if (pickCaller == kPickForIntake)
        forms_.SutAlimF->takePick(picked);
    else if (pickCaller == kPickForPayment)
        forms_.VerilenlerF->takePick(picked);
    else
        return;
    pickCaller.clear();
    window().hide();
}

void TcariF::CariCsvClick()
{
    saveListAsCsv(CariTanimQuery, kColumns, csvFileName({QStringLiteral("Cariler"), shortDate(QDate::currentDate())}));
}

void TcariF::openForPick(const QString& caller)
{
    bringUp();
    pickCaller = caller;
    if (!CariTanimQuery.isOpen()) CariTanimQuery.open();
}

void TcariF::openForMaintenance()
{
    openForPick(QString());
}

std::optional<Account> TcariF::findCode(const QString& code)
{
    if (!CariTanimQuery.isOpen()) CariTanimQuery.open();
    if (code.isEmpty() || !CariTanimQuery.locate(QStringLiteral("Kodu"), code)) return std::nullopt;
    return accountAt(CariTanimQuery);
}

bool TcariF::checkEntry(const QString& code, const QString& name, const EntryMessages& messages)
{
    if (code.isEmpty()) {
        forms_.dialogs.message(messages.noCode);
        return false;
    }
    const std::optional<Account> account = findCode(code);
    if (!account) {
        forms_.dialogs.message(messages.unknownCode);
        return false;
    }
    if (name != account->adi) {
        forms_.dialogs.message(messages.nameMismatch);
        return false;
    }
    return true;
}
