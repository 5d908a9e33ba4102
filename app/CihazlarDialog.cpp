#include "app/CihazlarDialog.h"

#include "common/Conversions.h"
#include "common/Platform.h"
#include "common/widgets/ErrorBox.h"
#include "devices/CounterDevices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* choices(QWidget* parent, const QStringList& items, const QString& current)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentText(current);
    return combo;
}

// The boxes of one device, read back into its settings.
struct DeviceBoxes {
    QComboBox* port;
    QComboBox* baud;
    QComboBox* pattern;
    QLineEdit* density = nullptr;
    QLabel* lastLine;
};

DeviceBoxes deviceGroup(QVBoxLayout* rows, QWidget* parent, CounterDevice device, CounterDevices& devices)
{
    const DeviceSettings settings = DeviceSettings::load(device);
    auto* group = new QGroupBox(deviceTitle(device), parent);
    auto* form = new QFormLayout(group);
    QStringList ports = availablePortNames();
    ports.prepend(QString());
    QStringList bauds;
    for (const qint32 baud : offeredBaudRates()) bauds << QString::number(baud);
    QStringList patterns;
    QStringList titles;
    for (const auto& [title, pattern] : device == CounterDevice::Analyser ? readyAnalyserPatterns() : readyScalePatterns()) {
        patterns << pattern;
        titles << title + QStringLiteral(": ") + pattern;
    }
    DeviceBoxes boxes{choices(group, ports, settings.port), choices(group, bauds, QString::number(settings.baud)),
                      choices(group, patterns, settings.pattern), nullptr, new QLabel(group)};
    boxes.port->setMinimumWidth(320);
    boxes.pattern->setToolTip(titles.join(QLatin1Char('\n')));
    form->addRow(QStringLiteral("Kapı"), boxes.port);
    form->addRow(QStringLiteral("Hız"), boxes.baud);
    form->addRow(QStringLiteral("Satır deseni"), boxes.pattern);
    if (device == CounterDevice::Scale) {
        boxes.density = new QLineEdit(formatFloat(kRatePattern, settings.density).chopped(1), group);
        form->addRow(QStringLiteral("Sütün yoğunluğu (kg/LT)"), boxes.density);
    }
    boxes.lastLine->setTextFormat(Qt::PlainText);
    form->addRow(QStringLiteral("Son satır"), boxes.lastLine);
    // The line the device sends now, so a pattern can be written after it.
    if (SerialLineSource* source = devices.source(device)) {
        // The newest line, also one that came while this window was closed.
        const auto showNewest = [label = boxes.lastLine, source] {
            if (!source->newestMatched())
                label->setText(QStringLiteral("desene uymadı: ") + source->lastUnmatched());
            else if (source->last())
                label->setText(QStringLiteral("uydu: ") + source->last()->line);
            else
                label->setText(source->statusText());
        };
        showNewest();
        QObject::connect(source, &SerialLineSource::readingArrived, boxes.lastLine, showNewest);
        QObject::connect(source, &SerialLineSource::lineUnmatched, boxes.lastLine, showNewest);
    } else {
        boxes.lastLine->setText(QStringLiteral("okunmuyor"));
    }
    rows->addWidget(group);
    return boxes;
}

DeviceSettings settingsFrom(const DeviceBoxes& boxes)
{
    DeviceSettings settings;
    settings.port = boxes.port->currentText().trimmed();
    settings.baud = boxes.baud->currentText().toInt();
    settings.pattern = boxes.pattern->currentText();
    // A density that is no number throws the parse's own Turkish message.
    if (boxes.density) settings.density = parseDecimal(boxes.density->text());
    return settings;
}

}  // namespace

CihazlarDialog::CihazlarDialog(CounterDevices& devices, Dialogs& dialogs, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Cihazlar"));
    auto* rows = new QVBoxLayout(this);
    const DeviceBoxes analyser = deviceGroup(rows, this, CounterDevice::Analyser, devices);
    const DeviceBoxes scale = deviceGroup(rows, this, CounterDevice::Scale, devices);

    const SlipSettings slip = SlipSettings::load();
    auto* slipGroup = new QGroupBox(QStringLiteral("Fiş yazıcısı"), this);
    auto* slipForm = new QFormLayout(slipGroup);
    QStringList targets = {QString(), QStringLiteral("/dev/usb/lp0"), QStringLiteral("kuyruk:"), QStringLiteral("pdf:AnaData/Fisler")};
    auto* target = choices(slipGroup, targets, slip.target);
    target->setToolTip(QStringLiteral("Boş: fiş yok. Aygıt dosyası (/dev/usb/lp0), kuyruk:YAZICI_ADI ya da pdf:KLASÖR"));
    auto* width = new QComboBox(slipGroup);
    width->addItems({QStringLiteral("58 mm"), QStringLiteral("80 mm")});
    width->setCurrentIndex(slip.width == SlipWidth::Mm80 ? 1 : 0);
    auto* heading = new QLineEdit(slip.heading, slipGroup);
    auto* footer = new QLineEdit(slip.footer, slipGroup);
    slipForm->addRow(QStringLiteral("Yazıcı"), target);
    slipForm->addRow(QStringLiteral("Kağıt"), width);
    slipForm->addRow(QStringLiteral("Başlık"), heading);
    slipForm->addRow(QStringLiteral("Alt satır"), footer);
    rows->addWidget(slipGroup);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("&Kaydet"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Vazgeç"));
    rows->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [=, this, &devices, &dialogs] {
        guarded([&] {
            const DeviceSettings analyserSettings = settingsFrom(analyser);
            const DeviceSettings scaleSettings = settingsFrom(scale);
            for (const QString& problem : {analyserSettings.problem(CounterDevice::Analyser), scaleSettings.problem(CounterDevice::Scale)})
                if (!problem.isEmpty()) {
                    dialogs.message(problem);
                    return;
                }
            analyserSettings.save(CounterDevice::Analyser);
            scaleSettings.save(CounterDevice::Scale);
            SlipSettings chosen;
            chosen.target = target->currentText().trimmed();
            chosen.width = width->currentIndex() == 1 ? SlipWidth::Mm80 : SlipWidth::Mm58;
            chosen.heading = heading->text();
            chosen.footer = footer->text();
            chosen.save();
            devices.reload();
            accept();
        });
    });
}
