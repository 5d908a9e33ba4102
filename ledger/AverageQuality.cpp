#include "ledger/AverageQuality.h"

#include "common/Conversions.h"
#include "store/Schema.h"
#include "store/Statement.h"

namespace {

std::optional<double> averageAt(const QVariant& value)
{
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

}  // namespace

QString litresWeightedAverageSql(PourFigure figure)
{
    const QString name = figure == PourFigure::Yag ? QStringLiteral("Yag") : QStringLiteral("Protein");
    // Each part is summed apart: a period with only evening figures still
    // has an average. Litres of a pour without its figure weigh nothing.
    return QStringLiteral("(COALESCE(SUM(Sabah * S%1), 0) + COALESCE(SUM(Aksam * A%1), 0)) / "
                          "NULLIF(COALESCE(SUM(CASE WHEN S%1 IS NOT NULL THEN Sabah END), 0) + "
                          "COALESCE(SUM(CASE WHEN A%1 IS NOT NULL THEN Aksam END), 0), 0)")
        .arg(name);
}

QStringList AverageQuality::lines() const
{
    QStringList lines;
    if (yag) lines << kYagName + QStringLiteral(": %") + averageText(yag);
    if (protein) lines << kProteinName + QStringLiteral(": %") + averageText(protein);
    return lines;
}

QString averageText(const std::optional<double>& average)
{
    return average ? formatFloat(kAmountPattern, *average) : QString();
}

SheetCell averageCell(const std::optional<double>& average)
{
    return average ? SheetCell::number(*average) : SheetCell();
}

QString averageQualityByCodeSql()
{
    return QStringLiteral("SELECT Kodu, %1, %2 FROM SutGirisi WHERE Tarih >= ?1 AND Tarih <= ?2 "
                          "AND Gelir_Gider = ?3 AND (?4 = '' OR Kodu = ?4) GROUP BY Kodu;")
        .arg(litresWeightedAverageSql(PourFigure::Yag), litresWeightedAverageSql(PourFigure::Protein));
}

QHash<QString, AverageQuality> averageQualityByCode(const Connection& connection, const QDate& ilk, const QDate& son,
                                                    const QString& kodu)
{
    Statement rows(connection, averageQualityByCodeSql());
    rows.bind(1, ilk);
    rows.bind(2, son);
    rows.bind(3, kindCode(LedgerKind::Intake));
    // Bound as text also when none is given: '' asks for every code.
    rows.bind(4, kodu.isNull() ? QStringLiteral("") : kodu);
    QHash<QString, AverageQuality> found;
    while (rows.step()) {
        const AverageQuality average{averageAt(rows.column(1)), averageAt(rows.column(2))};
        if (average.yag || average.protein) found.insert(rows.column(0).toString(), average);
    }
    return found;
}
