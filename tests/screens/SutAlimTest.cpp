#include "common/Conversions.h"
#include "ScreenFixture.h"

#include <functional>

namespace {

const QDate kDay(2021, 3, 5);

class SutAlimTest : public ScreenFixture {
protected:
    SutAlimTest()
    {
        intake.tarihDate.setDate(kDay);
        intake.openedFromMenu = true;
    }

    // An intake typed into the panel.
    void type(const QString& code, const QString& name, const QString& sabah, const QString& fiyat,
              const QString& aksam, const QString& note = QString())
    {
        intake.KoduEdit.setText(code);
        intake.AdiEdit.setText(name);
        intake.sabahEdit.setText(sabah);
        intake.SBirimFiyatEdit.setText(fiyat);
        intake.aksamEdit.setText(aksam);
        intake.AciklamaEdit.setText(note);
    }

    // A ledger row written straight into the table.
    void addLedgerRow(const QDate& day, const QString& code, const QString& name, const QString& kind, double sabah,
                      double aksam, QVariant total)
    {
        TableCursor table(db.connection, schema::sutGirisi());
        table.open();
        table.append()
            .setField(QStringLiteral("Tarih"), day)
            .setField(QStringLiteral("Kodu"), code)
            .setField(QStringLiteral("Adi"), name)
            .setField(QStringLiteral("Gelir_Gider"), kind)
            .setField(QStringLiteral("Sabah"), sabah)
            .setField(QStringLiteral("Aksam"), aksam)
            .setField(QStringLiteral("Gelir_Toplam_Tutar"), total)
            .post();
    }

    QList<QVariantMap> ledger() { return rows(QStringLiteral("SELECT * FROM SutGirisi ORDER BY SGID")); }

    // The month view's line of one name.
    QVariantMap monthLine(const QString& name)
    {
        Query& q = intake.AylikSutGirisiQuery;
        for (int row = 0; row < q.recordCount(); ++row)
            if (q.valueAt(row, QStringLiteral("Adi")).toString() == name) {
                QVariantMap line;
                for (const QString& field : q.fieldNames()) line[field] = q.valueAt(row, field);
                return line;
            }
        return {};
    }
};

TEST_F(SutAlimTest, ARefusedSaveShowsWhyAndWritesNothing)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
    const struct {
        const char* code;
        const char* name;
        const char* message;
    } refusals[] = {
        {"", "Ali Can", "Giriş için Süt Alım Hesabı seçin!"},
        {"K9", "Ali Can", "Girdiğiniz Koda Ait Süt Alım Hesabı Bulunamadı!"},
        {"k1", "Ali Can", "Girdiğiniz Koda Ait Süt Alım Hesabı Bulunamadı!"},
        {"K1", "ali can", "Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"},
        {"K1", "Ali Can ", "Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"},
        {"K1", "Ali", "Girdiğiniz kod ve ad uyumsuz kontrol ettikten sonra saklayın!"},
    };
    for (const auto& r : refusals) {
        dialogs.messages.clear();
        type(QString::fromUtf8(r.code), QString::fromUtf8(r.name), QStringLiteral("12,5"), QStringLiteral("1,40"),
             QStringLiteral("10"), QStringLiteral("not"));
        intake.SaklaButClick();
        EXPECT_EQ(dialogs.messages, QStringList{QString::fromUtf8(r.message)}) << r.code << "/" << r.name;
        EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
        EXPECT_EQ(intake.KoduEdit.text(), QString::fromUtf8(r.code));
        EXPECT_EQ(intake.sabahEdit.text(), QStringLiteral("12,5"));
        EXPECT_EQ(intake.AciklamaEdit.text(), QStringLiteral("not"));
    }
}

TEST_F(SutAlimTest, ASaveWritesTheLitresPriceAndMoneyUnrounded)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
    intake.CariTanimQuery.open();
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("12,5"), QStringLiteral("1,40"),
         QStringLiteral("10"), QStringLiteral("sabah geç"));
    intake.SaklaButClick();
    type(QStringLiteral("K1"), QStringLiteral("Ali Can"), QStringLiteral("12,345"), QStringLiteral("1,333"),
         QStringLiteral("1.000"));
    intake.SaklaButClick();
    EXPECT_TRUE(dialogs.messages.isEmpty());

    const auto saved = ledger();
    ASSERT_EQ(saved.size(), 2);
    const QVariantMap& first = saved[0];
    EXPECT_EQ(first[QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-05"));
    EXPECT_EQ(first[QStringLiteral("Gelir_Gider")].toString(), QStringLiteral("S"));
    EXPECT_EQ(first[QStringLiteral("Kodu")].toString(), QStringLiteral("K1"));
    EXPECT_EQ(first[QStringLiteral("Adi")].toString(), QStringLiteral("Ali Can"));
    EXPECT_DOUBLE_EQ(first[QStringLiteral("Sabah")].toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(first[QStringLiteral("Aksam")].toDouble(), 10);
    EXPECT_DOUBLE_EQ(first[QStringLiteral("SBirim_Fiyat")].toDouble(), 1.4);
    EXPECT_DOUBLE_EQ(first[QStringLiteral("ABirim_Fiyat")].toDouble(), 1.4);
    EXPECT_DOUBLE_EQ(first[QStringLiteral("SToplam_Tutar")].toDouble(), 17.5);
    EXPECT_DOUBLE_EQ(first[QStringLiteral("AToplam_Tutar")].toDouble(), 14);
    EXPECT_DOUBLE_EQ(first[QStringLiteral("Gelir_Toplam_Tutar")].toDouble(), 31.5);
    EXPECT_EQ(first[QStringLiteral("Aciklama")].toString(), QStringLiteral("sabah geç"));
    for (const char* untouched : {"Gider_Tutari", "Gider_Miktari", "Fis_No", "Soyadi", "Gun", "Kullanici", "VerilenID"})
        EXPECT_TRUE(first[QString::fromUtf8(untouched)].isNull()) << untouched;

    const QVariantMap& second = saved[1];
    EXPECT_DOUBLE_EQ(second[QStringLiteral("Aksam")].toDouble(), 1000) << "grouping marks are dropped";
    EXPECT_DOUBLE_EQ(second[QStringLiteral("SToplam_Tutar")].toDouble(), 12.345 * 1.333);
    EXPECT_NE(second[QStringLiteral("SToplam_Tutar")].toDouble(), 16.46);
}

// One Enter too many after a save must not store the next producer with
// nothing: a new entry without litres asks first, and No stores nothing.
TEST_F(SutAlimTest, ANewEntryWithoutLitresIsStoredOnlyWhenMeant)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    const struct {
        const char* sabah;
        const char* aksam;
        bool correcting;
        bool answer;
        bool asked;
        bool stored;
    } cases[] = {
        {"", "", false, false, true, false},
        {"0,00", ",", false, false, true, false},
        {"", "", false, true, true, true},
        {"", "0,5", false, false, false, true},
        {"", "", true, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sabah) + "/" + c.aksam + (c.correcting ? " correcting" : ""));
        if (c.correcting) {
            intakeRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali"), 5, 5, 2);
            intake.GuncelleGunluk();
            intake.SutGirisiQuery.moveTo(intake.SutGirisiQuery.recordCount() - 1);
            intake.Dzelt1Click();
        }
        const int before = count(QStringLiteral("SutGirisi"));
        type(QStringLiteral("K1"), QStringLiteral("Ali"), QString::fromUtf8(c.sabah), QStringLiteral("2"),
             QString::fromUtf8(c.aksam));
        dialogs.questions.clear();
        dialogs.confirmAnswer = c.answer;
        intake.SaklaButClick();
        EXPECT_EQ(dialogs.questions.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_TRUE(dialogs.questions[0].startsWith(QStringLiteral("K1 Ali için sabah ve akşam litresi boş.")));
        }
        EXPECT_EQ(count(QStringLiteral("SutGirisi")) - before, c.stored && !c.correcting ? 1 : 0);
        if (c.stored) {
            EXPECT_EQ(ledger().last()[QStringLiteral("Sabah")].toDouble(), 0) << "written, a correction too";
        }
        EXPECT_EQ(intake.sabahEdit.text(), c.stored ? QString() : QString::fromUtf8(c.sabah)) << "kept when refused";
        intake.Bosalt();
    }
}

TEST_F(SutAlimTest, EmptyLitreBoxesSaveZeros)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    type(QStringLiteral("K1"), QStringLiteral("Ali"), QString(), QStringLiteral("2"), QString());
    intake.SaklaButClick();
    const auto saved = ledger();
    ASSERT_EQ(saved.size(), 1);
    for (const char* field : {"Sabah", "Aksam", "SToplam_Tutar", "AToplam_Tutar", "Gelir_Toplam_Tutar"}) {
        EXPECT_FALSE(saved[0][QString::fromUtf8(field)].isNull()) << field;
        EXPECT_EQ(saved[0][QString::fromUtf8(field)].toDouble(), 0) << field;
    }
}

TEST_F(SutAlimTest, APastedNumberThatCannotBeReadStoresNothing)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    for (const char* pasted : {"1,2,3", "-", "+"}) {
        type(QStringLiteral("K1"), QStringLiteral("Ali"), QString::fromUtf8(pasted), QStringLiteral("2"), QStringLiteral("5"));
        EXPECT_THROW(intake.SaklaButClick(), ConversionError) << pasted;
        EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0) << pasted;
        EXPECT_EQ(intake.sabahEdit.text(), QString::fromUtf8(pasted)) << "the typed text stays";
    }
    // Nothing half-filled is left for the next save to write.
    intake.sabahEdit.setText(QStringLiteral("3"));
    intake.SaklaButClick();
    const auto saved = ledger();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Sabah")].toDouble(), 3);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Aksam")].toDouble(), 5);
}

TEST_F(SutAlimTest, AfterASaveTheNextProducerIsLoadedAndAfterTheLastTheCodeBox)
{
    addAccount(QStringLiteral("K3"), QStringLiteral("Cem"), 3);
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 1.35);
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora"), 2.5);
    intake.CariTanimQuery.open();
    type(QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("1"), QStringLiteral("9"), QString(), QStringLiteral("n"));
    intake.SaklaButClick();
    EXPECT_EQ(intake.KoduEdit.text(), QStringLiteral("K2"));
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Bora"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("2,5"));
    EXPECT_TRUE(intake.sabahEdit.isEmpty());
    EXPECT_TRUE(intake.AciklamaEdit.isEmpty());
    EXPECT_TRUE(intake.correcting.isNew());
    EXPECT_EQ(intake.CariTanimQuery.currentRow(), 1);

    type(QStringLiteral("K3"), QStringLiteral("Cem"), QStringLiteral("1"), QStringLiteral("3"), QString());
    intake.SaklaButClick();
    EXPECT_TRUE(intake.KoduEdit.isEmpty()) << "the round is over";
    EXPECT_EQ(intake.focusAsked, QStringLiteral("KoduEdit"));
    EXPECT_EQ(intake.CariTanimQuery.currentRow(), 2);

    intake.SonrakiRadio.setChecked(false);
    type(QStringLiteral("K3"), QStringLiteral("Cem"), QStringLiteral("1"), QStringLiteral("3,25"), QString());
    intake.SaklaButClick();
    for (const TextField* empty : std::initializer_list<const TextField*>{&intake.KoduEdit, &intake.AdiEdit, &intake.sabahEdit, &intake.aksamEdit,
                                   &intake.AciklamaEdit})
        EXPECT_TRUE(empty->isEmpty());
    EXPECT_TRUE(intake.correcting.isNew());
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("3,25"));
}

TEST_F(SutAlimTest, TwoSavesForOneProducerAndDayAreTwoRowsAndBothCount)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    for (const char* litres : {"10", "30"}) {
        type(QStringLiteral("K1"), QStringLiteral("Ali"), QString::fromUtf8(litres), QStringLiteral("2"), QStringLiteral("0"));
        intake.SaklaButClick();
    }
    EXPECT_EQ(intake.SutGirisiQuery.recordCount(), 2);
    EXPECT_DOUBLE_EQ(intake.SutGirisiToplam.value(QStringLiteral("Sabah_Toplam")).toDouble(), 40);
    const QVariantMap line = monthLine(QStringLiteral("Ali"));
    EXPECT_EQ(line[QStringLiteral("Toplam_GUN")].toInt(), 1) << "two rows, one day with milk";
    EXPECT_DOUBLE_EQ(line[QStringLiteral("Toplam")].toDouble(), 40);
    EXPECT_DOUBLE_EQ(line[QStringLiteral("Ortalama")].toDouble(), 40) << "the average per day with milk";
    EXPECT_DOUBLE_EQ(line[QStringLiteral("Toplam_Tutar")].toDouble(), 80);
}

TEST_F(SutAlimTest, ACorrectionKeepsItsDayAndADeletedRowComesBackAsNew)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    type(QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("ilk"));
    intake.SaklaButClick();
    intake.Dzelt1Click();
    EXPECT_EQ(intake.sabahEdit.text(), QStringLiteral("10,00"));
    EXPECT_EQ(intake.aksamEdit.text(), QStringLiteral("4,00"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("2,00"));
    EXPECT_EQ(intake.AciklamaEdit.text(), QStringLiteral("ilk"));
    const QString key = QString::number(intake.correcting.get());
    ASSERT_FALSE(key.isEmpty());

    const QDate later(2021, 3, 9);
    intake.tarihDate.setDate(later);
    intake.tarihDateChange();
    intake.sabahEdit.setText(QStringLiteral("11"));
    intake.SaklaButClick();
    auto saved = ledger();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0][QStringLiteral("SGID")].toString(), key);
    EXPECT_EQ(saved[0][QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-05"));
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Gelir_Toplam_Tutar")].toDouble(), 30);
    EXPECT_EQ(intake.SutGirisiQuery.recordCount(), 0) << "the views show the newly chosen day";
    EXPECT_EQ(intake.GunlukSheet.text(), QStringLiteral("09.03.2021-Günlük Süt Girişi"));

    // The row is deleted elsewhere; saving its correction appends on the picker's day.
    intake.correcting.set(key.toLongLong());
    intake.KoduEdit.setText(QStringLiteral("K1"));
    intake.AdiEdit.setText(QStringLiteral("Ali"));
    TableCursor table(db.connection, schema::sutGirisi());
    table.open();
    ASSERT_TRUE(table.locate(QStringLiteral("SGID"), key.toLongLong()));
    table.deleteCurrent();
    intake.SaklaButClick();
    saved = ledger();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_NE(saved[0][QStringLiteral("SGID")].toString(), key);
    EXPECT_EQ(saved[0][QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-09"));
}

TEST_F(SutAlimTest, CorrectingAnEmptyDayShowsZeros)
{
    intake.GuncelleGunluk();
    intake.KoduEdit.setText(QStringLiteral("K1"));
    intake.AciklamaEdit.setText(QStringLiteral("x"));
    intake.Dzelt1Click();
    EXPECT_TRUE(intake.KoduEdit.isEmpty());
    EXPECT_TRUE(intake.AdiEdit.isEmpty());
    EXPECT_TRUE(intake.AciklamaEdit.isEmpty());
    EXPECT_TRUE(intake.correcting.isNew());
    EXPECT_EQ(intake.sabahEdit.text(), QStringLiteral("0,00"));
    EXPECT_EQ(intake.aksamEdit.text(), QStringLiteral("0,00"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("0,00"));
}

TEST_F(SutAlimTest, TheCodeLookupEmptiesANewEntryAndKeepsACorrection)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2.75);
    // New entry: what was typed before the code goes.
    type(QStringLiteral("K1"), QString(), QStringLiteral("12"), QStringLiteral("9"), QStringLiteral("3"), QStringLiteral("not"));
    intake.KoduEditExit();
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Ali"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("2,75"));
    EXPECT_TRUE(intake.sabahEdit.isEmpty());
    EXPECT_TRUE(intake.aksamEdit.isEmpty());
    EXPECT_TRUE(intake.AciklamaEdit.isEmpty());

    // Correction: litres and note stay, the price becomes the producer's current one.
    type(QStringLiteral("K1"), QStringLiteral("eski"), QStringLiteral("12,00"), QStringLiteral("9,00"), QStringLiteral("3,00"), QStringLiteral("not"));
    intake.correcting.set(5);
    intake.GetirButClick();
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Ali"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("2,75"));
    EXPECT_EQ(intake.sabahEdit.text(), QStringLiteral("12,00"));
    EXPECT_EQ(intake.AciklamaEdit.text(), QStringLiteral("not"));
    EXPECT_EQ(QString::number(intake.correcting.get()), QStringLiteral("5"));

    // An unknown code changes nothing and says nothing.
    intake.KoduEdit.setText(QStringLiteral("K1x"));
    intake.KoduEditExit();
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Ali"));
    EXPECT_EQ(intake.sabahEdit.text(), QStringLiteral("12,00"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SutAlimTest, DeletingAsksAndOnlyYesDeletes)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    type(QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("10"), QStringLiteral("2"), QString());
    intake.SaklaButClick();
    for (const Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Cancel}) {
        dialogs.yesNoCancelAnswer = answer;
        intake.KaydSil1Click();
        EXPECT_EQ(count(QStringLiteral("SutGirisi")), 1);
    }
    // The question names the row it deletes.
    EXPECT_EQ(dialogs.questions.value(0).split(QLatin1Char('\n')).value(0),
              QStringLiteral("05.03.2021 · K1 Ali · Sabah 10,00 L, Akşam 0,00 L"));
    const QString panelCode = intake.KoduEdit.text();
    dialogs.yesNoCancelAnswer = Dialogs::Answer::Yes;
    intake.KaydSil1Click();
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
    EXPECT_EQ(intake.SutGirisiQuery.recordCount(), 0) << "the views were rebuilt";
    EXPECT_EQ(intake.KoduEdit.text(), panelCode) << "the panel is not touched";
    intake.KaydSil1Click();  // an empty day: nothing to delete
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 0);
}

TEST_F(SutAlimTest, TheViewsShowIntakeRowsOnlyGroupedByName)
{
    addLedgerRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("S"), 10, 5, 30.0);
    addLedgerRow(kDay, QStringLiteral("K2"), QStringLiteral("Ali"), QStringLiteral("S"), 1, 1, 4.0);
    addLedgerRow(kDay, QStringLiteral("K3"), QStringLiteral("Cem"), QStringLiteral("S"), 2, 0, 2.0);
    addLedgerRow(QDate(2021, 3, 20), QStringLiteral("K3"), QStringLiteral("Cem Yılmaz"), QStringLiteral("S"), 3, 0, 3.0);
    addLedgerRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("O"), 100, 100, 500.0);
    addLedgerRow(QDate(2021, 4, 1), QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("S"), 50, 50, 100.0);
    intake.GuncelleGunluk();

    EXPECT_EQ(intake.SutGirisiQuery.recordCount(), 3) << "the payment row and other days stay out";
    EXPECT_DOUBLE_EQ(intake.SutGirisiQuery.asFloat(QStringLiteral("toplam")), 15);
    EXPECT_DOUBLE_EQ(intake.SutGirisiToplam.value(QStringLiteral("Sabah_Toplam")).toDouble(), 13);
    EXPECT_DOUBLE_EQ(intake.SutGirisiToplam.value(QStringLiteral("Genel_Toplam")).toDouble(), 19);
    EXPECT_DOUBLE_EQ(intake.SutGirisiToplam.value(QStringLiteral("Toplam_Tutar")).toDouble(), 36);

    ASSERT_EQ(intake.AylikSutGirisiQuery.recordCount(), 3);
    EXPECT_DOUBLE_EQ(monthLine(QStringLiteral("Ali"))[QStringLiteral("Toplam")].toDouble(), 17) << "one name, one line";
    EXPECT_EQ(monthLine(QStringLiteral("Ali"))[QStringLiteral("Toplam_GUN")].toInt(), 1) << "one day with milk";
    EXPECT_DOUBLE_EQ(monthLine(QStringLiteral("Cem"))[QStringLiteral("Toplam")].toDouble(), 2);
    EXPECT_DOUBLE_EQ(monthLine(QStringLiteral("Cem Yılmaz"))[QStringLiteral("Toplam")].toDouble(), 3) << "a renamed producer has a line of its own";
    EXPECT_DOUBLE_EQ(intake.AylikSutGirisiToplam.value(QStringLiteral("Toplam")).toDouble(), 22);
    EXPECT_DOUBLE_EQ(intake.AylikSutGirisiToplam.value(QStringLiteral("Toplam_Tutar")).toDouble(), 39);
    EXPECT_EQ(intake.AylikSheet.text(), QStringLiteral("Mart-2021-Aylık Süt Girişi"));
    EXPECT_EQ(intake.GunlukSheet.text(), QStringLiteral("05.03.2021-Günlük Süt Girişi"));
}

TEST_F(SutAlimTest, AMonthRunsFromItsFirstToItsLastDay)
{
    const struct {
        QDate day;
        bool inFebruary2024;
    } rowsByDay[] = {
        {QDate(2024, 1, 31), false}, {QDate(2024, 2, 1), true}, {QDate(2024, 2, 29), true}, {QDate(2024, 3, 1), false},
    };
    for (const auto& r : rowsByDay)
        addLedgerRow(r.day, QStringLiteral("K1"), r.day.toString(Qt::ISODate), QStringLiteral("S"), 1, 0, 1.0);
    intake.tarihDate.setDate(QDate(2024, 2, 10));
    intake.GuncelleGunluk();
    for (const auto& r : rowsByDay)
        EXPECT_EQ(!monthLine(r.day.toString(Qt::ISODate)).isEmpty(), r.inFebruary2024) << r.day.toString().toStdString();
    EXPECT_EQ(intake.SutGirisiQuery.recordCount(), 0);
}

TEST_F(SutAlimTest, AnEmptyDayHasEmptySumsAndAZeroGrandTotal)
{
    intake.GuncelleGunluk();
    EXPECT_EQ(intake.SutGirisiQuery.recordCount(), 0);
    EXPECT_TRUE(intake.SutGirisiToplam.value(QStringLiteral("Sabah_Toplam")).isNull());
    EXPECT_TRUE(intake.SutGirisiToplam.value(QStringLiteral("Toplam_Tutar")).isNull());
    EXPECT_FALSE(intake.SutGirisiToplam.value(QStringLiteral("Genel_Toplam")).isNull());
    EXPECT_EQ(intake.SutGirisiToplam.value(QStringLiteral("Genel_Toplam")).toDouble(), 0);
}

TEST_F(SutAlimTest, AGroupWithoutPricedEntriesHasNoAverage)
{
    addLedgerRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("S"), 10, 0, QVariant());
    ASSERT_NO_THROW(intake.GuncelleGunluk());
    const QVariantMap line = monthLine(QStringLiteral("Ali"));
    EXPECT_EQ(line[QStringLiteral("Toplam_GUN")].toInt(), 0);
    EXPECT_TRUE(line[QStringLiteral("Ortalama")].isNull());
    EXPECT_DOUBLE_EQ(line[QStringLiteral("Toplam")].toDouble(), 10);
}

TEST_F(SutAlimTest, ADateChangeRefreshesOnlyAfterTheMenuOpenedTheScreen)
{
    intake.openedFromMenu = false;
    intake.tarihDate.setDate(QDate(2021, 4, 1));
    intake.tarihDateChange();
    EXPECT_FALSE(intake.SutGirisiQuery.isOpen());
    EXPECT_EQ(intake.AylikSheet.text(), QStringLiteral("Aylık Süt Girişi"));
    EXPECT_EQ(intake.GunlukSheet.text(), QStringLiteral("Günlük Süt Girişi"));
    intake.openedFromMenu = true;
    intake.tarihDateChange();
    EXPECT_TRUE(intake.SutGirisiQuery.isOpen());
    EXPECT_EQ(intake.AylikSheet.text(), QStringLiteral("Nisan-2021-Aylık Süt Girişi"));
}

TEST_F(SutAlimTest, TheListPickAndTheSearchWorkOnTheOwnList)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("ALİ CAN"), 1);
    addAccount(QStringLiteral("K2"), QStringLiteral("KARA ALİ"), 2);
    addAccount(QStringLiteral("K3"), QStringLiteral("VELİ"), 3);
    intake.CariTanimQuery.open();
    intake.SutcuAraEdit.setText(QStringLiteral("ali"));
    intake.BulButClick();
    EXPECT_EQ(intake.CariTanimQuery.asString(QStringLiteral("Kodu")), QStringLiteral("K2"));
    EXPECT_TRUE(intake.KoduEdit.isEmpty()) << "the search leaves the panel";
    intake.BulButClick();
    EXPECT_EQ(intake.CariTanimQuery.asString(QStringLiteral("Kodu")), QStringLiteral("K1"));

    intake.sabahEdit.setText(QStringLiteral("5"));
    intake.correcting.set(3);
    intake.CariGridDblClick();
    EXPECT_EQ(intake.KoduEdit.text(), QStringLiteral("K1"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("1"));
    EXPECT_TRUE(intake.sabahEdit.isEmpty());
    EXPECT_TRUE(intake.correcting.isNew()) << "a pick starts a new entry";
}

TEST_F(SutAlimTest, CodeLookupsAskTheLedgerAndMoveNoList)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"));
    intake.CariTanimQuery.open();
    accounts.CariTanimQuery.open();
    // Added after both lists were read.
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora"), 3);
    intake.KoduEdit.setText(QStringLiteral("K2"));
    intake.KoduEditExit();
    EXPECT_EQ(intake.AdiEdit.text(), QStringLiteral("Bora"));
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("3"));
    EXPECT_EQ(accounts.CariTanimQuery.currentRow(), 0) << "the account screen's list stays where it was";
    EXPECT_EQ(intake.CariTanimQuery.currentRow(), 0) << "typing a code does not move the producer list";
}

// Who has not poured yet: the accounts without an intake row on the day,
// in Turkish order, after every save, deletion and date change.
TEST_F(SutAlimTest, TheAbsentAreTheAccountsWithoutIntakeOnTheDay)
{
    const char* names[] = {"Zeki Ak", "Çetin Öz", "Cem Su", "İsmail Er", "Irmak Tan"};
    for (int k = 0; k < 5; ++k) addAccount(QStringLiteral("K%1").arg(k + 1), QString::fromUtf8(names[k]), 2);
    intakeRow(kDay, QStringLiteral("K1"), QStringLiteral("Zeki Ak"), 10, 0, 2);
    paymentRow(kDay, QStringLiteral("K2"), QStringLiteral("Çetin Öz"), QVariant(), 50);  // a payment is no intake
    intakeRow(kDay.addDays(-1), QStringLiteral("K3"), QStringLiteral("Cem Su"), 10, 0, 2);
    intake.openFromMenu();
    const struct { std::function<void()> action; QStringList absent; } steps[] = {
        {[] {}, {"Cem Su", "Çetin Öz", "Irmak Tan", "İsmail Er"}},
        {[&] { type("K4", "İsmail Er", "5", "2", ""); intake.SaklaButClick(); }, {"Cem Su", "Çetin Öz", "Irmak Tan"}},
        {[&] { intake.SutGirisiQuery.locate("Kodu", "K1"); intake.KaydSil1Click(); }, {"Cem Su", "Çetin Öz", "Irmak Tan", "Zeki Ak"}},
        {[&] { intake.tarihDate.setDate(kDay.addDays(-1)); intake.tarihDateChange(); }, {"Çetin Öz", "Irmak Tan", "İsmail Er", "Zeki Ak"}},
    };
    for (const auto& step : steps) {
        step.action();
        QStringList absent;
        for (int row = 0; row < intake.GelmeyenQuery.recordCount(); ++row) absent << intake.GelmeyenQuery.valueAt(row, "Adi").toString();
        EXPECT_EQ(absent, step.absent);
        EXPECT_EQ(intake.GelmeyenSheet.text(), QStringLiteral("Gelmeyenler (%1)").arg(step.absent.size()));
    }

    // One picked: a new entry of his, the producer list standing on him.
    intake.sabahEdit.setText(QStringLiteral("7"));
    intake.GelmeyenGridDblClick();
    EXPECT_EQ(QStringList({intake.KoduEdit.text(), intake.sabahEdit.text(), intake.CariTanimQuery.asString("Kodu")}),
              QStringList({"K2", "", "K2"}));
}

}  // namespace

namespace {

// One row a producer and day: the evening goes onto the morning's row, the
// round skips rows that hold both litres, and going back to the code box of
// the producer already in the panel keeps what was typed.
TEST_F(SutAlimTest, EveningLitresGoOntoTheMorningsRowAndFullRowsAreSkipped)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora"), 2);
    addAccount(QStringLiteral("K3"), QStringLiteral("Cem"), 3);
    intakeRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali"), 10, 0, 2);
    intakeRow(kDay, QStringLiteral("K2"), QStringLiteral("Bora"), 12, 8, 2);
    intake.openFromMenu();
    const auto stored = [this] { return rows(QStringLiteral("SELECT Kodu, Sabah, Aksam FROM SutGirisi ORDER BY SGID")); };

    const struct {
        const char* step;
        std::function<void()> act;
        const char* panelCode;
        bool correcting;
        const char* focus;
        const char* sabah = nullptr;  // the morning box, where it matters
    } steps[] = {
        {"the opening loads Ali's row of the day", [] {}, "K1", true, "aksamEdit"},
        {"his evening saved, Bora's full row is skipped for Cem",
         [this] {
             intake.aksamEdit.setText(QStringLiteral("7"));
             intake.SaklaButClick();
         },
         "K3", false, "sabahEdit"},
        {"Ali's code typed again loads his row",
         [this] {
             intake.Bosalt();
             intake.KoduEdit.setText(QStringLiteral("K1"));
             intake.KoduEditExit();
         },
         "K1", true, "aksamEdit"},
        {"back in the code box of Cem, his litres stay",
         [this] {
             intake.Bosalt();
             intake.KoduEdit.setText(QStringLiteral("K3"));
             intake.KoduEditExit();
             intake.sabahEdit.setText(QStringLiteral("5"));
             intake.KoduEditExit();
         },
         "K3", false, "sabahEdit", "5"},
        {"another producer of the same name typed over the code is loaded with his own price",
         [this] {
             addAccount(QStringLiteral("K5"), QStringLiteral("Cem"), 9);
             intake.KoduEdit.setText(QStringLiteral("K5"));
             intake.KoduEditExit();
         },
         "K5", false, "sabahEdit", ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        EXPECT_EQ(intake.KoduEdit.text(), QString::fromLatin1(s.panelCode));
        EXPECT_EQ(!intake.correcting.isNew(), s.correcting);
        EXPECT_EQ(intake.focusAsked, QString::fromLatin1(s.focus));
        if (s.sabah) EXPECT_EQ(intake.sabahEdit.text(), QString::fromLatin1(s.sabah));
    }
    EXPECT_EQ(intake.SBirimFiyatEdit.text(), QStringLiteral("9"));
    const auto saved = stored();
    ASSERT_EQ(saved.size(), 2) << "no second row for Ali";
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Sabah")].toDouble(), 10);
    EXPECT_DOUBLE_EQ(saved[0][QStringLiteral("Aksam")].toDouble(), 7);
}

// A figure far from what the producer pours or is paid is asked about,
// naming it; "Hayır" stores nothing.
TEST_F(SutAlimTest, AFigureFarFromTheUsualIsAskedAbout)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    addAccount(QStringLiteral("K2"), QStringLiteral("Bora"), 2);
    intakeRow(kDay.addDays(-59), QStringLiteral("K1"), QStringLiteral("Ali"), 40, 30, 2);
    intakeRow(kDay.addDays(-61), QStringLiteral("K1"), QStringLiteral("Ali"), 200, 0, 2);
    const struct {
        const char* code;
        const char* name;
        const char* sabah;
        const char* named;  // how the question names it; empty: not asked
    } cases[] = {
        {"K1", "Ali", "80,5", "sabah 80,50 L"},        // over twice his largest of the last 60 days
        {"K1", "Ali", "80", ""},                       // twice it; the older 200 does not count
        {"K2", "Bora", "1.000,5", "sabah 1.000,50 L"}, // no history: only the 1.000 L bound
        {"K2", "Bora", "1.000", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sabah);
        dialogs.questions.clear();
        dialogs.confirmAnswer = false;
        const int before = count(QStringLiteral("SutGirisi"));
        type(QString::fromLatin1(c.code), QString::fromLatin1(c.name), QString::fromUtf8(c.sabah), QStringLiteral("2"), QStringLiteral("0"));
        intake.SaklaButClick();
        const bool asked = *c.named != 0;
        EXPECT_EQ(dialogs.questions.size(), asked ? 1 : 0);
        if (asked) EXPECT_TRUE(dialogs.questions.value(0).contains(QString::fromUtf8(c.named))) << dialogs.questions.value(0).toStdString();
        EXPECT_EQ(count(QStringLiteral("SutGirisi")), before + (asked ? 0 : 1));
        intake.Bosalt();
    }
}

}  // namespace

TEST_F(SutAlimTest, ACorrectionOfARowChangedElsewhereSinceItWasChosenIsRefusedAndTheRowShownAgain)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 2);
    type(QStringLiteral("K1"), QStringLiteral("Ali"), QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("4"));
    intake.SaklaButClick();
    intake.Dzelt1Click();
    const qint64 sgid = intake.correcting.get();
    // Another desk corrects it meanwhile.
    Connection desk;
    if (db.connection.isServer())
        desk.openServer(db.connection.conninfo(), [](const QString&) { return false; });
    else
        desk.open(db.connection.path());
    Ledger elsewhere(desk);
    elsewhere.saveIntake({sgid, intake.tarihDate.date(), QStringLiteral("K1"), QStringLiteral("Ali"), 7, 4, 2});
    intake.sabahEdit.setText(QStringLiteral("12"));
    intake.SaklaButClick();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("değiştirildi"))) << dialogs.messages[0].toStdString();
    EXPECT_DOUBLE_EQ(ledger()[0][QStringLiteral("Sabah")].toDouble(), 7) << "the other correction stands";
    EXPECT_EQ(intake.correcting.get(), sgid);
    EXPECT_EQ(intake.sabahEdit.text(), QStringLiteral("7,00")) << "the row is shown as it is now";
    // Seen now, the next save is meant over it.
    intake.sabahEdit.setText(QStringLiteral("12"));
    intake.SaklaButClick();
    EXPECT_DOUBLE_EQ(ledger()[0][QStringLiteral("Sabah")].toDouble(), 12);
    EXPECT_EQ(dialogs.messages.size(), 1);
}
