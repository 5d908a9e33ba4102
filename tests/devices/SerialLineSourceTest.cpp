#include "devices/CounterDevices.h"
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

// socat joins two ptys: the source reads "-a", the test writes "-b". Named after
// the folder, since port lock files go by name and tests may run side by side.
class PtyDevice : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess socat;
    QSerialPort device;
    qint64 longestTurnMs = 0;
    QString end(const char* side) const { return dir.filePath(QFileInfo(dir.path()).fileName() + QLatin1String(side)); }
    void SetUp() override { if (QStandardPaths::findExecutable("socat").isEmpty()) GTEST_SKIP() << "no socat"; }
    void TearDown() override { unplug(); }
    bool until(const std::function<bool()>& done, qint64 deadlineMs = 5000)
    {
        QElapsedTimer since, turn;
        for (since.start(); !done(); longestTurnMs = std::max(longestTurnMs, turn.elapsed())) {
            if (since.elapsed() > deadlineMs) return false;
            QEventLoop wait;  // a 5 ms turn
            QTimer::singleShot(5, &wait, &QEventLoop::quit);
            turn.start(), wait.exec();
        }
        return true;
    }
    void during(qint64 ms) { until([] { return false; }, ms); }
    void plugIn()
    {
        const QString link = QStringLiteral("pty,raw,echo=0,link=");
        socat.start(QStringLiteral("socat"), {link + end("-a"), link + end("-b")});
        ASSERT_TRUE(socat.waitForStarted(5000));
        ASSERT_TRUE(until([&] { return QFileInfo::exists(end("-a")) && QFileInfo::exists(end("-b")); }));
        device.setPortName(end("-b"));
        ASSERT_TRUE(device.open(QIODevice::WriteOnly)) << device.errorString().toStdString();
    }
    // Pulled as a USB adapter is: its nodes go too, so no stale link survives.
    void unplug()
    {
        device.close();
        if (socat.state() == QProcess::NotRunning) return;
        socat.kill(), socat.waitForFinished(5000);
        QFile::remove(end("-a")), QFile::remove(end("-b"));
    }
    void send(const QByteArray& bytes)
    {
        ASSERT_EQ(device.write(bytes), bytes.size());
        ASSERT_TRUE(until([&] { return device.bytesToWrite() == 0; }));
    }
};

LinePattern parsed(const char* text) { return *LinePattern::parse(QString::fromUtf8(text)).pattern; }

TEST_F(PtyDevice, TheNewestGoodLineIsKeptThroughBadLinesSilenceAndAPulledCable)
{
    SerialLineSource source(QStringLiteral("Analizör"), end("-a"), 9600, parsed("FAT={yag};PROTEIN={protein}"));
    source.setRetryInterval(300ms);
    int readings = 0, unmatched = 0, statuses = 0;
    QObject::connect(&source, &SerialLineSource::readingArrived, [&] { ++readings; });
    QObject::connect(&source, &SerialLineSource::lineUnmatched, [&] { ++unmatched; });
    QObject::connect(&source, &SerialLineSource::statusChanged, [&] { ++statuses; });
    const auto readingsReach = [&](int n) { return until([&] { return readings == n; }); };
    const auto connects = [&] { return until([&] { return source.isConnected(); }); };
    source.start();
    ASSERT_TRUE(until([&] { return source.state() == State::Failed; }));
    plugIn();
    ASSERT_TRUE(connects()) << source.statusText().toStdString();
    const QString connectedText = source.statusText();
    // A line cut in two, then a burst of fifty in one write.
    const QDateTime before = QDateTime::currentDateTime();
    send("FAT=3,85;PRO"), during(100), send("TEIN=3,21\r\n");
    ASSERT_TRUE(readingsReach(1));
    EXPECT_EQ(std::pair(source.last()->fat, source.last()->protein), std::pair(std::optional(3.85), std::optional(3.21)));
    EXPECT_GE(source.last()->at, before);
    QByteArray burst;
    for (int i = 0; i < 50; ++i) burst += QStringLiteral("FAT=4.%1;PROTEIN=3.%1\r\n").arg(i, 2, 10, QLatin1Char('0')).toLatin1();
    send(burst);
    ASSERT_TRUE(readingsReach(51)) << readings;
    EXPECT_EQ(source.last()->fat, 4.49);
    // A malformed line and a half one: counted separately, the good reading kept.
    const CounterReading good = *source.last();
    const int statusesBefore = statuses;
    send("FAT=4.x9;PROTEIN=3.49\r\nFAT=5.00\r\n");
    ASSERT_TRUE(until([&] { return source.unmatchedCount() == 2; }));
    during(300);
    EXPECT_EQ(std::tuple(unmatched, readings, statuses), std::tuple(2, 51, statusesBefore));
    EXPECT_EQ(std::tie(source.last()->line, source.last()->at), std::tie(good.line, good.at));
    // Pulled out: told within seconds, retried without new news, the reading kept.
    unplug();
    ASSERT_TRUE(until([&] { return !source.isConnected(); }, 4000)) << source.statusText().toStdString();
    const int away = statuses;
    during(1600);
    EXPECT_EQ(std::pair(source.state(), statuses), std::pair(State::Lost, away)) << source.statusText().toStdString();
    EXPECT_EQ(source.last()->line, good.line);
    // Back on the same link: connected and read again.
    plugIn();
    ASSERT_TRUE(connects()) << source.statusText().toStdString();
    EXPECT_EQ(source.statusText(), connectedText);
    send("FAT=2.5;PROTEIN=3\r\n");
    ASSERT_TRUE(readingsReach(52));
    // Stopped, or with no port chosen: closed, not retried.
    source.stop();
    SerialLineSource unset(QStringLiteral("Terazi"), QString(), 9600, parsed("{kg}kg"));
    unset.setRetryInterval(100ms), unset.start(), during(700);
    EXPECT_EQ(std::pair(source.state(), unset.state()), std::pair(State::Closed, State::Closed));
    EXPECT_TRUE(source.last().has_value());
    EXPECT_LT(longestTurnMs, 100) << "the event loop waited";
}

TEST_F(PtyDevice, TheCounterGivesF7AndF8OnlyFromADeviceThatIsThereAndSaysWhyNot)
{
    // The analyser on the pty, the scale not chosen, slips as PDF files.
    DeviceSettings{end("-a"), 9600, QStringLiteral("FAT={yag};PROTEIN={protein}"), kDefaultDensity}.save(CounterDevice::Analyser);
    DeviceSettings{}.save(CounterDevice::Scale);
    SlipSettings slips;
    slips.target = QStringLiteral("pdf:") + dir.filePath(QStringLiteral("Fisler"));
    slips.save();
    CounterDevices counter;
    const auto refusal = [](const auto& take) { return take ? QString() : take.refusal; };
    EXPECT_TRUE(refusal(counter.litres()).startsWith(QStringLiteral("Terazi seçilmedi")));
    EXPECT_TRUE(refusal(counter.analysis()).contains(QStringLiteral("bağlı değil")));
    plugIn();
    ASSERT_TRUE(until([&] { return counter.status().contains(QStringLiteral("bağlı ·")); }, 6000)) << counter.status().toStdString();
    send("FAT=3,85;PROTEIN=3,21\r\n");
    ASSERT_TRUE(until([&] { return bool(counter.analysis()); }));
    EXPECT_EQ(counter.analysis().value->fat, 3.85);
    // A line that does not match puts the reading before it out of reach.
    send("HELLO\r\n");
    ASSERT_TRUE(until([&] { return !counter.analysis(); }));
    EXPECT_TRUE(refusal(counter.analysis()).contains(QStringLiteral("HELLO")));
    // Pulled out with a fresh reading kept: F7 says so rather than give it.
    unplug();
    EXPECT_TRUE(until([&] { return refusal(counter.analysis()).contains(QStringLiteral("bağlı değil")); }, 4000));
    SlipData slip;
    slip.moment = QDateTime(QDate(2026, 12, 10), QTime(7, 5));
    slip.code = QStringLiteral("K/1");
    EXPECT_EQ(counter.printSlip(slip), QString());
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("Fisler/Fis-2026-12-10-070500-Sabah-K_1.pdf"))).size() > 0);
    // A pattern without the analyser's figures is refused, and nothing is read with it.
    DeviceSettings{end("-a"), 9600, QStringLiteral("{kg}kg"), kDefaultDensity}.save(CounterDevice::Analyser);
    counter.reload();
    EXPECT_TRUE(refusal(counter.analysis()).contains(QStringLiteral("{yag}")));
}

auto fields(const DeviceSettings& s) { return std::tuple(s.port, s.baud, s.pattern, s.density); }

TEST(DeviceSettings, EachDeviceIsKeptUnderItsOwnGroupAndReadBackAsSaved)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("ayarlar.ini")), QSettings::IniFormat);
    for (const CounterDevice device : {CounterDevice::Analyser, CounterDevice::Scale})
        EXPECT_TRUE(LinePattern::parse(DeviceSettings::load(device, settings).pattern).pattern);
    DeviceSettings analyser{QStringLiteral("/dev/ttyUSB0"), 19200, QStringLiteral("{yag@0-5}{protein@6-11}"), 1.0};
    const DeviceSettings scale{QStringLiteral("/dev/ttyUSB1"), 4800, QStringLiteral("{kg}kg"), 1.032};
    analyser.save(CounterDevice::Analyser, settings), scale.save(CounterDevice::Scale, settings), settings.sync();
    // Read back from the file; the analyser keeps no density; hand-spoilt values fall back.
    QSettings file(settings.fileName(), QSettings::IniFormat);
    analyser.density = kDefaultDensity;
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Analyser, file)), fields(analyser));
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Scale, file)), fields(scale));
    for (const auto& [key, value] : {std::pair("hiz", "hızlı"), std::pair("yogunluk", "-1"), std::pair("desen", "")})
        file.setValue(QStringLiteral("Cihazlar/terazi/") + QLatin1String(key), QString::fromUtf8(value));
    DeviceSettings fallBack = DeviceSettings::defaults(CounterDevice::Scale);
    fallBack.port = scale.port;
    EXPECT_EQ(fields(DeviceSettings::load(CounterDevice::Scale, file)), fields(fallBack));
}

}  // namespace
