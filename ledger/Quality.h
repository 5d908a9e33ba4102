#pragma once

#include "common/Money.h"

#include <QDate>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class Ledger;

// The price of milk by its quality ("Kalite Fiyatı"): a line holds from its
// day until the next. A pour with its fat and protein measured is priced from
// the line in force on its day; one without is priced as typed.
struct QualityLine {
    qint64 kfid = 0;  // 0: not stored yet
    QDate baslangic;
    double referansFiyat = 0;     // per litre, for milk of the reference fat and protein
    double referansYag = 0;       // percent
    double referansProtein = 0;   // percent
    // Per whole tenth of a point above (primi) or below (kesintisi) the
    // reference, per litre.
    double yagPrimi = 0;
    double yagKesintisi = 0;
    double proteinPrimi = 0;
    double proteinKesintisi = 0;
    // Per litre by hygiene grade, as kept: "A=0.05;C=-0.1".
    QString hijyenFarklari;
};

// A pour's quality, as the analyser gave it or the collector typed it.
struct PourQuality {
    std::optional<double> yag;      // percent, two decimals
    std::optional<double> protein;  // percent, two decimals
    QString hijyen;                 // grade; empty when not graded
    bool measured() const { return yag && protein; }
    bool operator==(const PourQuality&) const = default;
};

// Why a pour's figures as typed cannot be stored, in Turkish, naming the
// pour ("sabah", "akşam"); empty when they can. Fat and protein go
// together, fat up to 15 % and protein up to 10 %, each above 0 (the
// reference figures of a price line too).
// A grade is one the line in force on the pour's day has.
// The box to mend is named with the problem.
struct PourQualityProblem {
    enum class Box { Yag, Protein, Hijyen };
    QString text;
    Box box = Box::Yag;
};
std::optional<PourQualityProblem> pourQualityProblem(const PourQuality& pour, const QString& pourName,
                                                     const std::optional<QualityLine>& line);

// The hygiene grades' amounts of a line, or why its text cannot be read (in
// Turkish); "A=0,05; C=-0,10" is read as "A=0.05;C=-0.1".
struct HygieneAmounts {
    std::map<QString, Money> byGrade;
    QString problem;
};
HygieneAmounts hygieneAmounts(const QString& text);
// As kept: points for decimals, no spaces, in grade order.
QString hygieneText(const HygieneAmounts& amounts);

// The price per litre of a measured pour: the reference price, plus each
// whole tenth of a point of fat and of protein above the reference times its
// premium, less each whole tenth below times its discount, plus the grade's
// amount; to the kuruş, a half away from zero.
double qualityPrice(const QualityLine& line, const PourQuality& pour);

// The lines over the ledger's connection; changes are kept in the history and
// told on the ledger's events like the deductions'.
class QualityPrices {
public:
    explicit QualityPrices(Ledger& ledger) : ledger_(ledger) {}

    std::vector<QualityLine> lines() const;
    // The line in force on the day: the latest that starts on or before it.
    std::optional<QualityLine> lineOn(const QDate& day) const;

    enum class Check { Ok, NoStartDay, NoPrice, BadReference, BadFigure, BadHygiene, SameStartDay };
    static Check check(const QualityLine& line);
    // A line that starts on the day of another is refused (SameStartDay):
    // only one can hold from a day.
    Check save(const QualityLine& line);
    // The key of the deletion's row of the history, for Ctrl+Z.
    qint64 remove(qint64 kfid);

private:
    Ledger& ledger_;
};
