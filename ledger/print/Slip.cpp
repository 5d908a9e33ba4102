#include "ledger/print/Slip.h"

#include "common/Conversions.h"
#include "common/Regional.h"
#include "ledger/print/SettlementPrint.h"
#include "ledger/print/StatementPrint.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QProcess>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// PC857 from 0x80 up, as IBM publishes it; 0 where the code page has no
// character (0xD5, 0xE7, 0xF2).
constexpr std::array<char16_t, 128> kPc857High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x0131, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x0130, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x015E, 0x015F,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x011E, 0x011F,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00BA, 0x00AA, 0x00CA, 0x00CB, 0x00C8, 0x0000, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x0000,  // E0
    0x00D7, 0x00DA, 0x00DB, 0x00D9, 0x00EC, 0x00FF, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x0000, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

constexpr char kEsc = 0x1B;
constexpr char kGs = 0x1D;
// Lines fed after the last one: the tear bar of a roll without a cutter
// sits this far above the head.
constexpr char kFeedLines = 4;

char pc857Byte(char32_t c)
{
    if (c >= 0x20 && c < 0x7F) return static_cast<char>(c);
    if (c >= 0x80 && c <= 0xFFFF)
        for (size_t i = 0; i < kPc857High.size(); ++i)
            if (kPc857High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// Composed as the keyboard types it, each character one column: a letter
// and its separate accent become the one letter PC857 has, and what takes
// two UTF-16 units becomes the '?' it prints as.
QString printable(const QString& text)
{
    QString out;
    const QList<uint> points = text.normalized(QString::NormalizationForm_C).toUcs4();
    out.reserve(points.size());
    for (const uint c : points)
        out.append(c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c > 0xFFFF ? QChar(u'?')
                                                                                  : QChar(static_cast<char16_t>(c)));
    return out;
}

// One line of the slip: the printer lays it out in columns, the PDF in the
// font's widths.
struct Line {
    enum Kind { Centred, Left, Pair, Rule } kind;
    QString left, right;
    bool bold = false;
};

QString dayAndTime(const QDateTime& moment)
{
    return moment.toString(regional().shortDateFormat + QStringLiteral(" HH:mm"));
}

std::vector<Line> slipContent(const SlipData& slip)
{
    std::vector<Line> lines;
    const auto pair = [&lines](const QString& label, const QString& value, bool bold = false) {
        lines.push_back({Line::Pair, label, printable(value), bold});
    };
    if (!slip.heading.trimmed().isEmpty())
        lines.push_back({Line::Centred, printable(slip.heading.simplified()), {}, true});
    lines.push_back({Line::Rule, {}, {}});
    lines.push_back(
        {Line::Pair, dayAndTime(slip.moment), slip.evening ? QStringLiteral("Akşam") : QStringLiteral("Sabah")});
    const QString code = slip.code.trimmed();
    const QString who = (code.isEmpty() ? QString() : code + QStringLiteral(" - ")) + slip.name.simplified();
    lines.push_back({Line::Left, printable(who), {}});
    lines.push_back({Line::Rule, {}, {}});
    pair(QStringLiteral("Süt"), formatFloat(kAmountPattern, slip.litres) + QStringLiteral(" lt"));
    if (slip.fat) pair(QStringLiteral("Yağ %"), formatFloat(kAmountPattern, *slip.fat));
    if (slip.protein) pair(QStringLiteral("Protein %"), formatFloat(kAmountPattern, *slip.protein));
    if (!slip.grade.trimmed().isEmpty()) pair(QStringLiteral("Hijyen sınıfı"), slip.grade.trimmed());
    pair(QStringLiteral("Litre fiyatı"), perLitreText(slip.price) + QStringLiteral(" TL"));
    pair(QStringLiteral("Tutar"), slip.amount.text() + QStringLiteral(" TL"), true);
    lines.push_back({Line::Rule, {}, {}});
    pair(QStringLiteral("Bu ay toplam"), formatFloat(kAmountPattern, slip.monthLitres) + QStringLiteral(" lt"));
    if (!slip.footer.trimmed().isEmpty()) lines.push_back({Line::Centred, printable(slip.footer.simplified()), {}});
    return lines;
}

// Words onto lines of at most `columns`; a word longer than a line is cut.
QStringList wrapped(const QString& text, int columns)
{
    QStringList lines;
    QString current;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString piece = word.left(columns);
        if (current.isEmpty()) {
            current = piece;
        } else if (current.size() + 1 + piece.size() <= columns) {
            current += QLatin1Char(' ') + piece;
        } else {
            lines.append(current);
            current = piece;
        }
    }
    if (!current.isEmpty()) lines.append(current);
    return lines;
}

QString centred(const QString& text, int columns)
{
    return QString((columns - text.size()) / 2, QLatin1Char(' ')) + text;
}

// The figure whole at the right; the label cut where both do not fit.
QString pairText(const QString& label, const QString& value, int columns)
{
    if (value.size() >= columns) return value.left(columns);
    const QString left = label.left(columns - value.size() - 1);
    return left + QString(columns - left.size() - value.size(), QLatin1Char(' ')) + value;
}

// Each Line as the printer's text lines, and whether they are bold.
std::vector<std::pair<QString, bool>> columnLines(const SlipData& slip, SlipWidth width)
{
    const int columns = slipColumns(width);
    std::vector<std::pair<QString, bool>> out;
    for (const Line& line : slipContent(slip)) {
        switch (line.kind) {
        case Line::Centred:
            for (const QString& piece : wrapped(line.left, columns))
                out.emplace_back(centred(piece, columns), line.bold);
            break;
        case Line::Left:
            out.emplace_back(line.left.left(columns), line.bold);
            break;
        case Line::Pair:
            out.emplace_back(pairText(line.left, line.right, columns), line.bold);
            break;
        case Line::Rule:
            out.emplace_back(QString(columns, QLatin1Char('-')), false);
            break;
        }
    }
    return out;
}

// ---- The PDF ----

// Paper margin above and below the slip, in millimetres.
constexpr qreal kEndMargin = 3;

qreal slipPoints(SlipWidth width)
{
    return width == SlipWidth::Mm58 ? 8 : 9;
}

class SlipPage : public PagedDocument {
public:
    SlipPage(const QPaintDevice& device, const SlipData& slip, SlipWidth width)
        : lines_(slipContent(slip)), width_(device.logicalDpiX() * slipPrintMm(width) / 25.4),
          body_(printFont(kStatementFontFamily, slipPoints(width), false)),
          bold_(printFont(kStatementFontFamily, slipPoints(width), true)),
          heading_(printFont(kStatementFontFamily, slipPoints(width) * 1.2, true)), device_(device)
    {
        for (const Line& line : lines_) height_ += heightOf(line);
    }

    qreal heightMm() const { return height_ * 25.4 / device_.logicalDpiY(); }
    int pageCount() const override { return 1; }
    QString title() const override { return QStringLiteral("Süt Fişi"); }

    void paintPage(QPainter& painter, int) const override
    {
        // Lines a fifth of a millimetre wide, whatever the resolution.
        painter.setPen(QPen(Qt::black, device_.logicalDpiX() * 0.2 / 25.4));
        qreal y = 0;
        for (const Line& line : lines_) {
            const qreal height = heightOf(line);
            const QRectF box(0, y, width_, height);
            const QFont& font = fontOf(line);
            const QFontMetricsF metrics(font, &device_);
            painter.setFont(font);
            switch (line.kind) {
            case Line::Centred:
                painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, line.left);
                break;
            case Line::Left:
                painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                                 metrics.elidedText(line.left, Qt::ElideRight, width_));
                break;
            case Line::Pair: {
                const qreal valueWidth = metrics.horizontalAdvance(line.right);
                const qreal room = width_ - valueWidth - metrics.horizontalAdvance(QStringLiteral("  "));
                painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, line.right);
                if (room > 0)
                    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                                     metrics.elidedText(line.left, Qt::ElideRight, room));
                break;
            }
            case Line::Rule:
                painter.drawLine(QPointF(0, y + height / 2), QPointF(width_, y + height / 2));
                break;
            }
            y += height;
        }
    }

private:
    const QFont& fontOf(const Line& line) const
    {
        return line.kind == Line::Centred && line.bold ? heading_ : line.bold ? bold_ : body_;
    }

    qreal heightOf(const Line& line) const
    {
        const QFontMetricsF metrics(fontOf(line), &device_);
        if (line.kind == Line::Rule) return metrics.lineSpacing() * 0.6;
        if (line.kind != Line::Centred) return metrics.lineSpacing() * 1.15;
        const QRectF used = metrics.boundingRect(QRectF(0, 0, width_, 1e6), Qt::AlignHCenter | Qt::TextWordWrap, line.left);
        return used.height() + metrics.lineSpacing() * 0.15;
    }

    std::vector<Line> lines_;
    qreal width_;
    QFont body_, bold_, heading_;
    const QPaintDevice& device_;
    qreal height_ = 0;
};

QPageLayout rollLayout(SlipWidth width, qreal heightMm)
{
    const qreal side = (slipPaperMm(width) - slipPrintMm(width)) / 2;
    return QPageLayout(QPageSize(QSizeF(slipPaperMm(width), heightMm + 2 * kEndMargin), QPageSize::Millimeter,
                                 QStringLiteral("Rulo %1 mm").arg(slipPaperMm(width)), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF(side, kEndMargin, side, kEndMargin), QPageLayout::Millimeter);
}

// ---- Sending ----

QString deviceFault(const QString& path, int number, int limitMs)
{
    const QString where = QStringLiteral("Fiş yazıcısına (") + path + QStringLiteral(") yazılamadı: ");
    switch (number) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return where + QStringLiteral("yazıcı bulunamadı. Yazıcının takılı ve açık olduğunu, ayardaki yolun doğru "
                                      "olduğunu denetleyin.");
    case EACCES:
    case EPERM:
        return where + QStringLiteral("yazma izni yok. Kullanıcının \"lp\" grubunda olduğunu denetleyin.");
    case ENOSPC:
        return where + QStringLiteral("yazıcıda kağıt bitmiş olabilir. Kağıdı ve kapağı denetleyin.");
    case EIO:
    case EPIPE:
        return where + QStringLiteral("yazıcı yanıt vermiyor. Açık ve çevrimiçi olduğunu, kablosunu denetleyin.");
    case EISDIR:
        return where + QStringLiteral("bu bir klasör. Ayardaki yolu denetleyin.");
    case ETIMEDOUT:
        return where + QStringLiteral("yazıcı fişi %1 saniyede almadı. Kağıdı, kapağı ve yazıcının açık olduğunu "
                                      "denetleyin.")
                           .arg(std::max(1, limitMs / 1000));
    default:
        return where + QString::fromLocal8Bit(std::strerror(number)) +
               QStringLiteral(". Yazıcıyı ve ayardaki yolu denetleyin.");
    }
}

// Until the descriptor takes more bytes; false when the time is up.
bool waitWritable(int descriptor, const QDeadlineTimer& deadline, int& fault)
{
    for (;;) {
        pollfd watch{descriptor, POLLOUT, 0};
        const int ready = ::poll(&watch, 1, static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) fault = errno;
        else if (ready == 0) fault = ETIMEDOUT;
        return ready > 0;
    }
}

// A reader that goes away (a FIFO's) gives EPIPE to write, not the signal
// that would end the program.
class QuietPipe {
public:
    QuietPipe()
    {
        ::sigemptyset(&pipe_);
        ::sigaddset(&pipe_, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipe_, &before_);
    }
    ~QuietPipe()
    {
        sigset_t pending;
        ::sigpending(&pending);
        timespec none {};
        if (::sigismember(&pending, SIGPIPE) && !::sigismember(&before_, SIGPIPE)) ::sigtimedwait(&pipe_, nullptr, &none);
        ::pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    QuietPipe(const QuietPipe&) = delete;
    QuietPipe& operator=(const QuietPipe&) = delete;

private:
    sigset_t pipe_ {}, before_ {};
};

// Never blocking: a printer that stops taking bytes (out of paper, off)
// costs the window at most the limit, never a hang.
QString sendToDevice(const QByteArray& bytes, const QString& path, int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    // Never O_CREAT: a printer missing from its path must not become a file there.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return deviceFault(path, errno, limitMs);
    int fault = 0;
    struct stat kind {};
    ::fstat(descriptor, &kind);
    // A serial port would add a CR before each LF, and take a command's bytes for text.
    termios settings {};
    if (::isatty(descriptor) && ::tcgetattr(descriptor, &settings) == 0 && (settings.c_oflag & OPOST)) {
        settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        ::tcsetattr(descriptor, TCSANOW, &settings);
    }
    qint64 done = 0;
    const QuietPipe quiet;
    while (fault == 0 && done < bytes.size()) {
        const ssize_t wrote = ::write(descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (wrote > 0) done += wrote;
        else if (wrote == 0) fault = ENOSPC;
        else if (errno == EAGAIN || errno == EWOULDBLOCK) waitWritable(descriptor, deadline, fault);
        else if (errno != EINTR) fault = errno;
    }
    // Flushed: a USB printer takes the last block only when it is writable
    // again (closing earlier drops it), a serial port once its queue is empty.
    if (fault == 0 && !S_ISREG(kind.st_mode)) waitWritable(descriptor, deadline, fault);
    if (fault == 0 && ::isatty(descriptor)) {
        int queued = 0;
        while (::ioctl(descriptor, TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired()) ::usleep(20'000);
        if (queued > 0) fault = ETIMEDOUT;
    }
    if (fault == 0 && S_ISREG(kind.st_mode) && ::fsync(descriptor) != 0) fault = errno;
    // What a stopped printer did not take is dropped, so that closing does not wait for it.
    if (fault != 0 && ::isatty(descriptor)) ::tcflush(descriptor, TCOFLUSH);
    ::close(descriptor);
    return fault == 0 ? QString() : deviceFault(path, fault, limitMs);
}

// lp only hands the job to CUPS, which prints it later; the limit stops a
// stalled CUPS from holding the window.
QString sendToQueue(const QByteArray& bytes, const QString& queue, int limitMs)
{
    if (queue.isEmpty())
        return QStringLiteral("Yazıcı kuyruğunun adı boş. Ayarda \"kuyruk:\" ardından kuyruğun adını yazın "
                              "(kuyrukları \"lpstat -p\" sayar).");
    const QDeadlineTimer deadline(limitMs);
    QProcess lp;
    lp.start(QStringLiteral("lp"), {QStringLiteral("-d"), queue, QStringLiteral("-o"), QStringLiteral("raw")});
    if (!lp.waitForStarted(static_cast<int>(deadline.remainingTime())))
        return QStringLiteral("\"lp\" komutu çalıştırılamadı. CUPS istemcisinin (cups-client paketi) kurulu "
                              "olduğunu denetleyin.");
    lp.write(bytes);
    lp.closeWriteChannel();
    if (!lp.waitForFinished(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
        lp.kill();
        lp.waitForFinished(1000);
        return QStringLiteral("Yazıcı kuyruğu \"%1\" fişi %2 saniyede almadı. CUPS hizmetinin çalıştığını denetleyin.")
            .arg(queue, QString::number(std::max(1, limitMs / 1000)));
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(lp.readAllStandardError()).simplified();
        return QStringLiteral("Yazıcı kuyruğu \"%1\" fişi almadı%2. Kuyruğun adını (\"lpstat -p\") ve yazıcının açık "
                              "olduğunu denetleyin.")
            .arg(queue, said.isEmpty() ? QString() : QStringLiteral(" (") + said + QLatin1Char(')'));
    }
    return {};
}

}  // namespace

int slipColumns(SlipWidth width)
{
    return width == SlipWidth::Mm58 ? 32 : 48;
}

double slipPaperMm(SlipWidth width)
{
    return width == SlipWidth::Mm58 ? 58 : 80;
}

// The head's 384 or 576 dots at 8 a millimetre.
double slipPrintMm(SlipWidth width)
{
    return width == SlipWidth::Mm58 ? 48 : 72;
}

QByteArray toPc857(const QString& text)
{
    QByteArray out;
    const QList<uint> points = text.normalized(QString::NormalizationForm_C).toUcs4();
    out.reserve(points.size());
    for (const uint c : points) out.append(pc857Byte(c));
    return out;
}

QStringList slipLines(const SlipData& slip, SlipWidth width)
{
    QStringList lines;
    for (const auto& [text, bold] : columnLines(slip, width)) lines.append(text);
    return lines;
}

QByteArray escPosSlip(const SlipData& slip, SlipWidth width)
{
    QByteArray out;
    out.append(kEsc).append('@');
    out.append(kEsc).append('t').append(static_cast<char>(kEscPosPc857));
    for (const auto& [text, bold] : columnLines(slip, width)) {
        if (bold) out.append(kEsc).append('E').append('\1');
        out.append(toPc857(text));
        if (bold) out.append(kEsc).append('E').append('\0');
        out.append('\n');
    }
    out.append(kEsc).append('d').append(kFeedLines);
    // Function B: fed on to the cutter, then cut leaving a hinge.
    out.append(kGs).append('V').append('B').append('\0');
    return out;
}

QString writeSlipPdf(const SlipData& slip, SlipWidth width, const QString& path)
{
    // Fine enough for the thermal head's 203 dots an inch, and for a screen.
    constexpr int kResolution = 600;
    return writePagesPdf(path, rollLayout(width, 100), kResolution, [&](QPagedPaintDevice& device) {
        auto page = std::make_unique<SlipPage>(device, slip, width);
        // As long as the slip: measured on the device, then set before any painting.
        device.setPageLayout(rollLayout(width, page->heightMm()));
        return page;
    });
}

QString sendSlip(const QByteArray& bytes, const QString& target, int limitMs)
{
    static const QString kQueue = QStringLiteral("kuyruk:");
    const QString where = target.trimmed();
    if (where.isEmpty())
        return QStringLiteral("Fiş yazıcısı seçilmemiş. Ayarda bir aygıt yolu (/dev/usb/lp0 gibi) ya da "
                              "\"kuyruk:AD\" yazın.");
    if (where.startsWith(kQueue)) return sendToQueue(bytes, where.mid(kQueue.size()).trimmed(), limitMs);
    return sendToDevice(bytes, where, limitMs);
}
