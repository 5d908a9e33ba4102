#include "devices/SerialLineSource.h"

#include <QDateTime>

namespace {

// Why a port did not open, in the collector's words.
QString openFault(const QSerialPort& port)
{
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError: return QStringLiteral("aygıt bulunamadı; kablosu takılı mı?");
    case QSerialPort::PermissionError:
        return QStringLiteral("izin yok ya da başka bir program kullanıyor (kullanıcı dialout grubunda mı?)");
    case QSerialPort::OpenError: return QStringLiteral("zaten açık");
    case QSerialPort::UnsupportedOperationError: return QStringLiteral("aygıt bu hızı ya da ayarı desteklemiyor");
    default: return QStringLiteral("beklenmeyen hata (%1)").arg(port.errorString());
    }
}

}  // namespace

SerialLineSource::SerialLineSource(const QString& title, const QString& portName, qint32 baud,
                                   const LinePattern& pattern, QObject* parent)
    : QObject(parent), title_(title), portName_(portName), baud_(baud), pattern_(pattern)
{
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryInterval);
    connect(&retry_, &QTimer::timeout, this, &SerialLineSource::open);
    connect(&port_, &QSerialPort::readyRead, this, &SerialLineSource::readAvailable);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLineSource::portError);
    setState(State::Closed);
}

SerialLineSource::~SerialLineSource()
{
    retry_.stop();
    port_.close();
}

void SerialLineSource::start()
{
    running_ = true;
    if (portName_.isEmpty()) {
        setState(State::Closed, QStringLiteral("Cihazlar penceresinde kapı seçilmedi"));
        return;
    }
    if (!port_.isOpen()) QTimer::singleShot(0, this, [this] {
        if (running_ && !port_.isOpen()) open();
    });
}

void SerialLineSource::stop()
{
    running_ = false;
    retry_.stop();
    port_.close();
    setState(State::Closed);
}

void SerialLineSource::setPattern(const LinePattern& pattern)
{
    pattern_ = pattern;
}

void SerialLineSource::setRetryInterval(std::chrono::milliseconds interval)
{
    retry_.setInterval(interval);
}

void SerialLineSource::open()
{
    if (!running_ || port_.isOpen()) return;
    port_.setPortName(portName_);
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadOnly)) {
        // A half line left from before the port went away is not this line's start.
        lines_ = LineCollector();
        setState(State::Connected);
        readAvailable();
        return;
    }
    const bool absent = port_.error() == QSerialPort::DeviceNotFoundError;
    // Once lost, a port still missing is just not back yet.
    if (absent && state_ == State::Lost) setState(State::Lost);
    else setState(State::Failed, openFault(port_));
    port_.clearError();
    retry_.start();
}

void SerialLineSource::readAvailable()
{
    if (!port_.isOpen()) return;
    lines_.feed(port_.readAll());
    while (const std::optional<QString> line = lines_.takeLine()) {
        if (std::optional<CounterReading> reading = readLine(pattern_, *line, QDateTime::currentDateTime())) {
            last_ = std::move(reading);
            newestMatched_ = true;
            emit readingArrived();
        } else {
            ++unmatchedCount_;
            lastUnmatched_ = *line;
            newestMatched_ = false;
            emit lineUnmatched();
        }
    }
}

void SerialLineSource::portError(QSerialPort::SerialPortError error)
{
    // Open faults are told by open() itself.
    if (!port_.isOpen() || losing_) return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    // Closed after the port's own handler has returned, not inside it.
    losing_ = true;
    QTimer::singleShot(0, this, &SerialLineSource::lose);
}

void SerialLineSource::lose()
{
    losing_ = false;
    if (!port_.isOpen()) return;
    port_.close();
    port_.clearError();
    setState(State::Lost);
    if (running_) retry_.start();
}

void SerialLineSource::setState(State state, const QString& why)
{
    QString text;
    switch (state) {
    case State::Connected: text = QStringLiteral("%1: %2 bağlı").arg(title_, portName_); break;
    case State::Closed:
        text = why.isEmpty() ? QStringLiteral("%1: %2 bağlı değil").arg(title_, portName_)
                             : QStringLiteral("%1: bağlı değil; %2").arg(title_, why);
        break;
    case State::Lost: text = QStringLiteral("%1: %2 bağlı değil; yeniden deneniyor").arg(title_, portName_); break;
    case State::Failed: text = QStringLiteral("%1: %2 açılamadı: %3").arg(title_, portName_, why); break;
    }
    if (state == state_ && text == status_) return;
    state_ = state;
    status_ = text;
    emit statusChanged();
}
