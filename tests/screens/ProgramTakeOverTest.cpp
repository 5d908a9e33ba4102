// The old Windows program's file found at the start: offered, taken over
// into a new ledger with the old file kept beside it untouched, or left as
// it was.

#include "app/Program.h"
#include "FakeDialogs.h"
#include "JetWriter.h"
#include "store/Connection.h"
#include "store/Statement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 9);

class NoShell : public Shell {
public:
    void openAddress(const QString&) override {}
};

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ProgramTakeOver, TheOldFileAtTheStartIsTakenOverOnlyWhenWantedAndKeptUntouched)
{
    for (const bool wanted : {false, true}) {
        SCOPED_TRACE(wanted ? "taken over" : "declined");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        jetfile::writeJetFile(QFile::encodeName(path).toStdString(),
                              {jetfile::ledgerTable("Cariler", {jetfile::ledgerRow("Cariler", {{"CID", 4}, {"Kodu", "7"}, {"Adi", "Şükrü"}})}),
                               jetfile::ledgerTable("SutGirisi", {}), jetfile::ledgerTable("Fabrika", {}), jetfile::ledgerTable("Fabrika_Cari", {})});
        const QByteArray old = bytesOf(path);
        // A take-over cut off after its exchange left the old file beside.
        QFile::copy(path, path + QStringLiteral(".aktarim"));

        FakeDialogs dialogs;
        dialogs.confirmAnswer = wanted;
        NoShell shell;
        Program program(dialogs, shell);
        EXPECT_EQ(program.start(path, kToday), wanted);
        ASSERT_EQ(dialogs.questions.size(), 1);
        EXPECT_TRUE(dialogs.questions.front().contains(QStringLiteral("1 cari"))) << dialogs.questions.front().toStdString();

        const QStringList kept = QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("Kovanta-eski-2026-12-09*.mdb")});
        ASSERT_EQ(kept.size(), wanted ? 2 : 1) << kept.join(QLatin1Char(' ')).toStdString();
        for (const QString& name : kept) EXPECT_EQ(bytesOf(QFileInfo(path).absoluteDir().filePath(name)), old) << name.toStdString();
        if (!wanted) {
            EXPECT_EQ(bytesOf(path), old);
            continue;
        }
        EXPECT_TRUE(QFile::exists(QFileInfo(path).absoluteDir().filePath(QStringLiteral("Aktarim-2026-12-09.txt"))));
        Statement account(program.AnaMenuF.sutConnection, QStringLiteral("SELECT CID, Adi FROM Cariler"));
        ASSERT_TRUE(account.step());
        EXPECT_EQ(account.columnInteger(0), 4);
        EXPECT_EQ(account.column(1).toString(), QStringLiteral("Şükrü"));
        ASSERT_EQ(dialogs.messages.size(), 1);
    }
}

}  // namespace
