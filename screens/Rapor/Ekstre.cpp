#include "screens/Rapor/Ekstre.h"

#include "common/Conversions.h"
#include "common/GridColumns.h"
#include "common/MonthPeriod.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlText.h"

namespace {

// Empty stays empty, so a payment row shows no litres and no price.
QString amount(const QVariant& value)
{
    return cellText(kAsAmount, value);
}

QString amount(double value)
{
    return formatFloat(kAmountPattern, value);
}

QString period(const QDate& ilk, const QDate& son)
{
    return shortDate(ilk) + QLatin1Char('-') + shortDate(son);
}

}  // namespace

const QStringList AccountStatement::kColumnTitles = {
    QStringLiteral("Tarih"),    QStringLiteral("Açıklama"), QStringLiteral("Sabah LT"),   QStringLiteral("Akşam LT"),
    QStringLiteral("Birim Fiyat"), QStringLiteral("Borcumuz"), QStringLiteral("Alacağımız"), QStringLiteral("Bakiye"),
};

QStringList AccountStatementLine::cells() const
{
    return {tarih, aciklama, amount(sabah), amount(aksam), amount(birimFiyat), amount(borc), amount(alacak), amount(bakiye)};
}

QStringList AccountStatement::headerLines() const
{
    QStringList lines{QStringLiteral("Kodu: ") + kodu, QStringLiteral("Adı Soyadı: ") + adi};
    if (!koy.isEmpty()) lines << QStringLiteral("Köy: ") + koy;
    lines << QStringLiteral("Dönem: ") + shortDate(ilk) + QStringLiteral(" - ") + shortDate(son);
    return lines;
}

QStringList AccountStatement::openingCells() const
{
    return {QString(), QStringLiteral("Devreden Bakiye"), QString(), QString(), QString(), QString(), QString(),
            amount(acilisBakiyesi)};
}

QStringList AccountStatement::totalCells() const
{
    return {QString(),           QStringLiteral("Toplam"), amount(sabahToplami), amount(aksamToplami), QString(),
            amount(borcToplami), amount(alacakToplami),    amount(kalanTutar())};
}

QString AccountStatement::closingLine() const
{
    return QStringLiteral("Kalan Tutar: ") + amount(kalanTutar());
}

QString AccountStatement::pageText(int page, int pageCount)
{
    return QStringLiteral("Sayfa %1/%2").arg(page).arg(pageCount);
}

QString AccountStatement::fileName() const
{
    return safeFileName(QStringLiteral("Ekstre-") + kodu + QLatin1Char('-') + adi + QLatin1Char('-') + period(ilk, son) +
                        QStringLiteral(".pdf"));
}

QString allStatementsFileName(const QDate& ilk, const QDate& son)
{
    return safeFileName(QStringLiteral("Ekstreler-") + period(ilk, son) + QStringLiteral(".pdf"));
}

QString safeFileName(const QString& text)
{
    QString safe = text;
    for (QChar& c : safe)
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    // A leading dot would hide the file.
    if (safe.startsWith(QLatin1Char('.'))) safe[0] = QLatin1Char('_');
    return safe;
}

AccountStatement buildStatement(Connection& connection, const QString& kodu, const QString& adi, const QDate& ilk,
                         const QDate& son)
{
    AccountStatement statement;
    statement.kodu = kodu;
    statement.adi = adi;
    statement.ilk = ilk;
    statement.son = son;
    // The code comes from the data: quoted with its own quotes doubled.
    const QString codeLine = QStringLiteral("AND Kodu=") + quotedText(kodu);

    Query account(connection, {QStringLiteral("SELECT Adi, Koy FROM Cariler"),
                               QStringLiteral("WHERE Kodu=") + quotedText(kodu), QStringLiteral("ORDER BY CID ASC;")});
    account.open();
    if (account.recordCount() > 0) {
        statement.adi = account.asString(QStringLiteral("Adi"));
        statement.koy = account.asString(QStringLiteral("Koy"));
    }

    Query before(connection, {QStringLiteral("SELECT SUM(Gelir_Toplam_Tutar) AS Borc_Toplami, "),
                              QStringLiteral("SUM(Gider_Tutari) AS Alacak_Toplami FROM SutGirisi"),
                              QStringLiteral("WHERE Tarih<") + dateLiteral(ilk), codeLine + QLatin1Char(';')});
    before.open();
    statement.acilisBakiyesi = before.asFloat(QStringLiteral("Borc_Toplami")) - before.asFloat(QStringLiteral("Alacak_Toplami"));

    Query rows(connection, {
                               QStringLiteral("SELECT Tarih, Aciklama, Sabah, Aksam, SBirim_Fiyat, Gelir_Gider, "),
                               QStringLiteral("Gelir_Toplam_Tutar, Gider_Tutari FROM SutGirisi"),
                               periodFilter(ilk, son),
                               codeLine,
                               // Rows of one day in the order they were entered.
                               QStringLiteral("ORDER BY Tarih ASC, SGID ASC;"),
                           });
    rows.open();
    double bakiye = statement.acilisBakiyesi;
    for (int row = 0; row < rows.recordCount(); ++row) {
        AccountStatementLine line;
        line.tarih = cellText(kAsShortDate, rows.valueAt(row, QStringLiteral("Tarih")));
        line.aciklama = rows.valueAt(row, QStringLiteral("Aciklama")).toString();
        line.sabah = rows.valueAt(row, QStringLiteral("Sabah"));
        line.aksam = rows.valueAt(row, QStringLiteral("Aksam"));
        if (rows.valueAt(row, QStringLiteral("Gelir_Gider")).toString() == kindCode(LedgerKind::Intake))
            line.birimFiyat = rows.valueAt(row, QStringLiteral("SBirim_Fiyat"));
        line.borc = rows.valueAt(row, QStringLiteral("Gelir_Toplam_Tutar"));
        line.alacak = rows.valueAt(row, QStringLiteral("Gider_Tutari"));
        bakiye += line.borc.toDouble() - line.alacak.toDouble();
        line.bakiye = bakiye;
        statement.sabahToplami += line.sabah.toDouble();
        statement.aksamToplami += line.aksam.toDouble();
        statement.borcToplami += line.borc.toDouble();
        statement.alacakToplami += line.alacak.toDouble();
        statement.lines.push_back(line);
    }
    return statement;
}
