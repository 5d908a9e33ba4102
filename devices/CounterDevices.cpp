#include "devices/CounterDevices.h"

#include <QDir>
#include <QRegularExpression>

CounterDevices::CounterDevices(QObject* parent) : QObject(parent)
{
    reload();
}

CounterDevices::~CounterDevices() = default;

void CounterDevices::reload()
{
    open(CounterDevice::Analyser);
    open(CounterDevice::Scale);
    slip_ = SlipSettings::load();
    if (statusChanged) statusChanged();
}

void CounterDevices::open(CounterDevice which)
{
    Device& d = device(which);
    d.source.reset();
    d.settings = DeviceSettings::load(which);
    if (d.settings.port.isEmpty() || !d.settings.problem(which).isEmpty()) return;
    d.source = std::make_unique<SerialLineSource>(deviceTitle(which), d.settings.port, d.settings.baud,
                                                  *LinePattern::parse(d.settings.pattern).pattern);
    connect(d.source.get(), &SerialLineSource::statusChanged, this, [this] {
        if (statusChanged) statusChanged();
    });
    d.source->start();
}

SerialLineSource* CounterDevices::source(CounterDevice which) const
{
    return device(which).source.get();
}

QString CounterDevices::notRead(CounterDevice which) const
{
    const Device& d = device(which);
    if (d.settings.port.isEmpty())
        return deviceTitle(which) + QStringLiteral(" seçilmedi: ana menüde Cihazlar… ile kapısını seçin; değeri elle yazabilirsiniz.");
    if (const QString problem = d.settings.problem(which); !problem.isEmpty()) return problem;
    if (!d.source->isConnected()) return d.source->statusText() + QStringLiteral(". Kablosunu denetleyin; değeri elle yazabilirsiniz.");
    if (!d.source->newestMatched())
        return QStringLiteral("%1 son satırı desene uymadı: \"%2\". Yeniden ölçün ya da Cihazlar penceresinde deseni denetleyin.")
            .arg(deviceTitle(which) + (which == CounterDevice::Analyser ? QStringLiteral("ün") : QStringLiteral("nin")),
                 d.source->lastUnmatched());
    return {};
}

Take<Analysis> CounterDevices::analysis()
{
    if (const QString why = notRead(CounterDevice::Analyser); !why.isEmpty()) return {std::nullopt, why};
    return takeAnalysis(analyser_.source->last(), QDateTime::currentDateTime());
}

Take<double> CounterDevices::litres()
{
    if (const QString why = notRead(CounterDevice::Scale); !why.isEmpty()) return {std::nullopt, why};
    return takeWeight(scale_.source->last(), QDateTime::currentDateTime(), scale_.settings.density);
}

QString CounterDevices::status() const
{
    QStringList parts;
    for (const CounterDevice which : {CounterDevice::Analyser, CounterDevice::Scale}) {
        const Device& d = device(which);
        if (d.source) parts << d.source->statusText();
        else if (!d.settings.port.isEmpty()) parts << deviceTitle(which) + QStringLiteral(": ayarı okunamadı");
    }
    if (!slip_.target.isEmpty()) parts << QStringLiteral("Fiş: ") + slip_.target;
    return parts.join(QStringLiteral(" · "));
}

QString CounterDevices::printSlip(const SlipData& slip)
{
    if (slip_.target.isEmpty()) return {};
    SlipData withHeading = slip;
    withHeading.heading = slip_.heading;
    withHeading.footer = slip_.footer;
    const QString folder = slipPdfFolder(slip_.target);
    if (folder.isEmpty()) return sendSlip(escPosSlip(withHeading, slip_.width), slip_.target);
    // One file a slip, named so that a day's slips sort in their order.
    static const QRegularExpression unsafe(QStringLiteral("[^0-9A-Za-z_-]"));
    QString code = slip.code;
    code.replace(unsafe, QStringLiteral("_"));
    const QString name = QStringLiteral("Fis-%1-%2-%3.pdf")
                             .arg(slip.moment.toString(QStringLiteral("yyyy-MM-dd-HHmmss")),
                                  slip.evening ? QStringLiteral("Aksam") : QStringLiteral("Sabah"), code);
    if (!QDir().mkpath(folder)) return QStringLiteral("Fiş klasörü açılamadı: ") + folder;
    return writeSlipPdf(withHeading, slip_.width, QDir(folder).filePath(name));
}
