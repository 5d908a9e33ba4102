#include "app/Windows.h"

#include "app/CihazlarDialog.h"
#include "app/LedgerPlace.h"
#include "app/Program.h"
#include "common/widgets/ErrorBox.h"
#include "common/widgets/ScreenWindow.h"
#include "screens/SutAlim/SutAlim.h"
#include "store/MoveLedger.h"

#include <QApplication>
#include <stdexcept>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QSettings>
#include <QLibraryInfo>
#include <QTranslator>

void configureApplication(QApplication& app)
{
    // Where the few choices kept between starts (the statement's paper) live.
    nameUserSettings();
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvalin-kovanta"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Standard buttons read "Evet", "Hayır", "İptal", "Tamam".
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    useProgramFont();
}

ProgramWindows::ProgramWindows(Program& program, Dialogs& dialogs)
    : menu(program.AnaMenuF),
      sutAlim(*program.screens->SutAlimF),
      cari(*program.screens->cariF),
      verilenler(*program.screens->VerilenlerF),
      rapor(*program.screens->RaporF),
      fabrika(*program.screens->FabrikaF),
      gecmis(*program.screens->GecmisF),
      kesintiler(*program.screens->KesintilerF),
      kaliteFiyati(*program.screens->KaliteFiyatiF),
      hakedis(*program.screens->HakedisF),
      program_(program),
      dialogs_(dialogs)
{
    program.onCopyStatus = [this](const QString& text) { menu.showStatus(text); };
    // Each open window is closed as Alt+F4 closes it, asking about a typed entry.
    menu.mayQuit = [this] {
        for (QWidget* window : std::initializer_list<QWidget*>{&sutAlim, &cari, &verilenler, &rapor, &fabrika, &gecmis, &kesintiler, &kaliteFiyati, &hakedis})
            if (window->isVisible() && !window->close()) return false;
        return true;
    };
    program.secondCopyFolder = QSettings().value(kSecondCopyFolderKey).toString();
    menu.addItem(QStringLiteral("&Yedek Klasörü…"), [this] { chooseSecondCopyFolder(); });
    menu.addItem(QStringLiteral("&Değişiklik Geçmişi"), [&program] { program.AnaMenuF.GecmisButtonClick(); });
    menu.addItem(QStringLiteral("C&ihazlar…"), [this] { CihazlarDialog(counter, dialogs_, &menu).exec(); });
    program.screens->SutAlimF->attachCounter(&counter);
    QObject::connect(&copyClock_, &QTimer::timeout, [&program] { program.copyIfDue(); });
    copyClock_.start(60 * 1000);

    const Connection& connection = program.AnaMenuF.sutConnection;
    menu.setWindowTitle(TAnaMenuF::kCaption + QStringLiteral(" — ") + connection.place() +
                        (connection.movedTo().isEmpty() ? QString() : QStringLiteral(" (yalnız okunur: defter sunucuya taşındı)")));
    if (connection.isServer()) menu.showStatus(QStringLiteral("Açık defter: ") + connection.place());
    if (!connection.movedTo().isEmpty())
        menu.showStatus(QStringLiteral("Bu dosyadaki defter sunucuya taşındı: %1. Dosya yalnız okunur açıldı; kayıtlar sunucudaki "
                                       "deftere yapılır.")
                            .arg(connection.movedTo()));
    if (ServerNotices* notices = program.screens->serverNotices.get())
        QObject::connect(notices, &ServerNotices::connectionChanged, &menu, [](bool connected) {
            showOnEveryStatusBar(connected ? QStringLiteral("Sunucuya yeniden bağlanıldı; kayıtlar yine sunucuya yazılıyor.")
                                      : QStringLiteral("Sunucu bağlantısı koptu, yeniden bağlanılıyor; bu arada kayıtlar kutularda "
                                                       "kalır."));
        });
    // Alt+V: where the ledger is.
    QMenu* place = menu.menuBar()->addMenu(QStringLiteral("&Veritabanı"));
    QObject::connect(place->addAction(QStringLiteral("Veritabanı &Sunucusu…")), &QAction::triggered, &menu, [this] { guarded([this] { chooseServer(); }); });
    QObject::connect(place->addAction(QStringLiteral("Defteri Sunucuya &Taşı…")), &QAction::triggered, &menu, [this] { guarded([this] { moveToServer(); }); });
}

ProgramWindows::~ProgramWindows()
{
    program_.screens->SutAlimF->attachCounter(nullptr);
}

void ProgramWindows::chooseServer()
{
    QString current;
    try {
        current = savedServer();
    } catch (const std::runtime_error& refused) {
        // A choice made now puts a file of this user's own in its place.
        dialogs_.message(QString::fromUtf8(refused.what()));
    }
    bool given = false;
    const QString chosen = QInputDialog::getText(
        &menu, QStringLiteral("Veritabanı Sunucusu"),
        QStringLiteral("Bu klasörün defteri hangi sunucuda? libpq bağlantı metni ya da servis adı, örneğin\n"
                       "service=kovanta   ya da   host=sunucu dbname=kovanta user=masa1\n"
                       "Boş bırakılırsa defter yine %1 dosyasıdır. Parolayı buraya değil ~/.pgpass dosyasına yazın.")
            .arg(kDatabasePath),
        QLineEdit::Normal, current, &given);
    if (!given) return;
    if (!saveServer(chosen)) {
        dialogs_.message(holdsPassword(chosen) ? QStringLiteral("Bağlantı metninde parola var; parola programın ayarlarında saklanmaz. "
                                                                "Parolayı ~/.pgpass dosyasına ya da servis dosyasına yazıp yeniden deneyin.")
                                               : QStringLiteral("Seçim klasörün ayar dosyasına yazılamadı."));
        return;
    }
    dialogs_.message(chosen.trimmed().isEmpty() ? QStringLiteral("Program bir sonraki açılışta %1 dosyasındaki defteri açacak.").arg(kDatabasePath)
                                                : QStringLiteral("Program bir sonraki açılışta sunucudaki defteri açacak: %1").arg(chosen.trimmed()));
}

void ProgramWindows::moveToServer()
{
    const QString server = savedServer();
    if (server.isEmpty()) {
        dialogs_.message(QStringLiteral("Önce Veritabanı Sunucusu… ile defterin taşınacağı sunucuyu seçin."));
        return;
    }
    if (!dialogs_.confirm(QStringLiteral("%1 dosyasındaki defter sunucudaki boş veritabanına taşınsın mı?\n%2\n"
                                         "Dosya olduğu gibi kalır; taşınan her satır dosyadakiyle karşılaştırılır.")
                              .arg(kDatabasePath, server)))
        return;
    const FolderMoved done = moveFolderLedger(server);
    program_.AnaMenuF.sutConnection.readMoveMark();
    dialogs_.message(QStringLiteral("Defter sunucuya taşındı: %1 satır, her alanı dosyadakiyle aynı.\n\n%2\n\n%3")
                         .arg(done.moved.rows)
                         .arg(done.moved.tables.join(QLatin1Char('\n')), done.choice));
}

void ProgramWindows::chooseSecondCopyFolder()
{
    QString& folder = program_.secondCopyFolder;
    if (!folder.isEmpty()) {
        const Dialogs::Answer answer = dialogs_.askYesNoCancel(
            QStringLiteral("Günlük yedekler %1 klasörüne de alınıyor. Başka bir klasör seçilsin mi?\n"
                           "(Hayır: bu klasöre yedek alınması bırakılır.)")
                .arg(folder));
        if (answer == Dialogs::Answer::Cancel) return;
        if (answer == Dialogs::Answer::No) {
            folder.clear();
            QSettings().remove(kSecondCopyFolderKey);
            menu.showStatus(QStringLiteral("Günlük yedekler yalnızca veritabanının yanındaki Yedek klasörüne alınıyor."));
            return;
        }
    }
    const QString chosen = QFileDialog::getExistingDirectory(&menu, QStringLiteral("Yedek Klasörü"),
                                                             folder.isEmpty() ? QDir::homePath() : folder);
    if (chosen.isEmpty()) return;
    const QString doubt = program_.secondFolderDoubt(chosen);
    if (!doubt.isEmpty()) {
        dialogs_.message(doubt);
        return;
    }
    folder = chosen;
    QSettings().setValue(kSecondCopyFolderKey, chosen);
    menu.showStatus(QStringLiteral("Günlük yedekler %1 klasörüne de alınacak.").arg(chosen));
    program_.copyIfDue();
}
