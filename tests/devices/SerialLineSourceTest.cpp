#include "devices/DeviceSettings.h"
#include "devices/SerialLineSource.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <tuple>

namespace {

using namespace std::chrono_literals;
using State = SerialLineSource::State;

// A turn of the event loop this long means something waited.
constexpr qint64 kTurnMs = 100;

// A device on a cable: socat joins two pseudo-terminals, the source reads
// one end and the test writes into the other.
class PtyDevice : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess socat;
    QSerialPort device;
    qint64 longestTurnMs = 0;

    // Named after the folder: the port's lock file goes by the name alone,
    // and the tests may run side by side.
    QString end(const char* side) const { return dir.filePath(QFileInfo(dir.path()).fileName() + QLatin1String(side)); }
    QString sourceEnd() const { return end("-a"); }

    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty()) GTEST_SKIP() << "socat is not installed";
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { unplug(); }

    // Turns the event loop, a few ms each turn, until done() or the deadline.
    bool until(const std::function<bool()>& done, qint64 deadlineMs = 5000)
    {
        QElapsedTimer since;
        since.start();
        while (!done()) {
            if (since.elapsed() > deadlineMs) return false;
            QElapsedTimer turn;
            turn.start();
            QEventLoop wait;
            QTimer::singleShot(5, &wait, &QEventLoop::quit);
            wait.exec();
            longestTurnMs = std::max(longestTurnMs, turn.elapsed());
        }
        return true;
    }
    void during(qint64 ms) { until([] { return false; }, ms); }

    void plugIn()
    {
        const QString link = QStringLiteral("pty,raw,echo=0,link=");
        socat.start(QStringLiteral("socat"), {link + sourceEnd(), link + end("-b")});
        ASSERT_TRUE(socat.waitForStarted(5000));
        ASSERT_TRUE(until([&] { return QFileInfo::exists(sourceEnd()) && QFileInfo::exists(end("-b")); }));
        device.setPortName(end("-b"));
        device.setBaudRate(9600);
        ASSERT_TRUE(device.open(QIODevice::WriteOnly)) << device.errorString().toStdString();
    }

    // Pulled out at once, as a cable is; its nodes go with it, as a pulled
    // USB adapter's do, so no link points at a terminal the next socat takes.
    void unplug()
    {
        device.close();
        if (socat.state() == QProcess::NotRunning) return;
        socat.kill();
        socat.waitForFinished(5000);
        QFile::remove(sourceEnd());
        QFile::remove(end("-b"));
    }

    void send(const QByteArray& bytes)
    {
        ASSERT_EQ(device.write(bytes), bytes.size());
        ASSERT_TRUE(until([&] { return device.bytesToWrite() == 0; }));
    }

    void expectConnected(SerialLineSource& source)
    {
        ASSERT_TRUE(until([&] { return source.isConnected(); })) << source.statusText().toStdString();
    }
};

LinePattern parsed(const char* text)
{
    return *LinePattern::parse(QString::fromUtf8(text)).pattern;
}

// What a source told, counted.
struct Heard {
    int readings = 0, unmatched = 0, statuses = 0;

    explicit Heard(SerialLineSource& source)
    {
        QObject::connect(&source, &SerialLineSource::readingArrived, [this] { ++readings; });
        QObject::connect(&source, &SerialLineSource::lineUnmatched, [this] { ++unmatched; });
        QObject::connect(&source, &SerialLineSource::statusChanged, [this] { ++statuses; });
    }
};

// One device's life: not there yet, plugged in, its lines good and bad,
// pulled out, back, stopped; the event loop never waits on it.
TEST_F(PtyDevice, TheNewestGoodLineIsKeptThroughBadLinesSilenceAndAPulledCable)
{
    SerialLineSource source(QStringLiteral("Analizör"), sourceEnd(), 9600, parsed("FAT={yag};PROTEIN={protein}"));
    source.setRetryInterval(300ms);
    Heard heard(source);
    source.start();
    ASSERT_TRUE(until([&] { return source.state() == State::Failed; }));
    EXPECT_TRUE(source.statusText().contains(sourceEnd()));
    plugIn();
    expectConnected(source);
    const QString connected = source.statusText();

    // One line cut in two, as a slow device sends it.
    const QDateTime before = QDateTime::currentDateTime();
    send("FAT=3,85;PRO");
    during(100);
    EXPECT_EQ(heard.readings, 0) << "half a line is not a reading";
    send("TEIN=3,21\r\n");
    ASSERT_TRUE(until([&] { return heard.readings == 1; }));
    EXPECT_EQ(std::pair(source.last()->fat, source.last()->protein), std::pair(std::optional(3.85), std::optional(3.21)));
    EXPECT_GE(source.last()->at, before);
    EXPECT_TRUE(takeAnalysis(source.last(), QDateTime::currentDateTime()));

    // A burst of fifty in one write: each told, the last kept.
    QByteArray burst;
    for (int i = 0; i < 50; ++i) burst += QStringLiteral("FAT=4.%1;PROTEIN=3.%1\r\n").arg(i, 2, 10, QLatin1Char('0')).toLatin1();
    send(burst);
    ASSERT_TRUE(until([&] { return heard.readings == 51; })) << heard.readings;
    EXPECT_EQ(source.last()->fat, 4.49);

    // A malformed line and a half one, then silence: counted apart, nothing else changes.
    const CounterReading good = *source.last();
    const int statuses = heard.statuses;
    send("FAT=4.x9;PROTEIN=3.49\r\nFAT=5.00\r\n");
    ASSERT_TRUE(until([&] { return source.unmatchedCount() == 2; }));
    during(300);
    EXPECT_EQ(std::tuple(heard.unmatched, heard.readings, heard.statuses), std::tuple(2, 51, statuses));
    EXPECT_EQ(source.lastUnmatched(), QStringLiteral("FAT=5.00"));
    EXPECT_EQ(std::tie(source.last()->line, source.last()->at), std::tie(good.line, good.at));
    EXPECT_TRUE(source.isConnected());

    // Pulled out: told within a few seconds, then tried again and again
    // saying the same, the reading from before kept.
    unplug();
    ASSERT_TRUE(until([&] { return !source.isConnected(); }, 4000)) << "still " << source.statusText().toStdString();
    EXPECT_EQ(source.state(), State::Lost);
    EXPECT_NE(source.statusText(), connected);
    const int away = heard.statuses;
    during(1600);
    EXPECT_EQ(source.state(), State::Lost);
    EXPECT_EQ(heard.statuses, away) << source.statusText().toStdString();
    EXPECT_EQ(source.last()->line, good.line);

    // Plugged back on the same link: connected again and read.
    plugIn();
    expectConnected(source);
    EXPECT_EQ(source.statusText(), connected);
    send("FAT=2.5;PROTEIN=3\r\n");
    ASSERT_TRUE(until([&] { return heard.readings == 52; }));
    EXPECT_EQ(source.last()->fat, 2.5);

    // Stopped: closed and not tried again, the reading kept; with no port chosen, nothing to try.
    source.stop();
    SerialLineSource unset(QStringLiteral("Terazi"), QString(), 9600, parsed("{kg}kg"));
    unset.setRetryInterval(100ms);
    unset.start();
    during(700);
    EXPECT_EQ(std::pair(source.state(), unset.state()), std::pair(State::Closed, State::Closed));
    EXPECT_TRUE(source.last().has_value());
    EXPECT_FALSE(unset.statusText().isEmpty());
    EXPECT_LT(longestTurnMs, kTurnMs);
}

auto fields(const DeviceSettings& s)
{
    return std::tuple(s.port, s.baud, s.pattern, s.density);
}

TEST(DeviceSettings, EachDeviceIsKeptUnderItsOwnGroupAndReadBackAsSaved)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("ayarlar.ini")), QSettings::IniFormat);
    for (const CounterDevice device : {CounterDevice::Analyser, CounterDevice::Scale}) {
        const DeviceSettings fresh = DeviceSettings::load(device, settings);
        EXPECT_TRUE(fresh.port.isEmpty() && LinePattern::parse(fresh.pattern).pattern) << fresh.pattern.toStdString();
    }
    const DeviceSettings analyser{QStringLiteral("/dev/ttyUSB0"), 19200, QStringLiteral("{yag@0-5}{protein@6-11}"), 1.0};
    const DeviceSettings scale{QStringLiteral("/dev/ttyUSB1"), 4800, QStringLiteral("{kg}kg"), 1.032};
    analyser.save(CounterDevice::Analyser, settings);
    scale.save(CounterDevice::Scale, settings);
    settings.sync();

    // Read back from the file; the analyser weighs nothing, so keeps no density.
    QSettings file(settings.fileName(), QSettings::IniFormat);
    DeviceSettings analyserRead = analyser;
    analyserRead.density = kDefaultDensity;
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Analyser, file)), fields(analyserRead));
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Scale, file)), fields(scale));

    // Values spoilt by hand fall back to what a fresh start has.
    for (const auto& [key, value] : {std::pair("hiz", "hızlı"), std::pair("yogunluk", "-1"), std::pair("desen", "")})
        file.setValue(QStringLiteral("Cihazlar/terazi/") + QLatin1String(key), QString::fromUtf8(value));
    DeviceSettings fallBack = DeviceSettings::defaults(CounterDevice::Scale);
    fallBack.port = scale.port;
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Scale, file)), fields(fallBack));
}

}  // namespace
