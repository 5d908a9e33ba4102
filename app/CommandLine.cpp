#include "app/CommandLine.h"

#include "common/Csv.h"
#include "common/MonthPeriod.h"
#include "common/Xlsx.h"
#include "ledger/Ledger.h"
#include "ledger/Lists.h"
#include "ledger/Settlement.h"
#include "ledger/Statements.h"
#include "ledger/print/SettlementPrint.h"
#include "ledger/print/StatementPrint.h"
#include "app/LedgerPlace.h"
#include "store/Connection.h"
#include "store/JetFile.h"
#include "store/MoveLedger.h"
#include "store/Query.h"
#include "store/ServerCopy.h"

#include <QDate>
#include <QElapsedTimer>
#include <QLocale>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

const QString kUsage = QStringLiteral(
    "Kullanım:\n"
    "  kovanta                     programı açar\n"
    "  kovanta statement --from GG.AA.YYYY --to GG.AA.YYYY [--code KOD] (--pdf DOSYA [--a5] | --csv DOSYA | --xlsx DOSYA)\n"
    "                              ekstreleri yazar (--code olmadan herkesinkini, \"Tüm Ekstreler\" gibi)\n"
    "  kovanta report --from GG.AA.YYYY --to GG.AA.YYYY (--csv DOSYA | --xlsx DOSYA)\n"
    "                              dönemin bakiye listesini yazar\n"
    "  kovanta hakedis --from GG.AA.YYYY --to GG.AA.YYYY [--code KOD] (--csv DOSYA | --xlsx DOSYA | --pdf DOSYA [--a5])\n"
    "                              [--kaydet]\n"
    "                              dönemin hakedişini (satırlarını ya da pusulalarını, A4'e iki ya da --a5 ile\n"
    "                              A5'e bir) yazar; --kaydet kesintileri deftere işler\n"
    "  kovanta odeme-listesi --from GG.AA.YYYY --to GG.AA.YYYY (--csv DOSYA | --xlsx DOSYA)\n"
    "                              bankaya verilecek ödeme listesini yazar\n"
    "  kovanta tasi --sunucu BAĞLANTI\n"
    "                              bu klasörün defterini sunucudaki boş veritabanına taşır ve her satırı\n"
    "                              dosyadakiyle karşılaştırır; klasör bundan sonra sunucudaki defteri açar,\n"
    "                              dosya yalnız okunur kalır\n"
    "  kovanta geri-yukle --sunucu BAĞLANTI DOSYA.dump\n"
    "                              sunucu defterinin bir yedeğini boş bir veritabanına geri yükler\n"
    "  kovanta aktar ESKI.mdb [--sunucu BAĞLANTI]\n"
    "                              eski Windows programının defterini (Jet 4.0 dosyası) bu klasörün yeni ya da\n"
    "                              boş defterine (ya da sunucudaki boş veritabanına) aktarır, her tabloyu eski\n"
    "                              dosyayla karşılaştırır; eski dosyaya dokunmaz\n"
    "  kovanta --help              bu yardımı gösterir\n"
    "CSV dosyası banka ve betikler içindir; --xlsx ile yazılan Excel dosyasında kodlar metin,\n"
    "tutarlar sayı, tarihler tarih olarak kalır.\n"
    "Veri, çalışılan klasördeki AnaData/Kovanta.mdb dosyasından okunur; --sunucu BAĞLANTI (libpq bağlantı\n"
    "metni ya da \"service=kovanta\") ya da klasörün ayarlarında seçilen sunucu verilince her komut\n"
    "sunucudaki defterle çalışır.\n");

// The PDF writer's own, fine enough for any printer.
constexpr int kPdfResolution = 1200;

// Wrong arguments: one Turkish line and status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void say(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

struct Options {
    QString command;
    std::map<QString, QString> values;

    bool has(const QString& name) const { return values.count(name) > 0; }
    QString value(const QString& name) const
    {
        const auto found = values.find(name);
        return found == values.end() ? QString() : found->second;
    }
    QDate date(const QString& name) const
    {
        const QString text = value(name);
        if (text.isEmpty()) throw UsageError((QStringLiteral("Eksik bilgi: ") + name + QStringLiteral(" GG.AA.YYYY")).toStdString());
        for (const QString& format : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("d.M.yyyy")}) {
            const QDate day = QDate::fromString(text, format);
            if (day.isValid() && day.year() >= 1900 && day.year() <= 9999) return day;
        }
        throw UsageError((QStringLiteral("Geçersiz tarih: ") + text + QStringLiteral(" (GG.AA.YYYY, yıl 1900-9999 bekleniyor)")).toStdString());
    }
    // The period of --from and --to, in order.
    std::pair<QDate, QDate> period() const
    {
        const QDate from = date(QStringLiteral("--from"));
        const QDate to = date(QStringLiteral("--to"));
        if (to < from) throw UsageError("Dönemin sonu başından önce olamaz.");
        return {from, to};
    }
    // An option the command does not use is refused rather than ignored.
    void refuseAllBut(const QStringList& used) const
    {
        for (const auto& [name, text] : values)
            if (!used.contains(name) && name != QStringLiteral("--sunucu"))
                throw UsageError((QStringLiteral("Bu komutta kullanılmayan seçenek: ") + name + QStringLiteral(" (kovanta --help)")).toStdString());
    }
};

Options parse(const QStringList& arguments)
{
    Options options;
    options.command = arguments.value(0);
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        const bool flag = name == QStringLiteral("--a5") || name == QStringLiteral("--kaydet");
        // The copy a restore reads, and the old file a take-over reads, are named on their own.
        const bool named = options.command == QStringLiteral("geri-yukle") || options.command == QStringLiteral("aktar");
        if (named && !name.startsWith(QLatin1String("--")) && !options.has(QStringLiteral("dosya"))) {
            options.values[QStringLiteral("dosya")] = name;
            continue;
        }
        const bool known = flag || name == QStringLiteral("--sunucu") || name == QStringLiteral("--from") || name == QStringLiteral("--to") ||
                           name == QStringLiteral("--code") || name == QStringLiteral("--pdf") || name == QStringLiteral("--csv") ||
                           name == QStringLiteral("--xlsx");
        if (!known) throw UsageError((QStringLiteral("Bilinmeyen seçenek: ") + name + QStringLiteral(" (kovanta --help)")).toStdString());
        if (options.has(name)) throw UsageError((QStringLiteral("Seçenek iki kez verilmiş: ") + name).toStdString());
        if (flag) {
            options.values[name] = QString();
            continue;
        }
        if (i + 1 >= arguments.size()) throw UsageError((QStringLiteral("Eksik bilgi: ") + name).toStdString());
        options.values[name] = arguments[++i];
    }
    return options;
}

QPageLayout paper(bool a5)
{
    return QPageLayout(QPageSize(a5 ? QPageSize::A5 : QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

void failUnlessWritten(const QString& path, const QString& why)
{
    if (!why.isEmpty()) throw std::runtime_error(fileNotWritten(path, why).toStdString());
}

// The one file a command writes: its CSV or its .xlsx, from the same sheet.
struct SheetTarget {
    QString csv;
    QString xlsx;

    void write(const Sheet& sheet) const
    {
        if (!csv.isEmpty())
            writeTextFile(csv, sheetCsv(sheet));
        else
            writeXlsxFile(xlsx, sheet);
    }
};

// --csv or --xlsx, one of them; with a PDF possible, exactly one of the three.
SheetTarget sheetTarget(const Options& options, bool pdfToo)
{
    const SheetTarget target{options.value(QStringLiteral("--csv")), options.value(QStringLiteral("--xlsx"))};
    const int given = int(!target.csv.isEmpty()) + int(!target.xlsx.isEmpty()) + int(pdfToo && !options.value(QStringLiteral("--pdf")).isEmpty());
    if (given != 1)
        throw UsageError(pdfToo ? "--pdf DOSYA, --csv DOSYA ya da --xlsx DOSYA verilmeli (biri)."
                                : "--csv DOSYA ya da --xlsx DOSYA verilmeli (biri).");
    return target;
}

void writePdf(const QString& path, const std::vector<AccountStatement>& statements, bool a5)
{
    failUnlessWritten(path, writeStatementsPdf(path, paper(a5), kPdfResolution, statements));
}

int statement(Connection& connection, const Options& options)
{
    const auto [from, to] = options.period();
    const QString pdf = options.value(QStringLiteral("--pdf"));
    const SheetTarget sheet = sheetTarget(options, true);
    if (options.has(QStringLiteral("--a5")) && pdf.isEmpty()) throw UsageError("--a5 yalnızca --pdf ile kullanılır.");
    std::vector<AccountStatement> statements;
    if (options.has(QStringLiteral("--code"))) {
        const QString code = options.value(QStringLiteral("--code"));
        if (!isKnownCode(connection, code)) throw UsageError((QStringLiteral("Bilinmeyen kod: ") + code).toStdString());
        statements.push_back(buildStatement(connection, code, QString(), from, to));
    } else {
        statements = buildAllStatements(connection, from, to);
    }
    if (!pdf.isEmpty())
        writePdf(pdf, statements, options.has(QStringLiteral("--a5")));
    else
        sheet.write(statementsSheet(statements));
    return 0;
}

int report(Connection& connection, const Options& options)
{
    options.refuseAllBut({QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--csv"), QStringLiteral("--xlsx")});
    const auto [from, to] = options.period();
    const SheetTarget sheet = sheetTarget(options, false);
    Query balances(connection);
    lists::balances(balances, from, to);
    // The summary as its list shows it, the same file as its "CSV Olarak Kaydet…" and "Excel Olarak Kaydet…".
    sheet.write(listSheet(balances, lists::kBalanceColumns, QStringLiteral("Rapor ") + shortDate(from) + QLatin1Char('-') + shortDate(to)));
    return 0;
}

// The settlement's lines as CSV, or its slips as PDF (on A5, or two to an A4
// page); --kaydet posts it first, and an overlapping period is refused.
int settlement(Connection& connection, const Options& options)
{
    options.refuseAllBut({QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--code"), QStringLiteral("--csv"),
                          QStringLiteral("--xlsx"), QStringLiteral("--pdf"), QStringLiteral("--a5"), QStringLiteral("--kaydet")});
    const auto [from, to] = options.period();
    const QString pdf = options.value(QStringLiteral("--pdf"));
    const SheetTarget sheet = sheetTarget(options, true);
    const bool a5 = options.has(QStringLiteral("--a5"));
    if (a5 && pdf.isEmpty()) throw UsageError("--a5 yalnızca --pdf ile kullanılır.");
    const QString code = options.value(QStringLiteral("--code"));
    if (options.has(QStringLiteral("--code")) && !isKnownCode(connection, code))
        throw UsageError((QStringLiteral("Bilinmeyen kod: ") + code).toStdString());

    Ledger ledger(connection);
    Settlements settlements(ledger);
    if (options.has(QStringLiteral("--kaydet"))) {
        const Settlements::Post posted = settlements.post(from, to);
        if (posted.outcome == Settlements::PostOutcome::Overlaps)
            throw UsageError(Settlements::overlapRefusal(*posted.overlapping).toStdString());
        if (posted.outcome == Settlements::PostOutcome::Nothing)
            throw UsageError("Bu dönemde süt alınmamış; kaydedilecek hakediş yok.");
    }
    const Settlement lines = settlements.compute(from, to, code);
    if (!pdf.isEmpty())
        failUnlessWritten(pdf, writePagesPdf(pdf, paper(a5), kPdfResolution, [&](QPagedPaintDevice& device) {
                              return layOutSlips(device, lines, !a5);
                          }));
    else
        sheet.write(lines.sheet());
    return 0;
}

int payouts(Connection& connection, const Options& options)
{
    options.refuseAllBut({QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--csv"), QStringLiteral("--xlsx")});
    const auto [from, to] = options.period();
    const SheetTarget sheet = sheetTarget(options, false);
    Ledger ledger(connection);
    const PayoutList list = payoutList(Settlements(ledger).compute(from, to));
    sheet.write(list.sheet());
    // Never left out silently.
    if (!list.withoutIban.empty()) say(list.withoutIbanLine());
    return 0;
}

using Command = int (*)(Connection&, const Options&);
const std::map<QString, Command> kCommands = {
    {QStringLiteral("statement"), statement},
    {QStringLiteral("report"), report},
    {QStringLiteral("hakedis"), settlement},
    {QStringLiteral("odeme-listesi"), payouts},
};

// A line a second while a long take-over runs.
TakeOverProgress progressLines()
{
    auto last = std::make_shared<QElapsedTimer>();
    last->start();
    return [last](qint64 done, qint64 total) {
        if (last->elapsed() >= 1000) {
            say(QStringLiteral("Aktarılıyor: %1 / %2 satır").arg(QLocale(QLocale::Turkish).toString(done), QLocale(QLocale::Turkish).toString(total)));
            last->restart();
        }
        return true;
    };
}

int takeOverOldLedger(const Options& options)
{
    const QString old = options.value(QStringLiteral("dosya"));
    if (old.isEmpty()) throw UsageError("Eksik bilgi: aktarılacak eski .mdb dosyası");
    const QString server = options.value(QStringLiteral("--sunucu"));
    try {
        say(oldLedgerFound(JetFile(old)));
        const FolderTakenOver done = takeOverIntoFolder(old, kDatabasePath, server, QDate::currentDate(), progressLines());
        say(done.taken.summary(old).trimmed());
        if (!done.summaryPath.isEmpty()) say(QStringLiteral("Özet: %1").arg(done.summaryPath));
        if (!done.keptOld.isEmpty()) say(QStringLiteral("Eski dosya: %1").arg(done.keptOld));
        if (!server.isEmpty() && !saveServer(server)) say(QStringLiteral("Sunucu bu klasörün ayarlarına yazılamadı; --sunucu ile verin."));
    } catch (const JetRefused& refused) {
        throw UsageError((QStringLiteral("%1 aktarılamaz: %2. Hiçbir şey yazılmadı.").arg(old, QString::fromUtf8(refused.what()))).toStdString());
    }
    return 0;
}

int moveOrRestore(const Options& options)
{
    const QString server = options.value(QStringLiteral("--sunucu"));
    if (options.command == QStringLiteral("geri-yukle")) {
        const QString copy = options.value(QStringLiteral("dosya"));
        if (copy.isEmpty()) throw UsageError("Eksik bilgi: geri yüklenecek .dump dosyası");
        restoreServerCopy(server, copy);
        say(QStringLiteral("%1 sunucudaki veritabanına geri yüklendi.").arg(copy));
        return 0;
    }
    if (!QFile::exists(kDatabasePath))
        throw std::runtime_error((QStringLiteral("Veritabanı bulunamadı: ") + kDatabasePath).toStdString());
    const FolderMoved done = moveFolderLedger(server);
    for (const QString& line : done.moved.tables) say(line);
    say(QStringLiteral("Defter sunucuya taşındı: %1 satır, her alanı dosyadakiyle aynı.").arg(done.moved.rows));
    say(done.choice);
    return 0;
}

}  // namespace

bool isCommandLine(int argc, char* argv[])
{
    // A command, or a long option; Qt's own single-dash options go to the window.
    if (argc < 2) return false;
    const QByteArray first(argv[1]);
    // "kovanta --sunucu CONN" opens the window on that server's ledger.
    if (argc == 3 && first == "--sunucu") return false;
    return !first.startsWith('-') || first.startsWith("--") || first == "-h";
}

int runCommandLine(const QStringList& arguments)
{
    try {
        // "kovanta statement --help" is what a user types to learn a command.
        if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
            std::fputs(kUsage.toUtf8().constData(), stdout);
            return 0;
        }
        const Options options = parse(arguments);
        if (options.command == QStringLiteral("aktar")) return takeOverOldLedger(options);
        if (options.command == QStringLiteral("tasi") || options.command == QStringLiteral("geri-yukle")) {
            if (!options.has(QStringLiteral("--sunucu"))) throw UsageError("Eksik bilgi: --sunucu BAĞLANTI");
            return moveOrRestore(options);
        }
        const auto command = kCommands.find(options.command);
        if (command == kCommands.end())
            throw UsageError((QStringLiteral("Bilinmeyen komut: ") + options.command + QStringLiteral(" (kovanta --help)")).toStdString());
        const QString server = options.has(QStringLiteral("--sunucu")) ? options.value(QStringLiteral("--sunucu")) : savedServer();
        if (!options.has(QStringLiteral("--sunucu")) && !server.isEmpty() && !serverKnownHere(server))
            throw std::runtime_error(QStringLiteral("Bu klasörün ayar dosyası defteri bir sunucuda gösteriyor (%1), ama bu bilgisayardan "
                                                    "o sunucuya bu klasörle hiç bağlanılmadı. Programı bir kez açıp sunucuyu onaylayın ya "
                                                    "da sunucuyu --sunucu ile verin.")
                                         .arg(server)
                                         .toStdString());
        Connection connection;
        if (!server.isEmpty()) {
            if (connection.openServer(server, [](const QString&) { return false; }) == Connection::ServerOutcome::Declined)
                throw std::runtime_error("Sunucudaki veritabanında defter yok (boş). Programı --sunucu ile açıp oluşturun ya da "
                                         "\"kovanta tasi\" ile bir defteri taşıyın.");
            refuseFiguresBeyondMoney(connection);
            return command->second(connection, options);
        }
        // The start's own checks; a missing file is not offered for creation here.
        if (!QFile::exists(kDatabasePath))
            throw std::runtime_error((QStringLiteral("Veritabanı bulunamadı: ") + kDatabasePath).toStdString());
        connection.open(kDatabasePath);
        refuseFiguresBeyondMoney(connection);
        return command->second(connection, options);
    } catch (const UsageError& error) {
        say(QString::fromUtf8(error.what()));
        return 2;
    } catch (const ForeignCopy& error) {
        // Refused, like a wrong argument: nothing was done.
        say(QString::fromUtf8(error.what()));
        return 2;
    } catch (const std::exception& error) {
        say(QString::fromUtf8(error.what()));
        return 1;
    }
}
