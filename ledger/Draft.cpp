#include "ledger/Draft.h"

#include "common/Money.h"

#include <cmath>

namespace {

// The number a box's text reads as; none for a text that reads as no number.
std::optional<double> readAs(const QString& text)
{
    try {
        return parseDecimal(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

}  // namespace

FigureField::FigureField(const NumberPattern& pattern) : pattern_(pattern)
{
    onChange([this](const QString& text) {
        if (stored_ && readAs(text) != shownAs_) {
            stored_.reset();
            shownAs_.reset();
        }
    });
}

void FigureField::show(double stored)
{
    show(stored, formatFloat(pattern_, stored));
}

void FigureField::show(double stored, const QString& shown)
{
    stored_ = stored;
    shownAs_ = readAs(shown);
    set(shown);
}

double FigureField::value() const
{
    if (stored_) return *stored_;
    const double typed = parseDecimal(text());
    if (std::abs(typed) > Money::kLargest)
        throw ConversionError(QStringLiteral("%1 çok büyük: bir tutar ya da litre en çok %2 olabilir.")
                                  .arg(text(), formatFloat(kAmountPattern, Money::kLargest))
                                  .toStdString());
    return typed;
}
