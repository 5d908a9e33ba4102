#pragma once

#include "ledger/CounterLines.h"
#include "ledger/print/Slip.h"

#include <QString>

#include <functional>

// The counter's devices as the intake screen uses them: the analyser's and
// the scale's newest readings and the slip printer. The program's own reads
// the serial ports; nothing here ever waits on a device.
class CounterDesk {
public:
    virtual ~CounterDesk() = default;

    // F7: the analyser's last reading, or in Turkish why not (none chosen,
    // not connected, too old, a field missing).
    virtual Take<Analysis> analysis() = 0;
    // F8: the scale's steady weight in litres, or why not.
    virtual Take<double> litres() = 0;
    // What is connected, for the status line.
    virtual QString status() const = 0;
    // Told when the status changes.
    std::function<void()> statusChanged;

    // Whether a slip is printed after each save.
    virtual bool printsSlips() const = 0;
    // The slip of a saved pour: empty when printed, otherwise what to check.
    virtual QString printSlip(const SlipData& slip) = 0;
};
