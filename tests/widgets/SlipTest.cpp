#include "ledger/print/Slip.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString kName = QStringLiteral("Şükrü Çağlar Işık İğdeli Öğün");
// A figure at the end of a line, Turkish style, and its unit.
const QRegularExpression kFigure(QStringLiteral(" (-?\\d{1,3}(?:\\.\\d{3})*,\\d{2}(?:\\d{2})?)(?: (\\S+))?$"));

SlipData pour()
{
    return {.heading = QStringLiteral("ORVALİN SÜT TOPLAMA"), .moment = QDateTime(QDate(2024, 3, 14), QTime(7, 5)),
            .code = QStringLiteral("K17"), .name = kName, .litres = 12.5, .price = 15.4, .fat = 3.85, .protein = 3.2,
            .amount = Money::fromStored(192.5), .monthLitres = 312.5, .footer = {}};
}

int columns(SlipWidth width) { return width == SlipWidth::Mm58 ? 32 : 48; }

QByteArray run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(10000);
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray("(failed)");
}

QString fromPc857(const QByteArray& bytes) { return QString::fromUtf8(run(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP857")}, bytes)); }

// The printer's bytes decoded: commands in order ("|" for a line's end),
// the lines read back through iconv's PC857, which lines were bold.
struct Printout {
    QStringList commands, lines;
    QList<bool> bold;
    QString stray;
};

Printout decode(const QByteArray& bytes)
{
    Printout p;
    QByteArray line, all;
    bool bold = false, boldLine = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto next = [&] { return i + 1 < bytes.size() ? static_cast<uchar>(bytes[++i]) : -1; };
        const uchar c = static_cast<uchar>(bytes[i]);
        if (c == 0x1B) {
            const int kind = next(), n = kind == '@' ? 0 : next();
            p.commands << (kind == '@' ? QStringLiteral("@") : QChar(kind) + QString::number(n));
            if (kind == 'E') boldLine |= bold = n & 1;
        } else if (c == 0x1D && next() == 'V') {
            const int m = next();
            p.commands << QStringLiteral("V%1").arg(m == 65 || m == 66 ? next() : 0);
        } else if (c == '\n') {
            p.commands << QStringLiteral("|");
            all += line + '\n';
            p.bold << boldLine;
            line.clear();
            boldLine = bold;
        } else if (c < 0x20 || c == 0x7F) {
            p.stray += QStringLiteral("0x%1 ").arg(c, 2, 16);
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.isEmpty()) p.stray += QStringLiteral("text after the last line");
    p.lines = fromPc857(all).split(QLatin1Char('\n'));
    p.lines.removeLast();
    return p;
}

class SlipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (fromPc857("\x80") != QStringLiteral("Ç")) GTEST_SKIP() << "iconv has no CP857";
        ASSERT_TRUE(folder.isValid());
    }
    QTemporaryDir folder;
};

TEST(Pc857Test, TurkishLettersTakeThePublishedBytesAndTheRestAQuestionMark)
{
    // A separately typed cedilla joins its S; what the table lacks and control characters become '?'.
    EXPECT_EQ(toPc857(QStringLiteral("ÇüçıİÖÜŞşĞğöâÂû S\u0327a€₺😀\x1b\n")).toHex(' '),
              QByteArray("\x80\x81\x87\x8D\x98\x99\x9A\x9E\x9F\xA6\xA7\x94\x83\xB6\x96 \x9E" "a?????").toHex(' '));
    if (fromPc857("\x80") != QStringLiteral("Ç")) GTEST_SKIP() << "iconv has no CP857";
    int known = 0;
    for (int byte = 0x80; byte <= 0xFF; ++byte) { // every character back as iconv reads it
        const QString c = fromPc857(QByteArray(1, static_cast<char>(byte)));
        if (c.size() == 1 && ++known) EXPECT_EQ(toPc857(c), QByteArray(1, static_cast<char>(byte))) << byte;
    }
    EXPECT_GE(known, 125);
}

TEST_F(SlipTest, LinesFitTheRollNamesComeBackAndTheBoldAmountIsTheKurus)
{
    struct Case { SlipWidth width; QString name, shown, heading; double litres, price, stored; qint64 kurus; std::optional<double> fat; };
    const QString composed = QStringLiteral("Ayşe Güçlü"), twice = kName + QLatin1Char(' ') + kName;
    const QString longHeading = QStringLiteral("ORVALİN SÜT TOPLAMA MERKEZİ VE KÖY KOOPERATİFİ ÇİFTÇİLER BİRLİĞİ");
    const QString heading = pour().heading;
    const Case cases[] = {
        {SlipWidth::Mm80, kName, kName, heading, 12.5, 15.4, 192.5, 19250, 3.85},
        {SlipWidth::Mm80, composed.normalized(QString::NormalizationForm_D), composed, longHeading, 1234.5, 15, 18517.5, 1851750, {}},
        {SlipWidth::Mm58, kName, kName, longHeading, 10, 12.3456, 123.456, 12346, 3.849999}, // name cut
        {SlipWidth::Mm80, twice + QStringLiteral("\x1b@ 😀"), twice, heading, 0.5, 14.25, 7.125, 713, 3.85}, // cut
        {SlipWidth::Mm58, kName, kName, heading, 9'999'999, 99.99999, 999'999'999.99, 99'999'999'999, {}},
    };
    for (const Case& c : cases) {
        SlipData slip = pour();
        slip.name = c.name;
        slip.heading = c.heading;
        slip.litres = c.litres;
        slip.price = c.price;
        slip.amount = Money::fromStored(c.stored);
        slip.monthLitres = 2 * c.litres;
        slip.fat = c.fat;
        slip.grade = c.fat ? QStringLiteral("A") : QString();
        const Printout p = decode(escPosSlip(slip, c.width));
        SCOPED_TRACE(p.lines.join(QLatin1Char('\n')).toStdString());
        EXPECT_TRUE(p.stray.isEmpty()) << p.stray.toStdString();
        // Reset and PC857 (ESC t 13) first and only there; fed and cut last.
        ASSERT_GE(p.commands.size(), 4);
        EXPECT_EQ(p.commands.mid(0, 2), (QStringList{QStringLiteral("@"), QStringLiteral("t13")}));
        EXPECT_EQ(p.commands.filter(QRegularExpression(QStringLiteral("^[@t]"))).size(), 2);
        EXPECT_TRUE(p.commands.last().startsWith(QLatin1Char('V')));
        EXPECT_TRUE(p.commands[p.commands.size() - 2].startsWith(QLatin1Char('d')));
        std::map<QString, std::vector<double>> byUnit;
        std::vector<double> bold;
        for (int i = 0; i < p.lines.size(); ++i) {
            const QString& line = p.lines[i];
            const QRegularExpressionMatch m = kFigure.match(line);
            // Figures stand at the right edge; nothing runs past it.
            EXPECT_EQ(line.size(), m.hasMatch() ? columns(c.width) : std::min<qsizetype>(line.size(), columns(c.width))) << line.toStdString();
            if (m.hasMatch()) (p.bold[i] ? bold : byUnit[m.captured(2)]).push_back(m.captured(1).remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.')).toDouble());
        }
        const QString heads = p.lines.mid(0, p.lines.indexOf(QRegularExpression(QStringLiteral("^-+$")))).join(QLatin1Char(' '));
        EXPECT_EQ(heads.simplified(), c.heading);
        // The name once, on the code's line, cut at the edge.
        const QStringList found = p.lines.filter(slip.code);
        ASSERT_EQ(found.size(), 1);
        const qsizetype at = found.first().indexOf(c.shown.left(3));
        ASSERT_GT(at, 0);
        EXPECT_EQ(found.first().mid(at), c.shown.left(columns(c.width) - at));
        ASSERT_EQ(bold.size(), 1u);
        EXPECT_EQ(std::llround(bold[0] * 100), c.kurus);
        if (c.stored > 1e6) continue; // the figures crowd out their labels
        ASSERT_EQ(byUnit[QStringLiteral("lt")].size(), 2u);
        ASSERT_EQ(byUnit[QStringLiteral("TL")].size(), 1u);
        EXPECT_EQ(byUnit[QStringLiteral("lt")][1], 2 * c.litres);
        EXPECT_NEAR(byUnit[QStringLiteral("lt")][0] * byUnit[QStringLiteral("TL")][0], bold[0], 0.005 + 1e-9);
        EXPECT_EQ(byUnit[QString()], (c.fat ? std::vector<double>{3.85, 3.2} : std::vector<double>{3.2}));
        EXPECT_EQ(p.lines.filter(QRegularExpression(QStringLiteral("^Hijyen sınıfı +A$"))).size(), c.fat ? 1 : 0);
        EXPECT_TRUE(p.lines.join(QLatin1Char('\n')).contains(QStringLiteral("14.03.2024 07:05")));
    }
}

TEST_F(SlipTest, ThePdfIsOnePageOfTheRollsWidth)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) GTEST_SKIP() << "no poppler-utils";
    const QRegularExpression size(QStringLiteral("Pages: +1\n(?:.*\n)*Page size: +([0-9.]+) x ([0-9.]+) pts"));
    const QString pdf = folder.filePath(QStringLiteral("fis.pdf"));
    for (const auto& [width, mm] : {std::pair{SlipWidth::Mm58, 58.0}, std::pair{SlipWidth::Mm80, 80.0}}) {
        double heights[2] = {};
        for (const bool longHeading : {false, true}) {
            SlipData slip = pour();
            if (longHeading) slip.heading = QString(QStringLiteral("ÇİFTÇİ ")).repeated(20);
            ASSERT_EQ(writeSlipPdf(slip, width, pdf), QString());
            const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}));
            const QRegularExpressionMatch m = size.match(info);
            ASSERT_TRUE(m.hasMatch()) << info.toStdString();
            EXPECT_NEAR(m.captured(1).toDouble(), mm * 72 / 25.4, 0.5);
            heights[longHeading] = m.captured(2).toDouble();
            const QString text = QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
            EXPECT_TRUE(text.contains(QStringLiteral("Şükrü Çağlar")) && text.contains(QStringLiteral("192,50"))) << text.toStdString();
            const QString boxes = QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
            for (const QRegularExpressionMatch& word : QRegularExpression(QStringLiteral("xMax=\"([0-9.]+)\"")).globalMatch(boxes))
                EXPECT_LE(word.captured(1).toDouble(), (mm - 3) * 72 / 25.4);
        }
        EXPECT_GT(heights[1], heights[0] + 10); // as tall as the slip
    }
    EXPECT_FALSE(writeSlipPdf(pour(), SlipWidth::Mm58, folder.filePath(QStringLiteral("yok/fis.pdf"))).isEmpty());
}

TEST_F(SlipTest, APseudoTerminalGetsTheExactBytes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty()) GTEST_SKIP() << "no socat";
    QByteArray bytes = escPosSlip(pour(), SlipWidth::Mm80);
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const QString device = folder.filePath(QStringLiteral("yazici"));
    QProcess socat;
    socat.start(QStringLiteral("socat"), {QStringLiteral("-u"), QStringLiteral("pty,raw,echo=0,link=") + device, QStringLiteral("STDOUT")});
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(device) && clock.elapsed() < 5000) QThread::msleep(20);
    EXPECT_EQ(sendSlip(bytes, device), QString());
    QByteArray got;
    while (got.size() < bytes.size() && socat.waitForReadyRead(5000)) got += socat.readAllStandardOutput();
    socat.kill();
    socat.waitForFinished();
    EXPECT_EQ(got.toHex(), bytes.toHex());
}

TEST_F(SlipTest, EachTargetThatCannotTakeTheSlipSaysWhyAndLpGetsItRaw)
{
    const QString missing = folder.filePath(QStringLiteral("lp0")), fifo = folder.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString bin = folder.filePath(QStringLiteral("bin")), lp = bin + QStringLiteral("/lp");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ":/usr/bin:/bin");
    const QString args = folder.filePath(QStringLiteral("args")), data = folder.filePath(QStringLiteral("data"));
    const QByteArray bytes = escPosSlip(pour(), SlipWidth::Mm58);
    const QString queue = QStringLiteral("kuyruk:Mutfak"), stalled = QStringLiteral("kuyruk:Ahır");
    // Target, the queue's lp (none when empty), whether sent, what the message names.
    const std::vector<std::tuple<QString, QByteArray, bool, QString>> cases = {
        {missing, {}, false, missing}, {folder.path(), {}, false, folder.path()}, {fifo, {}, false, fifo},
        {QStringLiteral(" "), {}, false, {}}, {QStringLiteral("kuyruk:"), {}, false, {}}, {queue, {}, false, QStringLiteral("lp")},
        {queue, "echo \"$@\" >'" + args.toUtf8() + "'; cat >'" + data.toUtf8() + "'", true, {}},
        {stalled, "echo 'lp: yok' >&2; exit 1", false, QStringLiteral("lp: yok")}, {stalled, "exec sleep 30", false, QStringLiteral("Ahır")},
    };
    for (const auto& [target, body, sent, named] : cases) {
        QFile::remove(lp);
        QFile script(lp);
        if (!body.isEmpty() && script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\n" + body + "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QElapsedTimer clock;
        clock.start();
        const QString said = sendSlip(bytes, target, 500);
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(said.isEmpty(), sent) << said.toStdString();
        EXPECT_TRUE(said.contains(named)) << said.toStdString();
    }
    qputenv("PATH", oldPath);
    EXPECT_FALSE(QFileInfo::exists(missing));
    QFile sentData(data), given(args);
    ASSERT_TRUE(sentData.open(QIODevice::ReadOnly) && given.open(QIODevice::ReadOnly));
    EXPECT_EQ(sentData.readAll(), bytes);
    EXPECT_EQ(given.readAll(), "-d Mutfak -o raw\n");
}

} // namespace
