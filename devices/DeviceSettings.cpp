#include "devices/DeviceSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cmath>

namespace {

QString key(CounterDevice device, const char* name)
{
    return settingsGroup(device) + QLatin1Char('/') + QLatin1String(name);
}

}  // namespace

QString deviceTitle(CounterDevice device)
{
    return device == CounterDevice::Analyser ? QStringLiteral("Analizör") : QStringLiteral("Terazi");
}

QString settingsGroup(CounterDevice device)
{
    return device == CounterDevice::Analyser ? QStringLiteral("Cihazlar/analizor") : QStringLiteral("Cihazlar/terazi");
}

DeviceSettings DeviceSettings::defaults(CounterDevice device)
{
    DeviceSettings s;
    const auto& ready = device == CounterDevice::Analyser ? readyAnalyserPatterns() : readyScalePatterns();
    s.pattern = ready.first().second;
    return s;
}

DeviceSettings DeviceSettings::load(CounterDevice device, const QSettings& settings)
{
    DeviceSettings s = defaults(device);
    s.port = settings.value(key(device, "port")).toString();
    bool ok = false;
    const int baud = settings.value(key(device, "hiz")).toInt(&ok);
    if (ok && baud > 0) s.baud = baud;
    const QString pattern = settings.value(key(device, "desen")).toString();
    if (!pattern.isEmpty()) s.pattern = pattern;
    if (device == CounterDevice::Scale) {
        const double density = settings.value(key(device, "yogunluk")).toDouble(&ok);
        if (ok && std::isfinite(density) && density > 0) s.density = density;
    }
    return s;
}

DeviceSettings DeviceSettings::load(CounterDevice device)
{
    return load(device, QSettings());
}

void DeviceSettings::save(CounterDevice device, QSettings& settings) const
{
    settings.setValue(key(device, "port"), port);
    settings.setValue(key(device, "hiz"), baud);
    settings.setValue(key(device, "desen"), pattern);
    if (device == CounterDevice::Scale) settings.setValue(key(device, "yogunluk"), density);
}

void DeviceSettings::save(CounterDevice device) const
{
    QSettings settings;
    save(device, settings);
}

QList<qint32> offeredBaudRates()
{
    return {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
}

QStringList availablePortNames()
{
    QStringList byPath;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) byPath << info.systemLocation();
    byPath.sort();
    QStringList names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System, QDir::Name))
        if (byPath.contains(link.canonicalFilePath())) names << link.absoluteFilePath();
    return names + byPath;
}
