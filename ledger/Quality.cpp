#include "ledger/Quality.h"

#include "ledger/Ledger.h"
#include "store/Connection.h"
#include "store/History.h"
#include "store/Schema.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace {

const QString kColumns = QStringLiteral(
    "SELECT KFID, Baslangic, Referans_Fiyat, Referans_Yag, Referans_Protein, Yag_Primi, Yag_Kesintisi, Protein_Primi, "
    "Protein_Kesintisi, Hijyen_Farklari FROM Kalite_Fiyatlari ");

QualityLine lineAt(const Statement& row)
{
    return {row.column(0).toLongLong(), row.column(1).toDate(), row.column(2).toDouble(), row.column(3).toDouble(),
            row.column(4).toDouble(),   row.column(5).toDouble(), row.column(6).toDouble(), row.column(7).toDouble(),
            row.column(8).toDouble(),   row.column(9).toString()};
}

// Whole tenths of a point between a measure and its reference, each taken
// in hundredths as typed; a part of a tenth earns nothing.
qint64 wholeTenths(double measured, double reference)
{
    return (std::llround(measured * 100) - std::llround(reference * 100)) / 10;
}

Money premiumOrDiscount(double measured, double reference, double premium, double discount)
{
    const qint64 tenths = wholeTenths(measured, reference);
    return tenths >= 0 ? Money::fromStored(premium).times(tenths) : Money::fromStored(discount).times(tenths);
}

}  // namespace

namespace {

constexpr double kMostFat = 15;
constexpr double kMostProtein = 10;

}  // namespace

std::optional<PourQualityProblem> pourQualityProblem(const PourQuality& pour, const QString& pourName,
                                                     const std::optional<QualityLine>& line)
{
    using Box = PourQualityProblem::Box;
    if (pour.yag.has_value() != pour.protein.has_value())
        return PourQualityProblem{
            QStringLiteral("Bu %1 sütünün yağını ve proteinini birlikte yazın; ölçülmediyse ikisini de boş bırakın.").arg(pourName),
            pour.yag ? Box::Protein : Box::Yag};
    if (pour.yag && !(*pour.yag > 0 && *pour.yag <= kMostFat))
        return PourQualityProblem{
            QStringLiteral("Bu %1 sütünün yağı 0'dan büyük, en çok 15 olmalı; ölçülmediyse kutuyu boş bırakın.").arg(pourName), Box::Yag};
    if (pour.protein && !(*pour.protein > 0 && *pour.protein <= kMostProtein))
        return PourQualityProblem{
            QStringLiteral("Bu %1 sütünün proteini 0'dan büyük, en çok 10 olmalı; ölçülmediyse kutuyu boş bırakın.").arg(pourName),
            Box::Protein};
    if (pour.measured() && line && !pour.hijyen.trimmed().isEmpty()) {
        const HygieneAmounts grades = hygieneAmounts(line->hijyenFarklari);
        if (!grades.byGrade.count(pour.hijyen.trimmed().toUpper())) {
            QStringList known;
            for (const auto& [grade, amount] : grades.byGrade) known << grade;
            return PourQualityProblem{
                QStringLiteral("Bu %1 sütünün hijyen sınıfı \"%2\" kalite fiyatında yok (olanlar: %3); düzeltin ya da boş bırakın.")
                    .arg(pourName, pour.hijyen.trimmed(), known.isEmpty() ? QStringLiteral("hiçbiri") : known.join(QStringLiteral(", "))),
                Box::Hijyen};
        }
    }
    return std::nullopt;
}

HygieneAmounts hygieneAmounts(const QString& text)
{
    HygieneAmounts read;
    static const QRegularExpression part(QStringLiteral("^\\s*([^=;\\s]+)\\s*=\\s*([-+]?\\d+(?:[.,]\\d+)?)\\s*$"));
    for (const QString& piece : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (piece.trimmed().isEmpty()) continue;
        const QRegularExpressionMatch match = part.match(piece);
        if (!match.hasMatch()) {
            read.problem = QStringLiteral("Hijyen farkı \"%1\" okunamadı; her sınıfı \"A=0,05\" gibi yazın, aralarına ; koyun.").arg(piece.trimmed());
            return read;
        }
        const QString grade = match.captured(1).toUpper();
        if (read.byGrade.count(grade)) {
            read.problem = QStringLiteral("%1 sınıfı iki kez yazılmış.").arg(grade);
            return read;
        }
        read.byGrade[grade] = Money::fromStored(match.captured(2).replace(QLatin1Char(','), QLatin1Char('.')).toDouble());
    }
    return read;
}

QString hygieneText(const HygieneAmounts& amounts)
{
    QStringList parts;
    for (const auto& [grade, amount] : amounts.byGrade) parts << grade + QLatin1Char('=') + QString::number(amount.toDouble(), 'g', 15);
    return parts.join(QLatin1Char(';'));
}

double qualityPrice(const QualityLine& line, const PourQuality& pour)
{
    Money price = Money::fromStored(line.referansFiyat);
    price += premiumOrDiscount(*pour.yag, line.referansYag, line.yagPrimi, line.yagKesintisi);
    price += premiumOrDiscount(*pour.protein, line.referansProtein, line.proteinPrimi, line.proteinKesintisi);
    const HygieneAmounts hygiene = hygieneAmounts(line.hijyenFarklari);
    const auto grade = hygiene.byGrade.find(pour.hijyen.trimmed().toUpper());
    if (grade != hygiene.byGrade.end()) price += grade->second;
    return price.rounded().toDouble();
}

std::vector<QualityLine> QualityPrices::lines() const
{
    Statement rows(ledger_.connection(), kColumns + QStringLiteral("ORDER BY Baslangic, KFID;"));
    std::vector<QualityLine> found;
    while (rows.step()) found.push_back(lineAt(rows));
    return found;
}

std::optional<QualityLine> QualityPrices::lineOn(const QDate& day) const
{
    Statement row(ledger_.connection(), kColumns + QStringLiteral("WHERE Baslangic <= ?1 ORDER BY Baslangic DESC, KFID DESC LIMIT 1;"));
    row.bind(1, day);
    if (!row.step()) return std::nullopt;
    return lineAt(row);
}

QualityPrices::Check QualityPrices::check(const QualityLine& line)
{
    if (!line.baslangic.isValid()) return Check::NoStartDay;
    if (!(line.referansFiyat > 0) || line.referansFiyat > Money::kLargest) return Check::NoPrice;
    if (!(line.referansYag > 0 && line.referansYag <= kMostFat && line.referansProtein > 0 && line.referansProtein <= kMostProtein))
        return Check::BadReference;
    for (const double figure : {line.referansYag, line.referansProtein, line.yagPrimi, line.yagKesintisi, line.proteinPrimi,
                                line.proteinKesintisi})
        if (!(figure >= 0) || figure > 100) return Check::BadFigure;
    if (!hygieneAmounts(line.hijyenFarklari).problem.isEmpty()) return Check::BadHygiene;
    return Check::Ok;
}

QualityPrices::Check QualityPrices::save(const QualityLine& line)
{
    const Check checked = check(line);
    if (checked != Check::Ok) return checked;
    const Connection& connection = ledger_.connection();
    // One line a day, however many desks save at once.
    Transaction saving(connection);
    takeTurnOn(connection, QStringLiteral("Kalite_Fiyatlari"));
    Statement sameDay(connection, QStringLiteral("SELECT 1 FROM Kalite_Fiyatlari WHERE Baslangic=?1 AND KFID<>?2;"));
    sameDay.bind(1, line.baslangic);
    sameDay.bind(2, line.kfid);
    if (sameDay.step()) return Check::SameStartDay;
    const QVariantList values = {line.baslangic, line.referansFiyat, line.referansYag, line.referansProtein, line.yagPrimi,
                                 line.yagKesintisi, line.proteinPrimi, line.proteinKesintisi,
                                 hygieneText(hygieneAmounts(line.hijyenFarklari))};
    const QString fields = QStringLiteral("Baslangic=?1, Referans_Fiyat=?2, Referans_Yag=?3, Referans_Protein=?4, Yag_Primi=?5, "
                                          "Yag_Kesintisi=?6, Protein_Primi=?7, Protein_Kesintisi=?8, Hijyen_Farklari=?9");
    bool recorded = false;
    if (line.kfid > 0) {
        RecordedChange change(connection, schema::kaliteFiyatlari(), line.kfid);
        Statement update(connection, QStringLiteral("UPDATE Kalite_Fiyatlari SET %1 WHERE KFID=?10;").arg(fields));
        for (int i = 0; i < values.size(); ++i) update.bind(i + 1, values[i]);
        update.bind(10, line.kfid);
        update.run();
        recorded = change.commit(ChangeKind::Correction) > 0;
    } else {
        Statement insert(connection, QStringLiteral("INSERT INTO Kalite_Fiyatlari (Baslangic, Referans_Fiyat, Referans_Yag, Referans_Protein, "
                                                    "Yag_Primi, Yag_Kesintisi, Protein_Primi, Protein_Kesintisi, Hijyen_Farklari) "
                                                    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9);"));
        for (int i = 0; i < values.size(); ++i) insert.bind(i + 1, values[i]);
        insert.run();
    }
    saving.commit();
    if (recorded) emit ledger_.events().historyChanged();
    emit ledger_.events().settlementsChanged();
    return Check::Ok;
}

qint64 QualityPrices::remove(qint64 kfid)
{
    return ledger_.deleteSettlementLine(schema::kaliteFiyatlari(), kfid);
}
