// Texts that break careless SQL, encodings or trimming, typed into every free
// text box of the screens that save them: each is stored exactly as typed.

#include "ScreenFixture.h"
#include "store/SqlText.h"

#include <cstdio>

namespace {

const QDate kDay(2021, 3, 5);

QStringList hostileTexts()
{
    return {
        QStringLiteral("O'Neil"),
        QStringLiteral("''"),
        QStringLiteral("x'); DROP TABLE SutGirisi; --"),
        QStringLiteral("\" OR \"1\"=\"1"),
        QStringLiteral("%_*?[]"),
        QStringLiteral("C:\\AnaData\\Kovanta.mdb"),
        QStringLiteral("  baştaki ve sondaki boşluk  "),
        QStringLiteral("İıŞşĞğÜüÖöÇç"),
        QStringLiteral("مرحبا שלום"),
        QString::fromUtf8("\xF0\x9F\x90\x84 \xF0\x9F\xA5\x9B"),
        QString::fromUtf8("e\xCC\x81 a\xE2\x80\x8B" "b"),
        QStringLiteral("iki\nsatır\tsekme"),
        QStringLiteral("NULL"),
        QStringLiteral("/* yorum */ -- satır"),
        QStringLiteral("%s%n%d"),
        QString(QChar(0)) + QStringLiteral("sıfırdan sonra"),
        QString(250, QChar(u'ş')),
    };
}

class HostileTextTest : public ScreenFixture {};

TEST_F(HostileTextTest, EveryFreeTextBoxStoresWhatWasTypedExactly)
{
    int checked = 0, exact = 0;
    const auto expectStored = [&](const QVariant& stored, const QString& typed, const char* field) {
        ++checked;
        if (stored.toString() == typed && stored.typeId() == QMetaType::QString) ++exact;
        else ADD_FAILURE() << field << ": typed [" << typed.toStdString() << "] stored [" << stored.toString().toStdString() << "]";
    };
    const QStringList texts = hostileTexts();
    for (int i = 0; i < texts.size(); ++i) {
        const QString& h = texts[i];
        SCOPED_TRACE(i);
        const QString code = QString::number(i) + h;
        const QString name = QStringLiteral("Ad ") + h;

        accounts.correcting.clear();
        accounts.KoduEdit.setText(code);
        accounts.AdiEdit.setText(name);
        accounts.AciklamaEdit.setText(h);
        accounts.mevkiiEdit.setText(h);
        accounts.koyEdit.setText(h);
        accounts.BirimFiyatEdit.setText(QStringLiteral("1,40"));
        accounts.KaydetButClick();

        intake.tarihDate.setDate(kDay);
        intake.correcting.clear();
        intake.KoduEdit.setText(code);
        intake.AdiEdit.setText(name);
        intake.sabahEdit.setText(QStringLiteral("1"));
        intake.SBirimFiyatEdit.setText(QStringLiteral("1,40"));
        intake.aksamEdit.setText(QStringLiteral("1"));
        intake.AciklamaEdit.setText(h);
        intake.SaklaButClick();

        payment.tarihDate.setDate(kDay);
        payment.correcting.clear();
        payment.KoduEdit.setText(code);
        payment.AdiEdit.setText(name);
        payment.AlacagimizEdit.setText(QStringLiteral("5"));
        payment.FisNoEdit.setText(h);
        payment.AciklamaEdit.setText(h);
        payment.SaklaButClick();

        factory.tarihDate.setDate(kDay.addDays(i));
        factory.correcting.clear();
        factory.FabrikaSutFiyatiEdit.setText(QStringLiteral("1,45"));
        factory.SFMiktariEdit.setText(QStringLiteral("1"));
        factory.AciklamaEdit.setText(h);
        factory.SaklaButClick();
        EXPECT_EQ(dialogs.messages, QStringList()) << "no save refused";

        // The newest row of each kind is the one just saved.
        const auto newest = [&](const QString& table, const QString& key, const QString& filter) {
            return readRows(db.connection, QStringLiteral("SELECT * FROM %1 %2 ORDER BY %3 DESC LIMIT 1").arg(table, filter, key))
                .value(0);
        };
        const QVariantMap account = newest(QStringLiteral("Cariler"), QStringLiteral("CID"), QString());
        expectStored(account[QStringLiteral("Kodu")], code, "Cariler.Kodu");
        expectStored(account[QStringLiteral("Adi")], name, "Cariler.Adi");
        expectStored(account[QStringLiteral("Aciklama")], h, "Cariler.Aciklama");
        expectStored(account[QStringLiteral("Mevki")], h, "Cariler.Mevki");
        expectStored(account[QStringLiteral("Koy")], h, "Cariler.Koy");
        const QVariantMap milk = newest(QStringLiteral("SutGirisi"), QStringLiteral("SGID"),
                                        QStringLiteral("WHERE Gelir_Gider = 'S'"));
        expectStored(milk[QStringLiteral("Kodu")], code, "SutGirisi.Kodu (intake)");
        expectStored(milk[QStringLiteral("Adi")], name, "SutGirisi.Adi (intake)");
        expectStored(milk[QStringLiteral("Aciklama")], h, "SutGirisi.Aciklama (intake)");
        const QVariantMap paid = newest(QStringLiteral("SutGirisi"), QStringLiteral("SGID"),
                                        QStringLiteral("WHERE Gelir_Gider = 'O'"));
        expectStored(paid[QStringLiteral("Kodu")], code, "SutGirisi.Kodu (payment)");
        expectStored(paid[QStringLiteral("Fis_No")], h, "SutGirisi.Fis_No");
        expectStored(paid[QStringLiteral("Aciklama")], h, "SutGirisi.Aciklama (payment)");
        const QVariantMap delivered = newest(QStringLiteral("Fabrika"), QStringLiteral("FIB"), QString());
        expectStored(delivered[QStringLiteral("Aciklama")], h, "Fabrika.Aciklama");
    }
    std::printf("hostile texts: %d texts, %d stored fields checked, %d stored exactly\n", int(texts.size()), checked, exact);
    EXPECT_EQ(exact, checked);
    EXPECT_EQ(count(QStringLiteral("Cariler")), texts.size());
    EXPECT_EQ(rows(QStringLiteral("PRAGMA integrity_check")).value(0).value(QStringLiteral("integrity_check")).toString(), QStringLiteral("ok"));
}

}  // namespace
