#include "store/FaultText.h"

#include <sqlite3.h>

namespace {

// What happened, and what to do about it.
struct Fault {
    QString happened;
    QString todo;
};

Fault faultOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return {QStringLiteral("Diskte yer kalmadı, son işlem veritabanına yazılamadı."),
                QStringLiteral("diskte yer açın (gereksiz dosyaları silin) ve yeniden saklayın.")};
    case SQLITE_READONLY:
        return {QStringLiteral("Veritabanı dosyası ya da klasörü salt okunur, son işlem yazılamadı."),
                QStringLiteral("dosyaya ve klasörüne yazma izni verin ve yeniden saklayın.")};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {QStringLiteral("Veritabanı dosyasını başka bir program uzun süredir kilitli tutuyor, son işlem yapılamadı."),
                QStringLiteral("dosyayı açan programı (yedekleme, virüs tarayıcı, başka bir Orvalin Kovanta) kapatın ve "
                               "yeniden deneyin.")};
    case SQLITE_IOERR:
        return {QStringLiteral("Veritabanı dosyası okunurken ya da yazılırken disk hatası oldu, son işlem yapılamadı."),
                QStringLiteral("diskin ya da çıkarılabilir belleğin takılı ve sağlam olduğunu denetleyin ve yeniden deneyin.")};
    case SQLITE_CANTOPEN:
        return {QStringLiteral("Veritabanı dosyası ya da yanına açılan geçici dosya (-journal) açılamadı, son işlem "
                               "yapılamadı: AnaData klasörü salt okunur olabilir ya da yerinden kaldırılmış olabilir."),
                QStringLiteral("klasöre yazma izni verin ve yeniden deneyin.")};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return {QStringLiteral("Veritabanı dosyası bozuk."),
                QStringLiteral("Programı kapatın ve AnaData/Yedek klasöründeki en son sağlam yedeği geri yükleyin.")};
    default:
        return {};
    }
}

}  // namespace

QString faultSentence(int code, FaultMoment moment)
{
    const Fault fault = faultOf(code);
    if (fault.happened.isEmpty()) return {};
    if ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB) return fault.happened + QLatin1Char(' ') + fault.todo;
    if (moment == FaultMoment::Copy) {
        QString todo = fault.todo;
        todo[0] = todo[0].toUpper();
        return fault.happened + QLatin1Char(' ') + todo;
    }
    return fault.happened + QStringLiteral(" Girdiğiniz bilgiler kutularda duruyor: ") + fault.todo;
}

std::string engineErrorText(int code, const QString& engineText, FaultMoment moment)
{
    const QString sentence = faultSentence(code, moment);
    if (sentence.isEmpty()) return engineText.toStdString();
    return (sentence + QStringLiteral("\n\n") + engineText).toStdString();
}
