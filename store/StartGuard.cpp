#include "store/StartGuard.h"

#include "store/DatabaseError.h"
#include "store/FaultText.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <unistd.h>

namespace {

quint32 bigEndian(const QByteArray& bytes, qint64 offset)
{
    if (offset + 4 > bytes.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + offset);
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

bool isPowerOfTwoIn(quint32 value, quint32 low, quint32 high)
{
    return value >= low && value <= high && (value & (value - 1)) == 0;
}

// A journal left beside the file is rolled into it at the next open. That is
// right after a crash and ruinous beside an older copy put back from a backup:
// the journal's saved first page carries the change counter the file had when
// the interrupted write began, which the file still has (or has one more).
// Returns an empty text when the journal belongs to the file, or may be
// ignored; otherwise why it does not.
QString foreignJournal(const QString& path)
{
    QFile journal(path + QStringLiteral("-journal"));
    if (!journal.exists() || journal.size() == 0 || !journal.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = journal.read(qint64(64) << 20);
    static const QByteArray magic = QByteArray::fromHex("d9d505f920a163d7");
    // Without the magic the engine takes the journal for a finished one and
    // leaves the file alone.
    if (!bytes.startsWith(magic)) return {};
    quint32 records = bigEndian(bytes, 8);
    const quint32 initialPages = bigEndian(bytes, 16);
    const quint32 sector = bigEndian(bytes, 20);
    const quint32 pageSize = bigEndian(bytes, 24);
    if (!isPowerOfTwoIn(sector, 32, 65536) || !isPowerOfTwoIn(pageSize, 512, 65536)) return {};
    const qint64 recordSize = qint64(pageSize) + 8;
    if (records == 0xffffffffu) records = quint32((journal.size() - sector) / recordSize);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(100);
    const quint32 counter = bigEndian(head, 24);

    for (quint32 i = 0; i < records; ++i) {
        const qint64 at = qint64(sector) + qint64(i) * recordSize;
        if (at + recordSize > bytes.size()) break;
        if (bigEndian(bytes, at) != 1) continue;
        const quint32 saved = bigEndian(bytes, at + 4 + 24);
        if (counter == saved || counter == saved + 1) return {};
        return QStringLiteral("dosyanın değişiklik sayacı %1, günlükteki %2").arg(counter).arg(saved);
    }
    // Nothing of the first page in it: the write was cut off before the
    // engine had saved anything to roll back, and the file has not grown or
    // shrunk since; rolling back then only sets the size it already has.
    if (records == 0 && fileSize == qint64(initialPages) * pageSize) return {};
    return QStringLiteral("günlükte dosyanın ilk sayfası yok, dosya %1 sayfa, günlük %2 sayfalık bir dosyanın")
        .arg(fileSize / pageSize)
        .arg(initialPages);
}

}  // namespace

void failFile(const QString& path, int code, const QString& text)
{
    throw DatabaseError(code, (path + QStringLiteral(": ") + text).toStdString());
}

void failStart(const QString& path, int code, const QString& engineText)
{
    QString sentence;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        sentence = QStringLiteral("dosyayı başka bir program kilitli tutuyor; %1 saniye beklendi, bırakılmadı. "
                                  "Dosyayı açan programı (yedekleme, virüs tarayıcı, başka bir Orvalin Kovanta) "
                                  "kapatıp programı yeniden başlatın.")
                       .arg(kLockWaitMs / 1000);
        break;
    case SQLITE_READONLY:
        sentence = QStringLiteral("dosya salt okunur açılabildi; bu durumda hiçbir kayıt saklanamaz. Dosyaya ve "
                                  "klasörüne yazma izni verip programı yeniden başlatın.");
        break;
    case SQLITE_NOTADB:
        sentence = QStringLiteral("dosya bir Orvalin Kovanta veritabanı değil ya da başı bozuk. Dosyaya dokunulmadı.");
        break;
    case SQLITE_CORRUPT:
        sentence = QStringLiteral("veritabanı dosyası bozuk. Dosyaya dokunulmadı.");
        break;
    default:
        sentence = faultSentence(code);
    }
    if (sentence.isEmpty()) failFile(path, code, engineText);
    failFile(path, code, sentence + QStringLiteral("\n\n") + engineText);
}

// What stands at the database's place must be a file this program may write,
// in a folder it may write (the journal goes beside the file); anything else
// is named before the engine sees it, so a pipe cannot hang the start and a
// read-only file cannot open into a program whose every save fails.
void checkPlace(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        failFile(path, SQLITE_CANTOPEN, QStringLiteral("veritabanı dosyası bulunamadı."));
    if (info.isDir())
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("bu ad bir klasörün, veritabanı dosyası değil. Klasörü başka bir yere taşıyın ya da "
                                "adını değiştirin ve veritabanı dosyasını yerine koyun."));
    if (!info.isFile())
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("bu ad sıradan bir dosyanın değil (aygıt, boru ya da kırık bağlantı). Onu kaldırın "
                                "ve veritabanı dosyasını yerine koyun."));
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), R_OK) != 0)
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("dosya okunamıyor (okuma izni yok). Dosyaya okuma ve yazma izni verip programı "
                                "yeniden başlatın."));
    if (::access(native.constData(), W_OK) != 0)
        failFile(path, SQLITE_READONLY,
                 QStringLiteral("dosya salt okunur; bu durumda hiçbir kayıt saklanamaz. Dosyanın özelliklerinden "
                                "salt okunur işaretini kaldırıp (yazma izni verip) programı yeniden başlatın."));
    const QString folder = info.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        failFile(path, SQLITE_READONLY,
                 QStringLiteral("dosyanın klasörü (%1) salt okunur; her kayıt bu klasörde geçici bir dosya açar, "
                                "bu durumda hiçbir kayıt saklanamaz. Klasöre yazma izni verip programı yeniden "
                                "başlatın.")
                     .arg(folder));
}

void refuseForeignJournal(const QString& path)
{
    const QString why = foreignJournal(path);
    if (why.isEmpty()) return;
    const QString journal = path + QStringLiteral("-journal");
    failFile(path, SQLITE_CANTOPEN,
             QStringLiteral("yanındaki %1 dosyası bu veritabanı dosyasına ait değil (%2). Büyük olasılıkla eski bir "
                            "yedek geri yüklenirken yanında kalmış; açılsaydı dosyayı bozardı. İki dosyaya da "
                            "dokunulmadı. Yedeği siz geri yüklediyseniz programı kapalıyken %1 dosyasını silin ya da "
                            "başka bir klasöre taşıyın ve programı yeniden başlatın; yüklemediyseniz dosyalara "
                            "dokunmadan yardım isteyin.")
                 .arg(journal, why));
}

