#pragma once

#include "common/Conversions.h"
#include "common/Field.h"

#include <optional>

// A figure box of an entry being edited. It shows the figure as stored,
// perhaps rounded (12,35 for 12,345), and a save takes the stored figure
// back bit for bit until the collector types another number in the box;
// what he typed is then stored as typed. Rewriting the box in another form
// of the same number (on entering and leaving it) is not typing.
class FigureField : public TextField {
public:
    explicit FigureField(const NumberPattern& pattern = kAmountPattern);

    // The stored figure, shown in the box: in the box's pattern, or as given.
    void show(double stored);
    void show(double stored, const QString& shown);
    // What a save stores: the stored figure while the box reads as the
    // number it was shown as, otherwise the box read (empty is 0; a text
    // that is no number throws the decimal parse's error).
    double value() const;
    // The collector typed in the box since the stored figure was shown, or
    // it shows none.
    bool typed() const { return !stored_.has_value(); }

private:
    NumberPattern pattern_;
    std::optional<double> stored_;
    std::optional<double> shownAs_;
};

// The row a save corrects: its key, 0 while the entry is a new one.
class RowKeyField : public Field<qint64> {
public:
    bool isNew() const { return get() == 0; }
    void clear() { set(0); }
};
