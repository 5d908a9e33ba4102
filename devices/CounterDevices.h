#pragma once

#include "devices/DeviceSettings.h"
#include "devices/SerialLineSource.h"
#include "ledger/Counter.h"

#include <QObject>

#include <memory>

// The counter of this computer as the "Cihazlar" window set it: the
// analyser and the scale read on their serial ports, and the slip printer.
class CounterDevices : public QObject, public CounterDesk {
    Q_OBJECT
public:
    explicit CounterDevices(QObject* parent = nullptr);
    ~CounterDevices() override;

    // The settings read anew and the ports opened again with them.
    void reload();

    Take<Analysis> analysis() override;
    Take<double> litres() override;
    QString status() const override;
    bool printsSlips() const override { return !slip_.target.isEmpty(); }
    QString printSlip(const SlipData& slip) override;

    // The device's port as read now; none when no port is chosen or its
    // pattern cannot be read.
    SerialLineSource* source(CounterDevice device) const;

private:
    struct Device {
        DeviceSettings settings;
        std::unique_ptr<SerialLineSource> source;
    };
    Device& device(CounterDevice which) { return which == CounterDevice::Analyser ? analyser_ : scale_; }
    const Device& device(CounterDevice which) const { return which == CounterDevice::Analyser ? analyser_ : scale_; }
    void open(CounterDevice which);
    // Why the device gives nothing now; empty when it is read.
    QString notRead(CounterDevice which) const;

    Device analyser_;
    Device scale_;
    SlipSettings slip_;
};
