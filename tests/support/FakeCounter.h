#pragma once

#include "ledger/Counter.h"

#include <vector>

// A counter whose next readings the test sets, keeping the slips it is given.
class FakeCounter : public CounterDesk {
public:
    Take<Analysis> nextAnalysis{std::nullopt, QStringLiteral("Analizör: bağlı değil")};
    Take<double> nextLitres{std::nullopt, QStringLiteral("Terazi: bağlı değil")};
    QString printFault;
    std::vector<SlipData> slips;

    Take<Analysis> analysis() override { return nextAnalysis; }
    Take<double> litres() override { return nextLitres; }
    QString status() const override { return QStringLiteral("Analizör: /dev/ttyUSB0 bağlı"); }
    bool printsSlips() const override { return true; }
    QString printSlip(const SlipData& slip) override
    {
        slips.push_back(slip);
        return printFault;
    }
};
