#include "ledger/Lists.h"

#include "common/Conversions.h"
#include "ledger/AverageQuality.h"
#include "common/TurkishText.h"
#include "store/SqlText.h"
#include "store/Query.h"
#include "store/Schema.h"

namespace lists {

namespace {

const QString kPeriod = QStringLiteral("WHERE (Tarih>=?1 AND Tarih<=?2)");

QVariant intake()
{
    return kindCode(LedgerKind::Intake);
}

}  // namespace

Account accountAt(const Query& accounts)
{
    Account account;
    account.cid = accounts.value(QStringLiteral("CID")).toLongLong();
    account.kodu = accounts.asString(QStringLiteral("Kodu"));
    account.adi = accounts.asString(QStringLiteral("Adi"));
    account.birimFiyati = accounts.asFloat(QStringLiteral("Birim_Fiyati"));
    account.aciklama = accounts.asString(QStringLiteral("Aciklama"));
    account.mevki = accounts.asString(QStringLiteral("Mevki"));
    account.koy = accounts.asString(QStringLiteral("Koy"));
    account.telefon = accounts.asString(QStringLiteral("Telefon"));
    account.kisinAlim = accounts.asString(QStringLiteral("Kisin_Alim"));
    account.yazAlim = accounts.asString(QStringLiteral("Yaz_Alim"));
    account.iban = accounts.asString(QStringLiteral("IBAN"));
    return account;
}

void intakeDay(Query& query, const QDate& day)
{
    query.reopen({QStringLiteral("SELECT * FROM SutGirisi"), QStringLiteral("WHERE Tarih=?1"), QStringLiteral("AND Gelir_Gider=?2"),
                  QStringLiteral("ORDER BY Adi COLLATE tr ASC;")},
                 {day, intake()});
}

void intakeMonth(Query& query, const QDate& first, const QDate& last)
{
    query.reopen({QStringLiteral("SELECT Adi, SUM(Sabah) AS \"Sabah_Toplam\",SUM(Aksam) AS \"Aksam_Toplam\", "),
                  QStringLiteral("SUM(Gelir_Toplam_Tutar) AS \"Toplam_Tutar\","),
                  QStringLiteral("%1 AS \"Ort_Yag\", %2 AS \"Ort_Protein\",").arg(litresWeightedAverageSql(PourFigure::Yag),
                                                                                  litresWeightedAverageSql(PourFigure::Protein)),
                  // The days with milk: a file with two rows a day counts the day once.
                  QStringLiteral("COUNT(DISTINCT CASE WHEN Gelir_Toplam_Tutar IS NOT NULL THEN Tarih END) AS \"Toplam_GUN\" FROM SutGirisi"), kPeriod,
                  QStringLiteral("AND Gelir_Gider=?3"), QStringLiteral("GROUP BY Adi"), QStringLiteral("ORDER BY Adi COLLATE tr ASC;")},
                 {first, last, intake()});
}

void notPoured(Query& query, const QDate& day)
{
    query.reopen({QStringLiteral("SELECT Kodu, Adi FROM Cariler"), QStringLiteral("WHERE NOT EXISTS (SELECT 1 FROM SutGirisi"),
                  QStringLiteral("WHERE SutGirisi.Kodu=Cariler.Kodu AND Tarih=?1 AND Gelir_Gider=?2)"),
                  QStringLiteral("ORDER BY Adi COLLATE tr ASC;")},
                 {day, intake()});
}

void paymentsMonth(Query& query, const QDate& first, const QDate& last)
{
    // Rows of one day in the order they were entered.
    query.reopen({QStringLiteral("SELECT * FROM SutGirisi"), kPeriod, QStringLiteral("AND Gelir_Gider=?3"),
                  QStringLiteral("ORDER BY Tarih ASC, SGID ASC;")},
                 {first, last, kindCode(LedgerKind::Payment)});
}

void deliveriesMonth(Query& query, const QDate& first, const QDate& last)
{
    query.reopen({QStringLiteral("SELECT * FROM Fabrika  "), kPeriod, QStringLiteral("ORDER BY Tarih ASC;")}, {first, last});
}

void dailyLitres(Query& query, const QDate& first, const QDate& last)
{
    query.reopen({QStringLiteral("SELECT Tarih, SUM(Sabah) AS \"Sabah_Toplam\", SUM(Aksam) AS \"Aksam_Toplam\" FROM SutGirisi"),
                  QStringLiteral("WHERE Tarih>=?1 AND Tarih<=?2 AND Gelir_Gider=?3"), QStringLiteral("GROUP BY Tarih;")},
                 {first, last, intake()});
}

const std::vector<GridColumn> kBalanceColumns = {
    {QStringLiteral("Kodu"), QStringLiteral("Kodu"), 60},
    {QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 130},
    {QStringLiteral("Borc_Toplami"), QStringLiteral("Borcumuz"), 0, kAsAmount},
    {QStringLiteral("Alacak_Toplami"), QStringLiteral("Alacağımız"), 94, kAsAmount},
    {QStringLiteral("Bakiye"), QStringLiteral("Kalan Tutar"), 0, kAsAmount},
};

void balances(Query& query, const QDate& from, const QDate& to)
{
    // Borc minus Alacak, an empty sum counting as 0.
    query.calculatedFields = {QStringLiteral("Bakiye")};
    query.onCalcFields = [](Record& row) {
        row.setValue(QStringLiteral("Bakiye"), row.asFloat(QStringLiteral("Borc_Toplami")) - row.asFloat(QStringLiteral("Alacak_Toplami")));
    };
    // Summed exactly, as the statements sum them: a row and the producer's
    // statement for the same period show the same figures.
    const SqlDialect& dialect = dialectOf(query.connection());
    query.reopen({QStringLiteral("SELECT Kodu, Adi, %1 AS \"Borc_Toplami\", ").arg(dialect.exactSum(QStringLiteral("Gelir_Toplam_Tutar"))),
                  QStringLiteral("%1 AS \"Alacak_Toplami\" FROM SutGirisi").arg(dialect.exactSum(QStringLiteral("Gider_Tutari"))), kPeriod,
                  QStringLiteral("GROUP BY Kodu, Adi"), QStringLiteral("ORDER BY Adi COLLATE tr ASC;")},
                 {from, to});
}

void codeRows(Query& query, const QString& code, const QDate& from, const QDate& to)
{
    query.reopen({QStringLiteral("SELECT Tarih, Adi, Aciklama, Sabah, Aksam,Gelir_Toplam_Tutar, "),
                  QStringLiteral("Gider_Tutari FROM SutGirisi"), kPeriod, QStringLiteral("AND Kodu=?3"),
                  // Rows of one day in the order they were entered.
                  QStringLiteral("ORDER BY Tarih ASC, SGID ASC;")},
                 {from, to, code});
}

void monthlyLitres(Query& query, const QString& code, const QDate& from, const QDate& to)
{
    query.reopen({QStringLiteral("SELECT substr(Tarih, 1, 7) AS \"Ay\", SUM(Sabah) AS \"Sabah_Toplam\", SUM(Aksam) AS \"Aksam_Toplam\","),
                  QStringLiteral("%1 AS \"Ort_Yag\", %2 AS \"Ort_Protein\"").arg(litresWeightedAverageSql(PourFigure::Yag),
                                                                                litresWeightedAverageSql(PourFigure::Protein)),
                  QStringLiteral("FROM SutGirisi WHERE Kodu=?1 AND Tarih>=?2 AND Tarih<=?3 AND Gelir_Gider=?4"),
                  QStringLiteral("GROUP BY \"Ay\";")},
                 {code, from, to, intake()});
}

void changes(Query& query, const QDate& first, const QDate& last, const QString& wanted, int most)
{
    query.reopen({QStringLiteral("SELECT DID, Zaman, Tablo, Islem, Onceki, Sonraki FROM Degisiklikler"),
                  QStringLiteral("WHERE Zaman >= ?1 AND Zaman < ?2"),
                  // A code as a whole, or a part of a name in any letter case.
                  QStringLiteral("AND (?3 = '' OR json_extract(COALESCE(Onceki, Sonraki), '$.Kodu') = ?3"),
                  QStringLiteral("OR instr(tr_lower(json_extract(COALESCE(Onceki, Sonraki), '$.Adi')), ?4) > 0)"),
                  QStringLiteral("ORDER BY Zaman DESC, DID DESC LIMIT ?5;")},
                 {first, last.addDays(1), wanted, turkishLower(wanted), most});
}

std::optional<Money> shownSum(const Query& rows, const QString& field)
{
    std::optional<Money> sum;
    for (int row = 0; row < rows.recordCount(); ++row) {
        const QVariant value = rows.valueAt(row, field);
        if (value.isNull()) continue;
        sum = sum.value_or(Money()) + Money::fromKurus(shownHundredths(value.toDouble()));
    }
    return sum;
}

}  // namespace lists
