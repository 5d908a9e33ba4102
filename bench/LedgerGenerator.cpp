#include "bench/LedgerGenerator.h"

#include "store/Connection.h"
#include "store/History.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

const char* const kFirstNames[] = {"Ahmet", "Ayşe",  "Çağrı", "Derya", "Emine", "Fatih", "Gül",   "Hüseyin",
                                   "İbrahim", "Işıl", "Kemal", "Mehmet", "Özlem", "Şükrü", "Ümit", "Yusuf"};
const char* const kLastNames[] = {"Yılmaz", "Kaya",  "Demir", "Şahin", "Çelik", "Öztürk", "Aydın",
                                  "Özdemir", "Arslan", "Doğan", "Kılıç", "Aslan", "Çetin", "Kara",
                                  "Koç",    "Kurt",  "Özkan", "Şimşek", "İnce"};
const char* const kVillages[] = {"Çamlıca", "Yeşilköy", "Karaağaç", "Dereboyu", "Işıklar", "Üçpınar"};

struct Producer {
    QString code;
    QString name;
    double price;
};

}  // namespace

void generateLedger(Connection& connection, const LedgerShape& shape)
{
    std::mt19937 random(shape.seed);
    std::uniform_real_distribution<double> litres(5.0, 60.0);
    std::uniform_real_distribution<double> price(9.0, 14.0);
    std::uniform_int_distribution<int> payEvery(0, 9);
    std::uniform_int_distribution<int> amount(10, 200);

    std::vector<Producer> producers;
    for (int i = 0; i < shape.producers; ++i) {
        const QString name = QString::fromUtf8(kFirstNames[i % std::size(kFirstNames)]) + QLatin1Char(' ') +
                             QString::fromUtf8(kLastNames[(i / std::size(kFirstNames) + i) % std::size(kLastNames)]) +
                             (i >= 100 ? QStringLiteral(" %1").arg(i / 100) : QString());
        producers.push_back({QString::number(1000 + i), name, std::round(price(random) * 100) / 100});
    }

    Transaction transaction(connection);
    {
        Statement account(connection, QStringLiteral("INSERT INTO Cariler (Kodu, Adi, Birim_Fiyati, Koy, Telefon, Kisin_Alim, "
                                                     "Yaz_Alim, Kayit_Tarihi) VALUES (?, ?, ?, ?, '0', 'Sabah/Akşam', "
                                                     "'Sabah/Akşam', ?)"));
        const QDate firstDay = shape.lastDay.addDays(1 - shape.days);
        for (size_t i = 0; i < producers.size(); ++i) {
            const Producer& p = producers[i];
            account.bind(1, p.code);
            account.bind(2, p.name);
            account.bind(3, p.price);
            account.bind(4, QString::fromUtf8(kVillages[i % std::size(kVillages)]));
            account.bind(5, firstDay.startOfDay());
            account.run();
            account.reset();
        }

        Statement intake(connection,
                         QStringLiteral("INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Sabah, Aksam, SBirim_Fiyat, "
                                        "ABirim_Fiyat, SToplam_Tutar, AToplam_Tutar, Gelir_Toplam_Tutar, Aciklama) "
                                        "VALUES (?, ?, ?, 'S', ?, ?, ?, ?, ?, ?, ?, '')"));
        Statement payment(connection,
                          QStringLiteral("INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Gider_Tutari, "
                                         "Gelir_Toplam_Tutar, Gider_Miktari, Fis_No, Aciklama) "
                                         "VALUES (?, ?, ?, 'O', ?, 0, 0, ?, 'nakit')"));
        Statement factory(connection,
                          QStringLiteral("INSERT INTO Fabrika (Tarih, Sabah_Toplanan_LT, Sabah_Toplanan_Tutar, "
                                         "Sabah_Fabrika_LT, Sabah_Fabrika_Tutar, Sabah_Miktar_Farki, Sabah_Teslim_Kari, "
                                         "Sabah_Birim_Fiyat, Aksam_Toplanan_LT, Aksam_Toplanan_Tutar, Aksam_Fabrika_LT, "
                                         "Aksam_Fabrika_Tutar, Aksam_Miktar_Farki, Aksam_Teslim_Kari, Aksam_Birim_Fiyat, "
                                         "Toplam_Toplanan_LT, Toplam_Toplanan_Tutar, Toplam_Fabrika_LT, "
                                         "Toplam_Fabrika_Tutar, Toplam_Miktar_Farki, Toplam_Teslim_Kari, Birim_Fiyat, "
                                         "Aciklama) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '')"));
        const double factoryPrice = 14.5;
        for (int d = 0; d < shape.days; ++d) {
            const QDate day = firstDay.addDays(d);
            double sabahLt = 0, aksamLt = 0, sabahTutar = 0, aksamTutar = 0;
            for (const Producer& p : producers) {
                const double morning = std::round(litres(random) * 10) / 10;
                const double evening = std::round(litres(random) * 10) / 10;
                intake.bind(1, day);
                intake.bind(2, p.code);
                intake.bind(3, p.name);
                intake.bind(4, morning);
                intake.bind(5, evening);
                intake.bind(6, p.price);
                intake.bind(7, p.price);
                intake.bind(8, morning * p.price);
                intake.bind(9, evening * p.price);
                intake.bind(10, morning * p.price + evening * p.price);
                intake.run();
                intake.reset();
                sabahLt += morning;
                aksamLt += evening;
                sabahTutar += morning * p.price;
                aksamTutar += evening * p.price;
                if (payEvery(random) == 0) {
                    payment.bind(1, day);
                    payment.bind(2, p.code);
                    payment.bind(3, p.name);
                    payment.bind(4, static_cast<double>(amount(random) * 10));
                    payment.bind(5, QStringLiteral("F-%1").arg(d));
                    payment.run();
                    payment.reset();
                }
            }
            // The factory takes a little less than was collected.
            const double sabahFab = std::round(sabahLt * 0.99), aksamFab = std::round(aksamLt * 0.99);
            const QVariant values[] = {day,
                                       sabahLt, sabahTutar, sabahFab, sabahFab * factoryPrice, sabahLt - sabahFab,
                                       sabahFab * factoryPrice - sabahTutar, factoryPrice,
                                       aksamLt, aksamTutar, aksamFab, aksamFab * factoryPrice, aksamLt - aksamFab,
                                       aksamFab * factoryPrice - aksamTutar, factoryPrice,
                                       sabahLt + aksamLt, sabahTutar + aksamTutar, sabahFab + aksamFab,
                                       (sabahFab + aksamFab) * factoryPrice, sabahLt + aksamLt - sabahFab - aksamFab,
                                       (sabahFab + aksamFab) * factoryPrice - sabahTutar - aksamTutar, factoryPrice};
            for (int i = 0; i < static_cast<int>(std::size(values)); ++i) factory.bind(i + 1, values[i]);
            factory.run();
            factory.reset();
        }
        Statement price(connection, QStringLiteral("INSERT INTO Fabrika_Cari (Birim_Fiyat) VALUES (?)"));
        price.bind(1, factoryPrice);
        price.run();

        // A litre more in the evening, found out on the row's own day: the
        // history grows in the order of its days, as the program writes it.
        Statement last(connection, QStringLiteral("SELECT max(SGID) FROM SutGirisi"));
        last.step();
        std::uniform_int_distribution<qint64> anyRow(1, last.column(0).toLongLong());
        std::uniform_int_distribution<int> second(17 * 3600, 21 * 3600);
        std::vector<std::pair<QDateTime, qint64>> corrections;
        Statement intakeDay(connection, QStringLiteral("SELECT Tarih FROM SutGirisi WHERE SGID = ? AND Gelir_Gider = 'S'"));
        while (static_cast<int>(corrections.size()) < shape.corrections) {
            const qint64 key = anyRow(random);
            intakeDay.bind(1, key);
            if (intakeDay.step())
                corrections.push_back({QDate::fromString(intakeDay.column(0).toString(), Qt::ISODate).startOfDay().addSecs(second(random)), key});
            intakeDay.reset();
        }
        std::sort(corrections.begin(), corrections.end());
        Statement correct(connection, QStringLiteral("UPDATE SutGirisi SET Aksam = Aksam + 1, AToplam_Tutar = (Aksam + 1) * "
                                                     "ABirim_Fiyat, Gelir_Toplam_Tutar = SToplam_Tutar + (Aksam + 1) * "
                                                     "ABirim_Fiyat WHERE SGID = ?"));
        for (const auto& [when, key] : corrections) {
            const QString before = rowJson(connection, schema::sutGirisi(), key);
            correct.bind(1, key);
            correct.run();
            correct.reset();
            recordChange(connection, schema::sutGirisi(), key, ChangeKind::Correction, before,
                         rowJson(connection, schema::sutGirisi(), key), when);
        }
    }
    transaction.commit();
}
