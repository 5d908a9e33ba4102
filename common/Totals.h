#pragma once

#include "common/Money.h"

#include <QHash>
#include <QObject>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

// The totals under a list, as the program adds them up from the figures the
// list shows; the total boxes show them and follow each new publication.
class Totals : public QObject {
    Q_OBJECT
public:
    // A total is empty when there was nothing to add.
    QVariant value(const QString& field) const { return values_.value(field); }
    void publish(const std::vector<std::pair<QString, std::optional<Money>>>& totals)
    {
        values_.clear();
        for (const auto& [field, total] : totals)
            values_.insert(field, total ? QVariant(static_cast<double>(total->kurus()) / 100.0) : QVariant());
        emit changed();
    }
    void clear()
    {
        values_.clear();
        emit changed();
    }

signals:
    void changed();

private:
    QHash<QString, QVariant> values_;
};
