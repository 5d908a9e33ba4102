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
    case SQLITE_AUTH:
        // Only a file whose ledger was moved to a server refuses writes so.
        return {QStringLiteral("Bu dosyadaki defter sunucuya taşındı; dosya yalnız okunur, son işlem yazılmadı."),
                QStringLiteral("Veritabanı → Veritabanı Sunucusu… ile defterin taşındığı sunucuyu seçin ve programı yeniden "
                               "açın.")};
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
    // The engine's "not authorized" says nothing the sentence does not.
    if ((code & 0xff) == SQLITE_AUTH) return sentence.toStdString();
    return (sentence + QStringLiteral("\n\n") + engineText).toStdString();
}

QString serverConnectionSentence(const QString& clientText)
{
    const auto has = [&clientText](const char* words) { return clientText.contains(QLatin1String(words)); };
    // The service is looked up before anything is sent: no other fault can follow it.
    if ((has("definition of service") || has("service file")) && has("not found"))
        return QStringLiteral("Bu masada sunucu bağlantısının adı (service=) tanımlı değil: ev klasöründeki ~/.pg_service.conf "
                              "dosyasına [kovanta] başlığını ve altına, her biri kendi satırında, host=, port=, dbname= ve "
                              "user= satırlarını yazın.");
    if (has("could not translate host name"))
        return QStringLiteral("Sunucunun adı bu masada bilinmiyor: ~/.pg_service.conf dosyasındaki host= satırına sunucunun "
                              "adresini (ör. 192.168.1.10) yazın; ~/.pgpass satırında da sunucu aynı biçimde yazılmalı.");
    // A socket folder with no server in it says "No such file" rather than "refused".
    if (has("Connection refused") || (has("on socket") && has("No such file or directory")))
        return QStringLiteral("Sunucu bu adreste bağlantı beklemiyor: sunucuda PostgreSQL'in çalıştığını (systemctl status "
                              "postgresql), /etc/postgresql/15/main/postgresql.conf dosyasında listen_addresses = '*' "
                              "olduğunu (değişince systemctl restart postgresql) ve port= satırının doğru olduğunu denetleyin.");
    if (has("timeout expired") || has("No route to host") || has("Network is unreachable"))
        return QStringLiteral("Sunucuya ağ üzerinden ulaşılamadı: ~/.pg_service.conf dosyasındaki host= adresinin doğru, "
                              "sunucunun açık ve bu masanın sunucuyla aynı ağa bağlı olduğunu denetleyin.");
    if (has("no pg_hba.conf entry") || has("pg_hba.conf rejects connection"))
        return QStringLiteral("Sunucu bu masadan gelen bağlantıya izin vermiyor: sunucudaki "
                              "/etc/postgresql/15/main/pg_hba.conf dosyasına masaların ağı için bir satır ekleyin (ör. "
                              "host kovanta all 192.168.1.0/24 scram-sha-256) ve systemctl reload postgresql ile okutun; "
                              "masadaki dbname= satırı o satırdaki veritabanını göstermeli.");
    if (has("password authentication failed"))
        return QStringLiteral("Sunucu kullanıcı adını ya da parolayı kabul etmedi: ~/.pgpass satırındaki parolanın sunucuda "
                              "createuser -P ile verilen parola, user= satırının da o kullanıcı olduğunu denetleyin.");
    // libpq also skips a ~/.pgpass others may read, and says so only on standard error.
    if (has("no password supplied"))
        return QStringLiteral("Bu masada sunucunun parolası bulunamadı: ~/.pgpass dosyasına sunucu:port:veritabanı:kullanıcı:parola "
                              "satırını yazın (sunucu ~/.pg_service.conf dosyasındaki host= gibi yazılmalı) ve dosyayı "
                              "chmod 600 ~/.pgpass ile yalnız kendinizin okuyabileceği yapın (0600); başkalarının da "
                              "okuyabildiği dosya okunmaz.");
    if (has("database \"") && has("does not exist"))
        return QStringLiteral("Sunucuda bu adla bir veritabanı yok: sunucuda runuser -u postgres -- createdb -O KULLANICI kovanta "
                              "ile oluşturun ya da ~/.pg_service.conf dosyasındaki dbname= satırını düzeltin.");
    return {};
}
