#pragma once

#include "ledger/CounterLines.h"

#include <QSettings>
#include <QString>
#include <QStringList>

enum class CounterDevice { Analyser, Scale };

// "Analizör", "Terazi": the device's name in its status and messages.
QString deviceTitle(CounterDevice device);
// "Cihazlar/analizor", "Cihazlar/terazi"
QString settingsGroup(CounterDevice device);

// A device as the collector set it in the "Cihazlar" window, kept under its
// group with the keys "port", "hiz", "desen" and, for the scale, "yogunluk".
struct DeviceSettings {
    QString port;  // empty: none chosen
    qint32 baud = 9600;
    QString pattern;                   // the pattern's text (LinePattern::parse)
    double density = kDefaultDensity;  // the scale's kilograms per litre

    // Nothing chosen yet: no port, 9600, the first ready pattern.
    static DeviceSettings defaults(CounterDevice device);
    // Missing or unreadable values are the defaults'.
    static DeviceSettings load(CounterDevice device, const QSettings& settings);
    static DeviceSettings load(CounterDevice device);
    void save(CounterDevice device, QSettings& settings) const;
    void save(CounterDevice device) const;
};

// The speeds offered for the port.
QList<qint32> offeredBaudRates();

// The serial ports there now, for the window's list: each by its stable
// /dev/serial/by-id path where it has one (two USB adapters may swap their
// ttyUSB numbers between starts), then by its device path.
QStringList availablePortNames();
