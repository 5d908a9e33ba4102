#include "screens/SutAlim/SutAlim.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"
#include "common/TurkishText.h"
#include "ledger/Lists.h"

#include <array>

namespace {

const TEntryForm::EntryMessages kEntryMessages = {
    QStringLiteral("Giriş için Süt Alım Hesabı seçin!"),
    QStringLiteral("Girdiğiniz Koda Ait Süt Alım Hesabı Bulunamadı!"),
    QStringLiteral("Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"),
};

const QString kKodu = QStringLiteral("Kodu");
const QString kAdi = QStringLiteral("Adi");

const QString kNoCounter =
    QStringLiteral("Bu bilgisayarda sayaç cihazı yok: ana menüde Cihazlar… ile analizörü ve teraziyi seçin; değerleri elle yazabilirsiniz.");

// An empty quality box is a pour not measured.
std::optional<double> optionalFigure(const FigureField& box)
{
    if (box.text().trimmed().isEmpty()) return std::nullopt;
    return box.value();
}

PourQuality pourFrom(const FigureField& yag, const FigureField& protein, const TextField& hijyen)
{
    return {optionalFigure(yag), optionalFigure(protein), hijyen.text().trimmed().toUpper()};
}

void showFigure(FigureField& box, const std::optional<double>& stored)
{
    if (stored)
        box.show(*stored);
    else
        box.clear();
}

QString priceText(const char* pour, const Ledger::PourPrice& price)
{
    return QString::fromUtf8(pour) + QLatin1Char(' ') + perLitreText(price.perLitre);
}

QString qualityBoxName(bool evening, PourQualityProblem::Box box)
{
    const char* const names[] = {"YagEdit", "ProteinEdit", "HijyenEdit"};
    return QLatin1Char(evening ? 'A' : 'S') + QLatin1String(names[static_cast<int>(box)]);
}

// Morning and evening litres of a totals row; an empty sum counts as 0.
double totalLitres(const Record& row)
{
    return row.asFloat(QStringLiteral("Sabah_Toplam")) + row.asFloat(QStringLiteral("Aksam_Toplam"));
}

}  // namespace

const std::vector<GridColumn> TSutAlimF::kDayColumns = {
    {kAdi, QStringLiteral("Adı Soyadı"), 130},
    {QStringLiteral("Sabah"), QStringLiteral("Sabah LT"), 0, kAsAmount},
    {QStringLiteral("Aksam"), QStringLiteral("Akşam LT"), 0, kAsAmount},
    {QStringLiteral("toplam"), QStringLiteral("Toplam LT"), 0, kAsAmount},
    {QStringLiteral("Gelir_Toplam_Tutar"), QStringLiteral("Toplam Tutar"), 0, kAsAmount},
    {QStringLiteral("Aciklama"), QStringLiteral("Açıklama"), 250},
};
const std::vector<TotalBox> TSutAlimF::kDayTotals = {
    {QStringLiteral("Sabah Toplamı"), QStringLiteral("Sabah_Toplam")},
    {QStringLiteral("Akşam Toplamı"), QStringLiteral("Aksam_Toplam")},
    {QStringLiteral("Genel Toplam"), QStringLiteral("Genel_Toplam")},
    {QStringLiteral("Tutar Toplam"), QStringLiteral("Toplam_Tutar")},
};
const std::vector<GridColumn> TSutAlimF::kMonthColumns = {
    {kAdi, QStringLiteral("Adı Soyadı"), 120},
    {QStringLiteral("Sabah_Toplam"), QStringLiteral("Sabah LT"), 0, kAsAmount},
    {QStringLiteral("Aksam_Toplam"), QStringLiteral("Akşam LT"), 0, kAsAmount},
    {QStringLiteral("Toplam"), QStringLiteral("Toplam LT"), 0, kAsAmount},
    {QStringLiteral("Toplam_Tutar"), QStringLiteral("Toplam Tutar"), 0, kAsAmount},
    {QStringLiteral("Ortalama"), QStringLiteral("Ortalama"), 0, kAsAmount},
    // The month's fat and protein, each pour weighed by its litres.
    {QStringLiteral("Ort_Yag"), QStringLiteral("Yağ %"), 0, kAsAmount},
    {QStringLiteral("Ort_Protein"), QStringLiteral("Protein %"), 0, kAsAmount},
};
const std::vector<TotalBox> TSutAlimF::kMonthTotals = {
    {QStringLiteral("Sabah Toplamı"), QStringLiteral("Sabah_Toplam")},
    {QStringLiteral("Akşam Toplamı"), QStringLiteral("Aksam_Toplam")},
    {QStringLiteral("Genel Toplam"), QStringLiteral("Toplam")},
    {QStringLiteral("Tutar Toplam"), QStringLiteral("Toplam_Tutar")},
};

const std::vector<GridColumn> TSutAlimF::kAbsentColumns = {
    {kKodu, QStringLiteral("Kodu"), 60},
    {kAdi, QStringLiteral("Adı Soyadı"), 200},
};

TSutAlimF::TSutAlimF(Ledger& ledger, Dialogs& dialogs)
    : TEntryForm(ledger, dialogs),
      AylikSutGirisiQuery(ledger.connection()),
      GelmeyenQuery(ledger.connection())
{
    showIn(SutGirisiQuery, kDayColumns);
    showIn(AylikSutGirisiQuery, kMonthColumns);
    showIn(GelmeyenQuery, kAbsentColumns);
    SutGirisiQuery.calculatedFields = {QStringLiteral("toplam")};
    SutGirisiQuery.onCalcFields = [](Record& row) {
        row.setValue(QStringLiteral("toplam"), row.asFloat(QStringLiteral("Sabah")) + row.asFloat(QStringLiteral("Aksam")));
    };
    AylikSutGirisiQuery.calculatedFields = {QStringLiteral("Toplam"), QStringLiteral("Ortalama")};
    AylikSutGirisiQuery.onCalcFields = [](Record& row) {
        const double litres = totalLitres(row);
        const double entries = row.asFloat(QStringLiteral("Toplam_GUN"));
        row.setValue(QStringLiteral("Toplam"), litres);
        // A name with no priced entry has no average to show.
        row.setValue(QStringLiteral("Ortalama"), entries > 0 ? QVariant(litres / entries) : QVariant());
    };
    // A quality line added or removed shows or hides the quality boxes.
    whenChanged(&LedgerEvents::settlementsChanged, [this] { KaliteGosterYenile(); });
    whenChanged(&LedgerEvents::entriesChanged, [this](const QDate& day, LedgerKind kind) {
        const QDate shown = tarihDate.date();
        if (kind == LedgerKind::Intake && rebuilds(SutGirisiQuery) && (acting() || inMonthOf(day, shown)))
            GuncelleGunluk();
    });
    // Who has not poured is a list of the accounts too.
    whenChanged(&LedgerEvents::accountsChanged, [this] {
        if (rebuilds(GelmeyenQuery)) GelmeyenYenile();
    });
    FormCreate();
}

void TSutAlimF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TSutAlimF::tarihDateChange()
{
    if (openedFromMenu) GuncelleGunluk();
}

void TSutAlimF::KoduEditExit()
{
    const std::optional<Account> account = ledger_.accountByCode(KoduEdit.text());
    if (!account) return;
    if (!correcting.isNew()) {
        fillFromAccount(*account);
        return;
    }
    // Back in the code box of the producer the panel already holds: what was
    // typed for him stays.
    if (holdsProducer(*account)) return;
    Bosalt();
    fillFromAccount(*account);
    // His row of the day, with the keyboard in its first empty litre box.
    loadDayRow(true);
}

IntakeEntry TSutAlimF::entryFromBoxes()
{
    return {correctedRow(), tarihDate.date(), KoduEdit.text(), AdiEdit.text(), sabahEdit.value(), aksamEdit.value(),
            SBirimFiyatEdit.value(), AciklamaEdit.text(), pourFrom(SYagEdit, SProteinEdit, SHijyenEdit),
            pourFrom(AYagEdit, AProteinEdit, AHijyenEdit)};
}

void TSutAlimF::SaklaButClick()
{
    if (!entryAccepted(ledger_.checkEntry(KoduEdit.text(), AdiEdit.text()), kEntryMessages)) return;
    if (AdiEdit.isEmpty()) return;

    // Read before anything is posted: a box that cannot be read writes nothing.
    const IntakeEntry entry = entryFromBoxes();
    const std::optional<QualityLine> line = QualityPrices(ledger_).lineOn(entry.tarih);
    for (const bool evening : {false, true})
        if (const auto problem = pourQualityProblem(evening ? entry.aksamKalite : entry.sabahKalite,
                                                    evening ? QStringLiteral("akşam") : QStringLiteral("sabah"), line)) {
            dialogs_.message(problem->text);
            focusOn(qualityBoxName(evening, problem->box));
            return;
        }
    if (entry.isEmpty() && !emptyEntryMeant(QStringLiteral("sabah ve akşam litresi"))) {
        focusOn(QStringLiteral("sabahEdit"));
        return;
    }

    const QString kodu = entry.kodu;
    if (const QString question = ledger_.unusualIntake(entry); !question.isEmpty() && !dialogs_.confirmDefaultNo(question)) {
        focusOn(QStringLiteral("sabahEdit"));
        return;
    }
    // What the row held before, to tell the pours this save stores.
    std::optional<IntakeEntry> before = ledger_.intakeOn(kodu, entry.tarih);
    if (before && before->sgid != entry.sgid) before.reset();
    Ledger::IntakePrices prices;
    try {
        Acting acting(*this);
        const Ledger::Saved saved =
            ledger_.saveIntake(entry,
                               [this](qint64 key) {
                                   correcting.set(key);
                                   sonSilme = 0;
                               },
                               &prices);
        if (!entryAccepted(saved.check, kEntryMessages)) return;
    } catch (const RowChanged& changed) {
        showChangedRow(changed, entry.sgid);
        return;
    }
    CariTanimQuery.locate(kKodu, kodu);
    Bosalt();
    if (SonrakiRadio.checked())
        loadNextProducer();
    else
        focusOn(QStringLiteral("KoduEdit"));
    // Last, once the panel is ready for the next entry: a slip that fails
    // cannot leave the saved entry in the boxes.
    printSlips(entry, prices, !before || before->sabah != entry.sabah || before->sabahKalite != entry.sabahKalite,
               !before || before->aksam != entry.aksam || before->aksamKalite != entry.aksamKalite);
}

void TSutAlimF::loadNextProducer()
{
    for (;;) {
        const int before = CariTanimQuery.currentRow();
        CariTanimQuery.next();
        if (CariTanimQuery.eof() || CariTanimQuery.currentRow() == before) {
            focusOn(QStringLiteral("KoduEdit"));
            return;
        }
        const Account account = lists::accountAt(CariTanimQuery);
        const std::optional<IntakeEntry> row = ledger_.intakeOn(account.kodu, tarihDate.date());
        if (row && row->sabah != 0 && row->aksam != 0) continue;
        fillFromAccount(account);
        loadDayRow(true);
        return;
    }
}

void TSutAlimF::loadDayRow(bool moveFocus)
{
    const std::optional<IntakeEntry> row = ledger_.intakeOn(KoduEdit.text(), tarihDate.date());
    if (row) {
        correcting.set(row->sgid);
        ledger_.rememberShown(schema::sutGirisi(), row->sgid,
                              {{QStringLiteral("Adi"), row->adi}, {QStringLiteral("Sabah"), row->sabah}, {QStringLiteral("Aksam"), row->aksam},
                               {QStringLiteral("SBirim_Fiyat"), row->fiyat}, {QStringLiteral("Aciklama"), row->aciklama}});
        AdiEdit.setText(row->adi);
        sabahEdit.show(row->sabah);
        aksamEdit.show(row->aksam);
        // A measured morning's price is the quality table's: the box keeps
        // the producer's price for milk not measured.
        if (!row->sabahKalite.measured()) SBirimFiyatEdit.show(row->fiyat);
        AciklamaEdit.setText(row->aciklama);
        showQuality(row->sabahKalite, row->aksamKalite);
    }
    if (moveFocus) focusOn(row && row->sabah != 0 ? QStringLiteral("aksamEdit") : QStringLiteral("sabahEdit"));
}

void TSutAlimF::Dzelt1Click()
{
    const Query& row = SutGirisiQuery;
    correcting.set(row.value(QStringLiteral("SGID")).toLongLong());
    KoduEdit.setText(row.asString(kKodu));
    AdiEdit.setText(row.asString(kAdi));
    sabahEdit.show(row.asFloat(QStringLiteral("Sabah")));
    aksamEdit.show(row.asFloat(QStringLiteral("Aksam")));
    AciklamaEdit.setText(row.asString(QStringLiteral("Aciklama")));
    const auto figure = [&row](const char* name) {
        const QVariant value = row.value(QString::fromLatin1(name));
        return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
    };
    const PourQuality sabah{figure("SYag"), figure("SProtein"), row.asString(QStringLiteral("SHijyen"))};
    showQuality(sabah, {figure("AYag"), figure("AProtein"), row.asString(QStringLiteral("AHijyen"))});
    const std::optional<Account> account = ledger_.accountByCode(KoduEdit.text());
    if (sabah.measured() && account)
        SBirimFiyatEdit.show(account->birimFiyati, generalNumber(account->birimFiyati));
    else
        SBirimFiyatEdit.show(row.asFloat(QStringLiteral("SBirim_Fiyat")));
    rememberChosenRow();
    focusOn(QStringLiteral("sabahEdit"));
}

QString TSutAlimF::deleteQuestion() const
{
    const Query& row = SutGirisiQuery;
    return cellText(kAsShortDate, row.value(QStringLiteral("Tarih"))) + QStringLiteral(" · ") + row.asString(kKodu) + QLatin1Char(' ') + row.asString(kAdi) +
           QStringLiteral(" · Sabah ") + formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Sabah"))) +
           QStringLiteral(" L, Akşam ") + formatFloat(kAmountPattern, row.asFloat(QStringLiteral("Aksam"))) +
           QStringLiteral(" L\nBu kaydı silmek istediğinize eminmisiniz?");
}

void TSutAlimF::GunlukCsvClick()
{
    saveListAsCsv(SutGirisiQuery, kDayColumns, csvFileName({QStringLiteral("SutAlim-Gun"), shortDate(tarihDate.date())}));
}

void TSutAlimF::AylikCsvClick()
{
    saveListAsCsv(AylikSutGirisiQuery, kMonthColumns, csvFileName({QStringLiteral("SutAlim-Ay"), fileNameMonth(tarihDate.date())}));
}

void TSutAlimF::GunlukXlsxClick()
{
    saveListAsXlsx(SutGirisiQuery, kDayColumns, QStringLiteral("Süt Alım ") + shortDate(tarihDate.date()),
                   xlsxFileName({QStringLiteral("SutAlim-Gun"), shortDate(tarihDate.date())}));
}

void TSutAlimF::AylikXlsxClick()
{
    saveListAsXlsx(AylikSutGirisiQuery, kMonthColumns, QStringLiteral("Süt Alım ") + monthName(tarihDate.date().month()) + QLatin1Char(' ') + QString::number(tarihDate.date().year()),
                   xlsxFileName({QStringLiteral("SutAlim-Ay"), fileNameMonth(tarihDate.date())}));
}

void TSutAlimF::GelmeyenXlsxClick()
{
    saveListAsXlsx(GelmeyenQuery, kAbsentColumns, QStringLiteral("Gelmeyenler ") + shortDate(tarihDate.date()),
                   xlsxFileName({QStringLiteral("SutAlim-Gelmeyen"), shortDate(tarihDate.date())}));
}

void TSutAlimF::GelmeyenCsvClick()
{
    saveListAsCsv(GelmeyenQuery, kAbsentColumns, csvFileName({QStringLiteral("SutAlim-Gelmeyen"), shortDate(tarihDate.date())}));
}

void TSutAlimF::GelmeyenGridDblClick()
{
    // The producer list stands on him, so the pick is the list's own.
    if (GelmeyenQuery.recordCount() == 0 || !CariTanimQuery.locate(kKodu, GelmeyenQuery.value(kKodu))) return;
    CariGridDblClick();
}

void TSutAlimF::takePick(const Account& account)
{
    Bosalt();
    fillFromAccount(account);
    loadDayRow(true);
}

void TSutAlimF::openFromMenu()
{
    bringUp();
    KaliteGosterYenile();
    openedFromMenu = true;
    GuncelleGunluk();
    reread(CariTanimQuery);
    if (CariTanimQuery.recordCount() == 0) return;
    // The first producer whose row of the day still waits for litres.
    const std::optional<IntakeEntry> row = ledger_.intakeOn(lists::accountAt(CariTanimQuery).kodu, tarihDate.date());
    if (row && row->sabah != 0 && row->aksam != 0) {
        Bosalt();
        loadNextProducer();
    } else {
        takePick(lists::accountAt(CariTanimQuery));
    }
}

void TSutAlimF::YeniHesapButClick()
{
    if (pickAccount) pickAccount([this](const Account& account) { takePick(account); });
}

void TSutAlimF::Bosalt()
{
    loadedCode_.clear();
    KoduEdit.clear();
    AdiEdit.clear();
    sabahEdit.clear();
    aksamEdit.clear();
    AciklamaEdit.clear();
    showQuality({}, {});
    correcting.clear();
}

void TSutAlimF::showQuality(const PourQuality& sabah, const PourQuality& aksam)
{
    showFigure(SYagEdit, sabah.yag);
    showFigure(SProteinEdit, sabah.protein);
    SHijyenEdit.setText(sabah.hijyen);
    showFigure(AYagEdit, aksam.yag);
    showFigure(AProteinEdit, aksam.protein);
    AHijyenEdit.setText(aksam.hijyen);
    if (sabah.measured() || aksam.measured()) KaliteGoster.setChecked(true);
    KaliteExit();
}

void TSutAlimF::KaliteGosterYenile()
{
    if (!QualityPrices(ledger_).lines().empty()) KaliteGoster.setChecked(true);
}

QString TSutAlimF::afterLitres(Pour pour) const
{
    const bool sabah = pour == Pour::Sabah;
    if (parseDecimal((sabah ? sabahEdit : aksamEdit).text()) != 0) return {};
    const std::array<const TextField*, 3> quality = sabah ? std::array<const TextField*, 3>{&SYagEdit, &SProteinEdit, &SHijyenEdit}
                                                          : std::array<const TextField*, 3>{&AYagEdit, &AProteinEdit, &AHijyenEdit};
    for (const TextField* box : quality)
        if (!box->text().isEmpty()) return {};
    return sabah ? QStringLiteral("SBirimFiyatEdit") : QStringLiteral("AciklamaEdit");
}

void TSutAlimF::KaliteExit()
{
    QStringList shown;
    try {
        const IntakeEntry entry = entryFromBoxes();
        if (!entry.sabahKalite.measured() && !entry.aksamKalite.measured()) {
            KaliteFiyatLabel.setText({});
            return;
        }
        // Figures the save will refuse are priced at nothing.
        const std::optional<QualityLine> line = QualityPrices(ledger_).lineOn(entry.tarih);
        const auto priced = [&line](const PourQuality& pour) { return pour.measured() && !pourQualityProblem(pour, {}, line); };
        const bool sabah = priced(entry.sabahKalite), aksam = priced(entry.aksamKalite);
        if (sabah || aksam) {
            const Ledger::IntakePrices prices = ledger_.intakePrices(entry);
            if (sabah && prices.sabah.byQuality) shown << priceText("Sabah", prices.sabah);
            if (aksam && prices.aksam.byQuality) shown << priceText("Akşam", prices.aksam);
            if (shown.isEmpty()) shown << QStringLiteral("bu gün için kalite fiyatı yok, Süt Fiyatı geçer");
        }
    } catch (const ConversionError&) {
        // A box being typed that is no number yet prices nothing.
    }
    KaliteFiyatLabel.setText(shown.isEmpty() ? QString() : QStringLiteral("Kalite fiyatı: ") + shown.join(QStringLiteral(" · ")));
}

void TSutAlimF::attachCounter(CounterDesk* counter)
{
    counter_ = counter;
    const auto tell = [this] { CihazDurumu.setText(counter_ ? counter_->status() : QString()); };
    if (counter_) counter_->statusChanged = tell;
    tell();
}

// What a device key takes, or nothing once its refusal is said.
template <typename T>
std::optional<T> TSutAlimF::fromCounter(Take<T> (CounterDesk::*take)())
{
    if (!counter_) {
        dialogs_.message(kNoCounter);
        return std::nullopt;
    }
    const Take<T> taken = (counter_->*take)();
    if (!taken) dialogs_.message(taken.refusal);
    return taken.value;
}

void TSutAlimF::AnalizClick(Pour pour)
{
    const std::optional<Analysis> taken = fromCounter(&CounterDesk::analysis);
    if (!taken) return;
    const bool sabah = pour == Pour::Sabah;
    (sabah ? SYagEdit : AYagEdit).setText(formatFloat(kAmountPattern, taken->fat));
    (sabah ? SProteinEdit : AProteinEdit).setText(formatFloat(kAmountPattern, taken->protein));
    KaliteGoster.setChecked(true);
    KaliteExit();
}

void TSutAlimF::TeraziClick(Pour pour)
{
    if (const std::optional<double> litres = fromCounter(&CounterDesk::litres))
        (pour == Pour::Sabah ? sabahEdit : aksamEdit).setText(formatFloat(kAmountPattern, *litres));
}

void TSutAlimF::printSlips(const IntakeEntry& entry, const Ledger::IntakePrices& prices, bool sabahTyped, bool aksamTyped)
{
    if (!counter_ || !counter_->printsSlips()) return;
    // The pour's own day: a slip of a pour typed late names the day it was taken.
    const QDateTime now(entry.tarih, QTime::currentTime());
    const double monthLitres = ledger_.monthLitresUpTo(entry.kodu, entry.tarih);
    QStringList failed;
    for (const bool evening : {false, true}) {
        const double litres = evening ? entry.aksam : entry.sabah;
        if (litres == 0 || !(evening ? aksamTyped : sabahTyped)) continue;
        const PourQuality& quality = evening ? entry.aksamKalite : entry.sabahKalite;
        const double price = (evening ? prices.aksam : prices.sabah).perLitre;
        SlipData slip;
        slip.moment = now;
        slip.code = entry.kodu;
        slip.name = entry.adi;
        slip.evening = evening;
        slip.litres = litres;
        slip.price = price;
        slip.fat = quality.yag;
        slip.protein = quality.protein;
        slip.grade = quality.hijyen;
        slip.amount = Money::fromStored(litres * price);
        slip.monthLitres = monthLitres;
        if (const QString why = counter_->printSlip(slip); !why.isEmpty()) failed << why;
    }
    if (!failed.isEmpty())
        dialogs_.message(QStringLiteral("Giriş kaydedildi, fişi yazdırılamadı:\n") + failed.join(QLatin1Char('\n')));
}

void TSutAlimF::fillFromAccount(const Account& account)
{
    loadedCode_ = account.kodu;
    KoduEdit.setText(account.kodu);
    AdiEdit.setText(account.adi);
    SBirimFiyatEdit.show(account.birimFiyati, generalNumber(account.birimFiyati));
}

void TSutAlimF::GuncelleGunluk()
{
    const MonthPeriod period = monthPeriod(tarihDate.date());
    lists::intakeDay(SutGirisiQuery, period.day);
    SutGirisiToplam.publish({
        {QStringLiteral("Sabah_Toplam"), lists::shownSum(SutGirisiQuery, QStringLiteral("Sabah"))},
        {QStringLiteral("Aksam_Toplam"), lists::shownSum(SutGirisiQuery, QStringLiteral("Aksam"))},
        {QStringLiteral("Genel_Toplam"), lists::shownSum(SutGirisiQuery, QStringLiteral("toplam")).value_or(Money())},
        {QStringLiteral("Toplam_Tutar"), lists::shownSum(SutGirisiQuery, QStringLiteral("Gelir_Toplam_Tutar"))},
    });
    lists::intakeMonth(AylikSutGirisiQuery, period.first, period.last);
    AylikSutGirisiToplam.publish({
        {QStringLiteral("Sabah_Toplam"), lists::shownSum(AylikSutGirisiQuery, QStringLiteral("Sabah_Toplam"))},
        {QStringLiteral("Aksam_Toplam"), lists::shownSum(AylikSutGirisiQuery, QStringLiteral("Aksam_Toplam"))},
        {QStringLiteral("Toplam"), lists::shownSum(AylikSutGirisiQuery, QStringLiteral("Toplam")).value_or(Money())},
        {QStringLiteral("Toplam_Tutar"), lists::shownSum(AylikSutGirisiQuery, QStringLiteral("Toplam_Tutar"))},
    });
    GelmeyenYenile();
    AyBul();
    GunlukSheet.setText(shortDate(period.day) + kDayCaptionSuffix);
}

void TSutAlimF::GelmeyenYenile()
{
    lists::notPoured(GelmeyenQuery, tarihDate.date());
    GelmeyenSheet.setText(kAbsentCaption + QStringLiteral(" (%1)").arg(GelmeyenQuery.recordCount()));
}

void TSutAlimF::AyBul()
{
    captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}
