#include "screens/Gecmis/Gecmis.h"

#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "ledger/Lists.h"
#include "store/History.h"
#include "store/Statement.h"

namespace {

const QString kSaat = QStringLiteral("Saat");
const QString kKayit = QStringLiteral("Kayit");
const QString kDegisiklik = QStringLiteral("Degisiklik");
const QString kAyrinti = QStringLiteral("Ayrinti");

// How a line names a record: what it is, the fields that name the row (the
// first `identity` of `fields`), and the fields the user types, which alone
// are named when they change; the rest is worked out from them.
struct RecordLook {
    QString record;
    int identity;
    std::vector<GridColumn> fields;
};

const GridColumn kTarih{QStringLiteral("Tarih"), QStringLiteral("Tarih"), 0, kAsShortDate};
const GridColumn kKodu{QStringLiteral("Kodu"), QStringLiteral("Kodu")};
const GridColumn kAdi{QStringLiteral("Adi"), QStringLiteral("Adı Soyadı")};
const GridColumn kAciklama{QStringLiteral("Aciklama"), QStringLiteral("Açıklama")};


const RecordLook kIntake{QStringLiteral("Süt Girişi"),
                         3,
                         {kTarih, kKodu, kAdi,
                          {QStringLiteral("Sabah"), QStringLiteral("Sabah"), 0, kAsAmount},
                          {QStringLiteral("Aksam"), QStringLiteral("Akşam"), 0, kAsAmount},
                          {QStringLiteral("SBirim_Fiyat"), QStringLiteral("Fiyat"), 0, kAsAmount},
                          kAciklama}};
const RecordLook kPayment{QStringLiteral("Ödeme"),
                          3,
                          {kTarih, kKodu, kAdi,
                           {QStringLiteral("Gider_Tutari"), QStringLiteral("Alacağımız"), 0, kAsAmount},
                           {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Borcumuz"), 0, kAsAmount},
                           {QStringLiteral("Gider_Miktari"), QStringLiteral("Miktarı"), 0, kAsAmount},
                           {QStringLiteral("Fis_No"), QStringLiteral("Fiş No")},
                           kAciklama}};
const RecordLook kAccount{QStringLiteral("Süt Alım Hesabı"),
                          2,
                          {kKodu, kAdi,
                           {QStringLiteral("Birim_Fiyati"), QStringLiteral("Süt Fiyatı"), 0, kAsAmount},
                           {QStringLiteral("Telefon"), QStringLiteral("Telefon"), 0, kAsPhone},
                           kAciklama,
                           {QStringLiteral("Mevki"), QStringLiteral("Mevkii")},
                           {QStringLiteral("Koy"), QStringLiteral("Köy")},
                           {QStringLiteral("Kisin_Alim"), QStringLiteral("Kışın Alım")},
                           {QStringLiteral("Yaz_Alim"), QStringLiteral("Yazın Alım")},
                           {QStringLiteral("IBAN"), QStringLiteral("IBAN"), 0, kAsIban}}};
const RecordLook kDelivery{QStringLiteral("Fabrika Teslimi"),
                           1,
                           {kTarih,
                            {QStringLiteral("Sabah_Fabrika_LT"), QStringLiteral("Sabah Fab.Mik."), 0, kAsAmount},
                            {QStringLiteral("Aksam_Fabrika_LT"), QStringLiteral("Akşam Fab.Mik."), 0, kAsAmount},
                            {QStringLiteral("Birim_Fiyat"), QStringLiteral("Fiyat"), 0, kAsAmount},
                            kAciklama}};
const RecordLook kFactoryPrice{QStringLiteral("Fabrika Fiyatı"),
                               0,
                               {{QStringLiteral("Birim_Fiyat"), QStringLiteral("Fiyat"), 0, kAsAmount}}};

const RecordLook kDeduction{QStringLiteral("Hakediş Kesintisi"),
                            1,
                            {{QStringLiteral("Adi"), QStringLiteral("Adı")},
                             {QStringLiteral("Oran"), QStringLiteral("Oran (%)"), 0, kAsGeneralNumber},
                             {QStringLiteral("Baslangic"), QStringLiteral("Başlangıç"), 0, kAsShortDate}}};

const RecordLook& lookOf(const QString& table, const QVariantMap& row)
{
    if (table == QLatin1String(schema::kesintiler().name)) return kDeduction;
    if (table == QLatin1String(schema::cariler().name)) return kAccount;
    if (table == QLatin1String(schema::fabrika().name)) return kDelivery;
    if (table == QLatin1String(schema::fabrikaCari().name)) return kFactoryPrice;
    return row.value(QStringLiteral("Gelir_Gider")).toString() == kindCode(LedgerKind::Payment) ? kPayment : kIntake;
}

// A field as the line shows it, cut after `longest` characters (0: whole).
QString cellOf(const GridColumn& field, const QVariantMap& row, int longest)
{
    const QString text = cellText(field.format, row.value(field.field));
    return longest > 0 && text.size() > longest ? text.left(longest) + QStringLiteral("…") : text;
}

QString shown(const GridColumn& field, const QVariantMap& row, int longest)
{
    const QString text = cellOf(field, row, longest);
    return text.isEmpty() ? QStringLiteral("boş") : text;
}

QString identityOf(const RecordLook& look, const QVariantMap& row, int longest)
{
    QStringList parts;
    for (int i = 0; i < look.identity; ++i) parts << cellOf(look.fields[i], row, longest);
    return parts.join(QLatin1Char(' '));
}

// A line is put together from its pieces in one go: a note of megabytes
// is copied once, not once for every step of joining.
using Pieces = QStringList;

// The typed fields that hold something, past those that name the row.
Pieces contents(const RecordLook& look, const QVariantMap& row, int longest)
{
    Pieces pieces;
    for (size_t i = look.identity; i < look.fields.size(); ++i) {
        if (row.value(look.fields[i].field).toString().isEmpty()) continue;
        if (!pieces.isEmpty()) pieces << QStringLiteral(", ");
        pieces << look.fields[i].title << QStringLiteral(" ") << shown(look.fields[i], row, longest);
    }
    return pieces;
}

Pieces differences(const RecordLook& look, const QVariantMap& before, const QVariantMap& after, int longest)
{
    Pieces pieces;
    for (const GridColumn& field : look.fields) {
        if (before.value(field.field) == after.value(field.field)) continue;
        if (!pieces.isEmpty()) pieces << QStringLiteral(", ");
        pieces << field.title << QStringLiteral(" ") << shown(field, before, longest) << QStringLiteral(" → ") << shown(field, after, longest);
    }
    return pieces.isEmpty() ? Pieces{QStringLiteral("yalnız hesaplanan alanlar değişti")} : pieces;
}

// What became of the row, each field cut after `longest` characters (0: whole).
QString whatBecame(const RecordLook& look, ChangeKind kind, const QVariantMap& old, const QVariantMap& now, int longest)
{
    const QVariantMap& row = kind == ChangeKind::Restore ? now : old;
    Pieces line;
    switch (kind) {
    case ChangeKind::Correction:
        break;
    case ChangeKind::Deletion:
        line << QStringLiteral("silindi: ");
        break;
    case ChangeKind::Restore:
        line << QStringLiteral("geri alındı: ");
        break;
    default:
        return {};
    }
    if (const QString identity = identityOf(look, row, longest); !identity.isEmpty()) line << identity << QStringLiteral(": ");
    line << (kind == ChangeKind::Correction ? differences(look, old, now, longest) : contents(look, row, longest));
    return line.join(QString());
}

}  // namespace

const std::vector<GridColumn> TGecmisF::kColumns = {
    {kSaat, QStringLiteral("Zaman"), 115},
    {kKayit, QStringLiteral("Kayıt"), 110},
    {kDegisiklik, QStringLiteral("Değişiklik"), 0},
};

TGecmisF::TGecmisF(Ledger& ledger, Dialogs& dialogs)
    : TForm(ledger, dialogs),
      DegisiklikQuery(ledger.connection())
{
    whenChanged(&LedgerEvents::historyChanged, [this] {
        if (rebuilds(DegisiklikQuery)) Listele();
    });
    showIn(DegisiklikQuery, kColumns);
    // A line is made only when a grid shows its row: a kept row may be tens of megabytes.
    DegisiklikQuery.calculatedWhenRead = true;
    DegisiklikQuery.calculatedFields = {kSaat, kKayit, kDegisiklik, kAyrinti};
    DegisiklikQuery.onCalcFields = [](Record& row) {
        const QString zaman = row.value(QStringLiteral("Zaman")).toString();
        row.setValue(kSaat, cellText(kAsShortDate, zaman) + zaman.mid(kStoredDateFormat.size(), 6));
        // An empty kind reads as '\0', which names no change.
        const char islem = row.value(QStringLiteral("Islem")).toString().toLatin1().constData()[0];
        const Line line = describe(row.value(QStringLiteral("Tablo")).toString(), static_cast<ChangeKind>(islem),
                                   row.value(QStringLiteral("Onceki")).toString(), row.value(QStringLiteral("Sonraki")).toString());
        row.setValue(kKayit, line.record);
        row.setValue(kDegisiklik, line.text);
        row.setValue(kAyrinti, line.whole);
    };
    QObject::connect(&DegisiklikQuery, &Query::currentChanged, [this] { Ayrinti.setText(DegisiklikQuery.asString(kAyrinti)); });
    QObject::connect(&DegisiklikQuery, &Query::opened, [this] {
        if (DegisiklikQuery.recordCount() == 0) Ayrinti.clear();
    });
    FormCreate();
}

void TGecmisF::FormCreate()
{
    const QDate today = QDate::currentDate();
    ilktarihDate.setDate(today.addMonths(-1));
    sontarihDate.setDate(today);
}

TGecmisF::Line TGecmisF::describe(const QString& table, ChangeKind kind, const QString& before, const QString& after)
{
    const QVariantMap old = rowFields(before);
    const QVariantMap now = rowFields(after);
    const RecordLook& look = lookOf(table, kind == ChangeKind::Restore ? now : old);
    return {look.record, whatBecame(look, kind, old, now, kLongestInList), whatBecame(look, kind, old, now, 0)};
}

void TGecmisF::Listele()
{
    const QDate first = ilktarihDate.date();
    const QDate last = sontarihDate.date();
    const QString wanted = AraEdit.text().trimmed();
    lists::changes(DegisiklikQuery, first, last, wanted, kMostLines);
    const int lines = DegisiklikQuery.recordCount();
    Label1.setText(lines < kMostLines ? QStringLiteral("%1 - %2 arası %3 değişiklik").arg(shortDate(first), shortDate(last)).arg(lines)
                                      : QStringLiteral("%1 - %2 arası en yeni %3 değişiklik; daha eskileri için aralığı daraltın")
                                            .arg(shortDate(first), shortDate(last))
                                            .arg(lines));
}

void TGecmisF::GeriAlButClick()
{
    if (DegisiklikQuery.recordCount() == 0) return;
    geriAl(DegisiklikQuery.value(QStringLiteral("DID")).toLongLong());
}

bool TGecmisF::geriAl(qint64 change)
{
    Acting acting(*this);
    const Ledger::Restore restore = ledger_.restore(change);
    if (restore.outcome == Ledger::RestoreOutcome::Restored) return true;
    dialogs_.message(Ledger::restoreRefusal(restore));
    return false;
}

void TGecmisF::openFromMenu()
{
    bringUp();
    Listele();
}
