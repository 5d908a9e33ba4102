#pragma once

#include "ledger/CounterLines.h"
#include "ledger/print/Slip.h"

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

    // Why the device cannot be read as set, in Turkish; empty when it can
    // (or no port is chosen): a pattern that cannot be read or lacks the
    // device's figures, a density not that of milk.
    QString problem(CounterDevice device) const;
};

// The slip printer, kept under "Cihazlar/fis": "hedef", "genislik" (58 or
// 80), "baslik", "alt".
struct SlipSettings {
    // Empty: no slips. A device file ("/dev/usb/lp0"), "kuyruk:NAME" for a
    // print queue given the printer's own bytes, or "pdf:FOLDER" for a PDF
    // of the roll's width per slip.
    QString target;
    SlipWidth width = SlipWidth::Mm58;
    QString heading;
    QString footer;

    static SlipSettings load(const QSettings& settings);
    static SlipSettings load();
    void save(QSettings& settings) const;
    void save() const;
};

// The folder of "pdf:FOLDER"; empty for a printer.
QString slipPdfFolder(const QString& target);

// The speeds offered for the port.
QList<qint32> offeredBaudRates();

// The serial ports there now, for the window's list: each by its stable
// /dev/serial/by-id path where it has one (two USB adapters may swap their
// ttyUSB numbers between starts), then by its device path.
QStringList availablePortNames();
