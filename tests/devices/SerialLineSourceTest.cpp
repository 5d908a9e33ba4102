#include "devices/DeviceSettings.h"
#include "devices/SerialLineSource.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
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

// The longest a turn of the event loop may take while the device comes and
// goes: anything near it means something waited.
constexpr qint64 kTurnMs = 100;

// Turns the event loop until done() or the deadline, noting the longest turn.
struct Pump {
    qint64 longestTurnMs = 0;

    bool until(const std::function<bool()>& done, qint64 deadlineMs = 5000)
    {
        QElapsedTimer since;
        since.start();
        while (!done()) {
            if (since.elapsed() > deadlineMs) return false;
            turn();
        }
        return true;
    }
    // For a while, whatever happens: what silence leaves.
    void during(qint64 ms)
    {
        until([] { return false; }, ms);
    }
    void turn()
    {
        QElapsedTimer t;
        t.start();
        QCoreApplication::processEvents();
        // Not a spin: the loop waits a little for the next bytes or timer.
        QEventLoop wait;
        QTimer::singleShot(5, &wait, &QEventLoop::quit);
        wait.exec();
        longestTurnMs = std::max(longestTurnMs, t.elapsed());
    }
};

// A device on a cable: socat joins two pseudo-terminals, the source reads
// one end and the test writes into the other, as the device would.
class PtyDevice : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess socat;
    QSerialPort device;
    Pump pump;

    // Named after the folder: the serial port's lock file goes by the name
    // alone, and the tests may run side by side.
    QString sourceEnd() const { return dir.filePath(QFileInfo(dir.path()).fileName() + QStringLiteral("-a")); }
    QString deviceEnd() const { return dir.filePath(QFileInfo(dir.path()).fileName() + QStringLiteral("-b")); }

    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty()) GTEST_SKIP() << "socat is not installed";
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        device.close();
        unplug();
    }

    // Plugged in: both ends there and the device's end open for writing.
    void plugIn()
    {
        const QString link = QStringLiteral("pty,raw,echo=0,link=");
        socat.start(QStringLiteral("socat"), {QStringLiteral("-d"), QStringLiteral("-d"), link + sourceEnd(), link + deviceEnd()});
        ASSERT_TRUE(socat.waitForStarted(5000));
        ASSERT_TRUE(pump.until([&] { return QFileInfo::exists(sourceEnd()) && QFileInfo::exists(deviceEnd()); }))
            << socat.readAllStandardError().toStdString();
        device.setPortName(deviceEnd());
        device.setBaudRate(9600);
        ASSERT_TRUE(device.open(QIODevice::WriteOnly)) << device.errorString().toStdString();
    }

    // Pulled out at once, as a cable is: socat gets no chance to tidy up.
    void unplug()
    {
        if (socat.state() == QProcess::NotRunning) return;
        device.close();
        socat.kill();
        socat.waitForFinished(5000);
        // Its node goes with it, as a pulled USB adapter's does; a link left
        // would point at a terminal number the next socat may take.
        QFile::remove(sourceEnd());
        QFile::remove(deviceEnd());
    }

    void send(const QByteArray& bytes)
    {
        ASSERT_EQ(device.write(bytes), bytes.size());
        ASSERT_TRUE(pump.until([&] { return device.bytesToWrite() == 0; }));
    }

    static LinePattern analyserPattern()
    {
        return *LinePattern::parse(QStringLiteral("FAT={yag};PROTEIN={protein}")).pattern;
    }
};

// What a source told, counted.
struct Heard {
    int readings = 0;
    int unmatched = 0;
    int statuses = 0;

    explicit Heard(SerialLineSource& source)
    {
        QObject::connect(&source, &SerialLineSource::readingArrived, [this] { ++readings; });
        QObject::connect(&source, &SerialLineSource::lineUnmatched, [this] { ++unmatched; });
        QObject::connect(&source, &SerialLineSource::statusChanged, [this] { ++statuses; });
    }
};

TEST_F(PtyDevice, TheNewestGoodLineIsKeptAndNeitherAMalformedLineNorSilenceReplacesIt)
{
    plugIn();
    SerialLineSource source(QStringLiteral("Analizör"), sourceEnd(), 9600, analyserPattern());
    Heard heard(source);
    source.start();
    ASSERT_TRUE(pump.until([&] { return source.isConnected(); })) << source.statusText().toStdString();
    EXPECT_TRUE(source.statusText().contains(sourceEnd()));
    EXPECT_TRUE(source.statusText().startsWith(QStringLiteral("Analizör")));
    EXPECT_FALSE(source.last().has_value());

    // One line, cut in two as a slow device sends it.
    const QDateTime before = QDateTime::currentDateTime();
    send("FAT=3,85;PRO");
    pump.during(100);
    EXPECT_EQ(heard.readings, 0) << "half a line is not a reading";
    send("TEIN=3,21\r\n");
    ASSERT_TRUE(pump.until([&] { return heard.readings == 1; }));
    ASSERT_TRUE(source.last().has_value());
    EXPECT_EQ(source.last()->fat, 3.85);
    EXPECT_EQ(source.last()->protein, 3.21);
    EXPECT_GE(source.last()->at, before);
    EXPECT_LE(source.last()->at, QDateTime::currentDateTime());
    EXPECT_TRUE(takeAnalysis(source.last(), QDateTime::currentDateTime()));

    // A burst of fifty in one write: each told, the last kept.
    QByteArray burst;
    for (int i = 0; i < 50; ++i) burst += QStringLiteral("FAT=4.%1;PROTEIN=3.%1\r\n").arg(i, 2, 10, QLatin1Char('0')).toLatin1();
    send(burst);
    ASSERT_TRUE(pump.until([&] { return heard.readings == 51; })) << heard.readings;
    EXPECT_EQ(source.last()->line, QStringLiteral("FAT=4.49;PROTEIN=3.49"));
    EXPECT_EQ(source.last()->fat, 4.49);

    // A malformed line and a half one after it: counted, kept apart.
    const CounterReading good = *source.last();
    send("FAT=4.x9;PROTEIN=3.49\r\nFAT=5.00\r\n");
    ASSERT_TRUE(pump.until([&] { return source.unmatchedCount() == 2; }));
    EXPECT_EQ(heard.unmatched, 2);
    EXPECT_EQ(source.lastUnmatched(), QStringLiteral("FAT=5.00"));
    EXPECT_EQ(source.last()->line, good.line);
    EXPECT_EQ(source.last()->at, good.at);

    // Silence changes nothing.
    const int statuses = heard.statuses;
    pump.during(300);
    EXPECT_EQ(heard.readings, 51);
    EXPECT_EQ(source.last()->line, good.line);
    EXPECT_TRUE(source.isConnected());
    EXPECT_EQ(heard.statuses, statuses);
    EXPECT_LT(pump.longestTurnMs, kTurnMs);
}

TEST_F(PtyDevice, AnUnpluggedDeviceIsToldWithoutWaitingAndReadAgainWhenItIsBack)
{
    plugIn();
    SerialLineSource source(QStringLiteral("Terazi"), sourceEnd(), 9600,
                            *LinePattern::parse(QStringLiteral("{kararli=ST},{*},{kg}kg")).pattern);
    source.setRetryInterval(500ms);
    Heard heard(source);
    source.start();
    ASSERT_TRUE(pump.until([&] { return source.isConnected(); })) << source.statusText().toStdString();
    send("ST,GS,+0012.34kg\r\n");
    ASSERT_TRUE(pump.until([&] { return heard.readings == 1; }));
    const QString connected = source.statusText();

    // Pulled out: told within a few seconds, the event loop turning all along.
    const int statuses = heard.statuses;
    unplug();
    pump.longestTurnMs = 0;
    QElapsedTimer told;
    told.start();
    ASSERT_TRUE(pump.until([&] { return !source.isConnected(); }, 4000)) << "still " << source.statusText().toStdString();
    EXPECT_LT(told.elapsed(), 4000);
    EXPECT_EQ(source.state(), SerialLineSource::State::Lost);
    EXPECT_GT(heard.statuses, statuses);
    EXPECT_NE(source.statusText(), connected);
    EXPECT_TRUE(source.statusText().contains(sourceEnd()));

    // Tried again and again while it is away, never waiting, saying the same.
    const int away = heard.statuses;
    pump.during(1600);
    EXPECT_EQ(source.state(), SerialLineSource::State::Lost);
    EXPECT_EQ(heard.statuses, away) << source.statusText().toStdString();
    EXPECT_LT(pump.longestTurnMs, kTurnMs);
    ASSERT_TRUE(source.last().has_value()) << "the reading from before stays";
    EXPECT_EQ(source.last()->kilograms, 12.34);

    // Plugged back on the same link: connected again and read.
    plugIn();
    ASSERT_TRUE(pump.until([&] { return source.isConnected(); })) << source.statusText().toStdString();
    EXPECT_EQ(source.statusText(), connected);
    send("US,GS,+0020.60kg\r\n");
    ASSERT_TRUE(pump.until([&] { return heard.readings == 2; }));
    EXPECT_EQ(source.last()->kilograms, 20.6);
    EXPECT_EQ(source.last()->steady, false);
    EXPECT_LT(pump.longestTurnMs, kTurnMs);
}

TEST_F(PtyDevice, APortNotThereYetIsToldAndOpenedOnceItAppears)
{
    SerialLineSource source(QStringLiteral("Analizör"), sourceEnd(), 9600, analyserPattern());
    source.setRetryInterval(300ms);
    Heard heard(source);
    source.start();
    ASSERT_TRUE(pump.until([&] { return source.state() == SerialLineSource::State::Failed; }));
    EXPECT_TRUE(source.statusText().contains(sourceEnd()));
    const QString failed = source.statusText();

    plugIn();
    ASSERT_TRUE(pump.until([&] { return source.isConnected(); })) << source.statusText().toStdString();
    EXPECT_NE(source.statusText(), failed);
    send("FAT=3.85;PROTEIN=3.21\n");
    ASSERT_TRUE(pump.until([&] { return heard.readings == 1; }));

    // Stopped: closed, not tried again, the reading kept.
    source.stop();
    EXPECT_EQ(source.state(), SerialLineSource::State::Closed);
    pump.during(700);
    EXPECT_EQ(source.state(), SerialLineSource::State::Closed);
    EXPECT_TRUE(source.last().has_value());
    EXPECT_LT(pump.longestTurnMs, kTurnMs);

    // No port chosen: nothing to try.
    SerialLineSource unset(QStringLiteral("Terazi"), QString(), 9600, analyserPattern());
    unset.setRetryInterval(100ms);
    unset.start();
    pump.during(300);
    EXPECT_EQ(unset.state(), SerialLineSource::State::Closed);
    EXPECT_FALSE(unset.statusText().isEmpty());
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
        EXPECT_TRUE(fresh.port.isEmpty());
        EXPECT_TRUE(LinePattern::parse(fresh.pattern).pattern.has_value()) << fresh.pattern.toStdString();
    }
    const DeviceSettings analyser{QStringLiteral("/dev/ttyUSB0"), 19200, QStringLiteral("{yag@0-5}{protein@6-11}"), 1.0};
    const DeviceSettings scale{QStringLiteral("/dev/ttyUSB1"), 4800, QStringLiteral("{kg}kg"), 1.032};
    analyser.save(CounterDevice::Analyser, settings);
    scale.save(CounterDevice::Scale, settings);
    settings.sync();

    // The keys as another program reading the file sees them.
    QSettings file(settings.fileName(), QSettings::IniFormat);
    const char* keys[][2] = {
        {"Cihazlar/analizor/port", "/dev/ttyUSB0"}, {"Cihazlar/analizor/hiz", "19200"},
        {"Cihazlar/analizor/desen", "{yag@0-5}{protein@6-11}"}, {"Cihazlar/terazi/port", "/dev/ttyUSB1"},
        {"Cihazlar/terazi/hiz", "4800"}, {"Cihazlar/terazi/desen", "{kg}kg"}, {"Cihazlar/terazi/yogunluk", "1.032"},
    };
    for (const auto& [key, value] : keys) EXPECT_EQ(file.value(QLatin1String(key)).toString(), QLatin1String(value)) << key;
    EXPECT_FALSE(file.contains(QStringLiteral("Cihazlar/analizor/yogunluk"))) << "the analyser weighs nothing";
    DeviceSettings analyserRead = analyser;
    analyserRead.density = kDefaultDensity;
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Analyser, file)), fields(analyserRead));
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Scale, file)), fields(scale));

    // Values spoilt by hand fall back to what a fresh start has.
    file.setValue(QStringLiteral("Cihazlar/terazi/hiz"), QStringLiteral("hızlı"));
    file.setValue(QStringLiteral("Cihazlar/terazi/yogunluk"), QStringLiteral("-1"));
    file.setValue(QStringLiteral("Cihazlar/terazi/desen"), QString());
    DeviceSettings fallBack = DeviceSettings::defaults(CounterDevice::Scale);
    fallBack.port = scale.port;
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Scale, file)), fields(fallBack));
}

}  // namespace
