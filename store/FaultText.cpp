#include "store/FaultText.h"

#include <sqlite3.h>

QString faultSentence(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("Diskte yer kalmadı, son işlem veritabanına yazılamadı. Girdiğiniz bilgiler kutularda "
                              "duruyor: diskte yer açın (gereksiz dosyaları silin) ve yeniden saklayın.");
    case SQLITE_READONLY:
        return QStringLiteral("Veritabanı dosyası ya da klasörü salt okunur, son işlem yazılamadı. Girdiğiniz "
                              "bilgiler kutularda duruyor: dosyaya ve klasörüne yazma izni verin ve yeniden saklayın.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Veritabanı dosyasını başka bir program uzun süredir kilitli tutuyor, son işlem "
                              "yapılamadı. Girdiğiniz bilgiler kutularda duruyor: dosyayı açan programı (yedekleme, "
                              "virüs tarayıcı, başka bir Orvalin Kovanta) kapatın ve yeniden deneyin.");
    case SQLITE_IOERR:
        return QStringLiteral("Veritabanı dosyası okunurken ya da yazılırken disk hatası oldu, son işlem yapılamadı. "
                              "Girdiğiniz bilgiler kutularda duruyor: diskin ya da çıkarılabilir belleğin takılı ve "
                              "sağlam olduğunu denetleyin ve yeniden deneyin.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Veritabanı dosyası ya da yanına açılan geçici dosya (-journal) açılamadı, son işlem "
                              "yapılamadı: AnaData klasörü salt okunur olabilir ya da yerinden kaldırılmış olabilir. "
                              "Girdiğiniz bilgiler kutularda duruyor: klasöre yazma izni verin ve yeniden deneyin.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Veritabanı dosyası bozuk. Programı kapatın ve AnaData/Yedek klasöründeki en son "
                              "sağlam yedeği geri yükleyin.");
    default:
        return {};
    }
}

std::string engineErrorText(int code, const QString& engineText)
{
    const QString sentence = faultSentence(code);
    if (sentence.isEmpty()) return engineText.toStdString();
    return (sentence + QStringLiteral("\n\n") + engineText).toStdString();
}
