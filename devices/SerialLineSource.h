#pragma once

#include "ledger/CounterLines.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

// One device on a serial port, read as its lines come: the newest matching
// line is kept as the reading, a line that does not match is counted apart.
// Nothing here waits: the port is opened on a turn of the event loop, its
// bytes are read when they are there, and a port that cannot be opened or
// disappears (the cable pulled) is tried again by a timer until it is back.
//
//   SerialLineSource analyser(QStringLiteral("Analizör"), QStringLiteral("/dev/ttyUSB0"), 9600, pattern);
//   connect(&analyser, &SerialLineSource::readingArrived, ...);
//   analyser.start();
class SerialLineSource : public QObject {
    Q_OBJECT
public:
    enum class State {
        Closed,     // not started, stopped, or no port chosen
        Connected,  // open and read
        Lost,       // was open and went away, or is not there: tried again
        Failed,     // there but cannot be opened: tried again
    };

    static constexpr std::chrono::milliseconds kRetryInterval{3000};

    // title names the device in the status: "Analizör", "Terazi". The port
    // is a name ("ttyUSB0") or a path ("/dev/serial/by-id/..."); 8 data bits,
    // no parity, one stop bit, no flow control.
    SerialLineSource(const QString& title, const QString& portName, qint32 baud, const LinePattern& pattern,
                     QObject* parent = nullptr);
    ~SerialLineSource() override;

    // Opens on the next turn of the event loop.
    void start();
    // Closes and stops trying; the last reading stays.
    void stop();

    // Lines from now on are read with it.
    void setPattern(const LinePattern& pattern);
    void setRetryInterval(std::chrono::milliseconds interval);

    // The newest matching line; none until one comes.
    const std::optional<CounterReading>& last() const { return last_; }
    // Lines that did not match the pattern, and the newest of them.
    int unmatchedCount() const { return unmatchedCount_; }
    const QString& lastUnmatched() const { return lastUnmatched_; }
    // Whether the newest line matched (or none came yet): after one that did
    // not, the reading before it is no longer what the device says.
    bool newestMatched() const { return newestMatched_; }

    State state() const { return state_; }
    bool isConnected() const { return state_ == State::Connected; }
    // "Analizör: /dev/ttyUSB0 bağlı", "... bağlı değil", "... açılamadı: <neden>"
    QString statusText() const { return status_; }
    const QString& portName() const { return portName_; }

signals:
    // A matching line came; last() holds it.
    void readingArrived();
    // A line came that does not match; lastUnmatched() holds it.
    void lineUnmatched();
    void statusChanged();

private:
    void open();
    void readAvailable();
    void portError(QSerialPort::SerialPortError error);
    void lose();
    void setState(State state, const QString& why = {});

    QString title_;
    QString portName_;
    qint32 baud_;
    LinePattern pattern_;
    QSerialPort port_;
    QTimer retry_;
    LineCollector lines_;
    bool running_ = false;
    bool losing_ = false;

    std::optional<CounterReading> last_;
    int unmatchedCount_ = 0;
    QString lastUnmatched_;
    bool newestMatched_ = true;
    State state_ = State::Closed;
    QString status_;
};
