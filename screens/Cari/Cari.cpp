#include "screens/Cari/Cari.h"

#include "common/Conversions.h"
#include "common/Iban.h"
#include "common/PhoneNumber.h"
#include "ledger/Lists.h"

#include <QDateTime>

const QStringList TcariF::kCollectionTimes = {QStringLiteral("Sabah/Akşam"), QStringLiteral("Sabah"),
                                              QStringLiteral("Akşam")};

const std::vector<GridColumn> TcariF::kColumns = {
    {QStringLiteral("Kodu"), QStringLiteral("Kodu"), 50},
    {QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 140},
    {QStringLiteral("Birim_Fiyati"), QStringLiteral("Süt Fiyatı"), 70, kAsAmount},
    {QStringLiteral("Telefon"), QStringLiteral("Telefon"), 90, kAsPhone},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 60},
    {QStringLiteral("Mevki"), QStringLiteral("Mevkii"), 70},
    {QStringLiteral("Koy"), QStringLiteral("Köy"), 75},
    {QStringLiteral("Kisin_Alim"), QStringLiteral("Kışın Alım"), 92},
    {QStringLiteral("Yaz_Alim"), QStringLiteral("Yazın Alım"), 92},
    {QStringLiteral("IBAN"), QStringLiteral("IBAN"), 0, kAsIban},
};

TcariF::TcariF(Ledger& ledger, Dialogs& dialogs)
    : TForm(ledger, dialogs),
      KisCombo(kCollectionTimes.front()),
      YazCombo(kCollectionTimes.front()),
      CariTanimQuery(ledger.connection(), lists::kAccounts)
{
    showIn(CariTanimQuery, kColumns);
    whenChanged(&LedgerEvents::accountsChanged, [this] {
        if (CariTanimQuery.isOpen() || acting()) reread(CariTanimQuery);
    });
}

void TcariF::KaydetButClick()
{
    Account account;
    account.cid = correcting.get();
    account.kodu = KoduEdit.text();
    account.adi = AdiEdit.text();
    account.aciklama = AciklamaEdit.text();
    account.mevki = mevkiiEdit.text();
    account.koy = koyEdit.text();
    account.telefon = phoneStoredText(phoneValue(TelefonMaskEdit.text()));
    account.kisinAlim = KisCombo.text();
    account.yazAlim = YazCombo.text();
    account.iban = ibanStored(IBANEdit.text());
    // The price is read once the account is known to be taken: a refusal
    // is said before a price that cannot be read.
    Ledger::AccountCheck check = ledger_.checkAccount(account);
    if (check == Ledger::AccountCheck::Ok) {
        account.birimFiyati = BirimFiyatEdit.value();
        try {
            Acting acting(*this);
            check = ledger_.saveAccount(account);
        } catch (const RowChanged& changed) {
            showChangedRow(changed, account.cid);
            return;
        }
    }
    switch (check) {
    case Ledger::AccountCheck::NoCode:
        dialogs_.message(QStringLiteral("Süt Alım Hesabı girişi için kod girmelisiniz! Kodu girip kayıt edin."));
        return;
    case Ledger::AccountCheck::CodeTaken:
        dialogs_.message(QStringLiteral("Girdiğiniz kod başka Süt Alım Hesapta kullanılmıştır! Kodu değiştirip kayıt edin."));
        return;
    case Ledger::AccountCheck::NoName:
        dialogs_.message(QStringLiteral("Adı Soyadı boş olduğu için hesap saklanmadı. Adı girip kayıt edin."));
        return;
    case Ledger::AccountCheck::BadIban:
        focusOn(QStringLiteral("IBANEdit"));
        dialogs_.message(ibanFault(IBANEdit.text()));
        return;
    case Ledger::AccountCheck::Ok:
        break;
    }
    Bosalt();
    focusOn(QStringLiteral("KoduEdit"));
}

void TcariF::KoduEditExit()
{
    if (!correcting.isNew() || !AdiEdit.isEmpty() || KoduEdit.isEmpty()) return;
    if (!CariTanimQuery.isOpen()) CariTanimQuery.open();
    if (!CariTanimQuery.locate(QStringLiteral("Kodu"), KoduEdit.text())) return;
    Dzelt1Click();
}

void TcariF::IBANEditExit()
{
    if (const QString refusal = ibanFault(IBANEdit.text()); !refusal.isEmpty()) {
        // Back in the box before the message, so closing it returns there.
        focusOn(QStringLiteral("IBANEdit"));
        dialogs_.message(refusal);
        return;
    }
    IBANEdit.setText(ibanGroups(IBANEdit.text()));
}

void TcariF::Dzelt1Click()
{
    const Query& row = CariTanimQuery;
    correcting.set(row.value(QStringLiteral("CID")).toLongLong());
    KoduEdit.setText(row.asString(QStringLiteral("Kodu")));
    AdiEdit.setText(row.asString(QStringLiteral("Adi")));
    AciklamaEdit.setText(row.asString(QStringLiteral("Aciklama")));
    BirimFiyatEdit.show(row.asFloat(QStringLiteral("Birim_Fiyati")));
    mevkiiEdit.setText(row.asString(QStringLiteral("Mevki")));
    koyEdit.setText(row.asString(QStringLiteral("Koy")));
    const QString number = generalNumber(parseDecimal(row.asString(QStringLiteral("Telefon"))));
    TelefonMaskEdit.setText(phoneDisplayText(number, QLatin1Char('_')));
    KisCombo.setText(row.asString(QStringLiteral("Kisin_Alim")));
    YazCombo.setText(row.asString(QStringLiteral("Yaz_Alim")));
    IBANEdit.setText(ibanGroups(row.asString(QStringLiteral("IBAN"))));
    ledger_.rememberShown(schema::cariler(), correcting.get(), shownRow(row));
    focusOn(QStringLiteral("AdiEdit"));
}

void TcariF::showChangedRow(const RowChanged& changed, qint64 cid)
{
    if (rowStillThere(changed, [this] { reread(CariTanimQuery); }, CariTanimQuery, QStringLiteral("CID"), cid))
        Dzelt1Click();
    else
        Bosalt();
}

QString TcariF::deleteQuestion(const QString& name, const QString& code, const CodeLedger& ledger)
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
    if (CariTanimQuery.recordCount() == 0) return;
    const QString name = CariTanimQuery.asString(QStringLiteral("Adi"));
    const QString code = CariTanimQuery.asString(QStringLiteral("Kodu"));
    // The ledger rows stay behind a deletion; while they owe anything,
    // later payments to the code must still find the account.
    const CodeLedger rows = ledger_.codeLedger(code);
    if (!rows.balance.isZero()) {
        dialogs_.message(balanceRefusal(name, code, rows.balance));
        return;
    }
    if (!dialogs_.confirmDefaultNo(deleteQuestion(name, code, rows))) return;
    const QVariant cid = CariTanimQuery.value(QStringLiteral("CID"));
    if (cid.isNull()) return;
    ledger_.rememberShown(schema::cariler(), cid.toLongLong(), shownRow(CariTanimQuery));
    try {
        Acting acting(*this);
        ledger_.deleteAccount(cid.toLongLong(), [this](qint64 change) { sonSilme = change; });
    } catch (const RowChanged& changed) {
        showChangedRow(changed, cid.toLongLong());
        return;
    }
    Bosalt();
}

void TcariF::Bosalt()
{
    correcting.clear();
    KoduEdit.clear();
    AdiEdit.clear();
    AciklamaEdit.clear();
    mevkiiEdit.clear();
    koyEdit.clear();
    TelefonMaskEdit.clear();
    IBANEdit.clear();
}

void TcariF::CariGridDblClick()
{
    if (!pickCaller) return;
    const std::function<void(const Account&)> caller = std::exchange(pickCaller, {});
    caller(lists::accountAt(CariTanimQuery));
    window().hide();
}

void TcariF::CariXlsxClick()
{
    saveListAsXlsx(CariTanimQuery, kColumns, QStringLiteral("Cariler"), xlsxFileName({QStringLiteral("Cariler"), shortDate(QDate::currentDate())}));
}

void TcariF::CariCsvClick()
{
    saveListAsCsv(CariTanimQuery, kColumns, csvFileName({QStringLiteral("Cariler"), shortDate(QDate::currentDate())}));
}

void TcariF::openForPick(std::function<void(const Account&)> caller)
{
    bringUp();
    pickCaller = std::move(caller);
    if (!CariTanimQuery.isOpen()) CariTanimQuery.open();
}

void TcariF::openForMaintenance()
{
    openForPick({});
}
