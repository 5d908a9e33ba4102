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

QString DeviceSettings::problem(CounterDevice device) const
{
    if (port.isEmpty()) return {};
    const LinePattern::Parsed parsed = LinePattern::parse(pattern);
    if (!parsed.pattern) return deviceTitle(device) + QStringLiteral(": ") + parsed.error;
    using F = LinePattern::Field;
    if (device == CounterDevice::Analyser && !(parsed.pattern->reads(F::Fat) && parsed.pattern->reads(F::Protein)))
        return QStringLiteral("Analizörün deseninde {yag} ve {protein} olmalı.");
    if (device == CounterDevice::Scale) {
        if (!parsed.pattern->reads(F::Kilograms)) return QStringLiteral("Terazinin deseninde {kg} olmalı.");
        if (!(density >= 0.9 && density <= 1.1)) return QStringLiteral("Sütün yoğunluğu 0,900 ile 1,100 arasında olmalı.");
    }
    return {};
}

SlipSettings SlipSettings::load(const QSettings& settings)
{
    SlipSettings s;
    s.target = settings.value(QStringLiteral("Cihazlar/fis/hedef")).toString().trimmed();
    if (settings.value(QStringLiteral("Cihazlar/fis/genislik")).toInt() == 80) s.width = SlipWidth::Mm80;
    s.heading = settings.value(QStringLiteral("Cihazlar/fis/baslik")).toString();
    s.footer = settings.value(QStringLiteral("Cihazlar/fis/alt")).toString();
    return s;
}

SlipSettings SlipSettings::load()
{
    return load(QSettings());
}

void SlipSettings::save(QSettings& settings) const
{
    settings.setValue(QStringLiteral("Cihazlar/fis/hedef"), target.trimmed());
    settings.setValue(QStringLiteral("Cihazlar/fis/genislik"), width == SlipWidth::Mm80 ? 80 : 58);
    settings.setValue(QStringLiteral("Cihazlar/fis/baslik"), heading);
    settings.setValue(QStringLiteral("Cihazlar/fis/alt"), footer);
}

void SlipSettings::save() const
{
    QSettings settings;
    save(settings);
}

QString slipPdfFolder(const QString& target)
{
    return target.startsWith(QStringLiteral("pdf:")) ? target.mid(4) : QString();
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
