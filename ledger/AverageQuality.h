#pragma once

#include "common/Sheet.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class Connection;

// What a pour has measured beside its litres: the morning's in SYag and
// SProtein, the evening's in AYag and AProtein.
enum class PourFigure { Yag, Protein };

// SQL over intake rows, to stand in a SELECT grouped as the caller needs: the
// figure's average with each pour weighed by its litres. A pour without the
// figure is left out of both sums; where no pour has it the result is NULL,
// never 0. The same text runs on the file and on the server.
QString litresWeightedAverageSql(PourFigure figure);

// A producer's averages over a period; none where no pour was measured.
struct AverageQuality {
    std::optional<double> yag;
    std::optional<double> protein;

    static inline const QString kYagName = QStringLiteral("Ort. Yağ");
    static inline const QString kProteinName = QStringLiteral("Ort. Protein");
    // A column's title: "Ort. Yağ %".
    static inline const QString kYagTitle = kYagName + QStringLiteral(" %");
    static inline const QString kProteinTitle = kProteinName + QStringLiteral(" %");
    // "Ort. Yağ: %3,85", "Ort. Protein: %3,20": those there are. The sign
    // before the figure, as a rate is written, so that no line of a paper
    // added up by hand ends in a bare figure that is not an amount.
    QStringList lines() const;
    bool operator==(const AverageQuality&) const = default;
};

// An average as every figure is shown, "3,85"; empty for none.
QString averageText(const std::optional<double>& average);
// For a file: the figure as shown, a number; an empty cell for none.
SheetCell averageCell(const std::optional<double>& average);

// Every code's averages over its intake rows of days ?1 to ?2 of kind ?3;
// the code ?4 alone, or every code where ?4 is ''.
QString averageQualityByCodeSql();
// Every code's averages over its intake rows from ilk to son; one code's
// alone when given. A code without a measured pour has none.
QHash<QString, AverageQuality> averageQualityByCode(const Connection& connection, const QDate& ilk, const QDate& son,
                                                    const QString& kodu = {});
