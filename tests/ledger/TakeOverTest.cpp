#include "JetWriter.h"
#include "ledger/TakeOver.h"
#include "store/Connection.h"
#include "store/JetFile.h"
#include "store/Statement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

using jetfile::Row;

// The old ledger of a small village: Turkish letters in both of Jet's text
// forms, NULL beside empty text, a deleted row, gaps in the keys, figures
// that are not round.
std::vector<jetfile::Table> village(std::vector<Row> intake = {})
{
    if (intake.empty())
        intake = {
            jetfile::ledgerRow("SutGirisi", {{"SGID", 3}, {"Tarih", jetfile::jetDate(2019, 3, 12)}, {"Kodu", "7"}, {"Adi", "Şükrü Çağlayan"},
                                {"Gelir_Gider", "S"}, {"Sabah", 12.3}, {"Aksam", 0.1 + 0.2}, {"SBirim_Fiyat", 1.35},
                                {"SToplam_Tutar", 12.3 * 1.35}, {"Gelir_Toplam_Tutar", 12.3 * 1.35 + (0.1 + 0.2) * 1.35}, {"Aciklama", ""}}),
            jetfile::ledgerRow("SutGirisi", {{"SGID", 4}, {"Tarih", jetfile::jetDate(2019, 3, 12)}, {"Kodu", "7"}, {"Gelir_Toplam_Tutar", 1.0}}, true),
            jetfile::ledgerRow("SutGirisi", {{"SGID", 9}, {"Tarih", jetfile::jetDate(2019, 3, 13)}, {"Kodu", "7"}, {"Adi", "Şükrü Çağlayan"},
                                {"Gelir_Gider", "O"}, {"Gider_Tutari", 250.75}, {"Fis_No", "A-12"}, {"Aciklama", "yem (çuval)"}}),
        };
    return {
        jetfile::ledgerTable("Cariler", {jetfile::ledgerRow("Cariler", {{"CID", 1}, {"Kodu", "7"}, {"Adi", "Şükrü Çağlayan"}, {"Koy", "Gölköy"},
                                               {"Kayit_Tarihi", jetfile::jetDate(2011, 3, 14, 9, 26, 53)}, {"Birim_Fiyati", 1.35}}),
                            jetfile::ledgerRow("Cariler", {{"CID", 5}, {"Kodu", "12"}, {"Adi", "Ayşe Öztürk"}, {"Soyadi", ""}})}),
        jetfile::ledgerTable("SutGirisi", std::move(intake)),
        jetfile::ledgerTable("Fabrika", {jetfile::ledgerRow("Fabrika", {{"FIB", 2}, {"Tarih", jetfile::jetDate(2019, 3, 12)}, {"Toplam_Toplanan_LT", 12.6},
                                               {"Birim_Fiyat", 1.6}, {"Aciklama", "ılık"}})}),
        jetfile::ledgerTable("Fabrika_Cari", {jetfile::ledgerRow("Fabrika_Cari", {{"FCID", 1}, {"Birim_Fiyat", 1.6}})}),
    };
}

struct Folder {
    QTemporaryDir dir;
    QString old() const { return dir.filePath(QStringLiteral("eski.mdb")); }
    QString ledger() const { return dir.filePath(QStringLiteral("AnaData/Kovanta.mdb")); }
    void write(const std::vector<jetfile::Table>& tables, const jetfile::Options& options = {}) const
    {
        jetfile::writeJetFile(QFile::encodeName(old()).toStdString(), tables, options);
    }
};

qint64 rowsIn(Connection& ledger, const char* table)
{
    Statement count(ledger, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
    count.step();
    return count.columnInteger(0);
}

// Every live row comes over with its key, its figures to the bit, its days
// and moments exact and its texts whole; NULL stays apart from empty text.
TEST(TakeOver, EveryRowComesOverKeyForKeyAndFigureForFigure)
{
    Folder folder;
    folder.write(village(), {"q3vmt7bXRWNP2Kc"});
    const JetFile old(folder.old());
    Connection ledger;
    ledger.createNew(folder.ledger());
    const TakenOver taken = takeOver(old, ledger);
    EXPECT_EQ(taken.accounts, 2);
    EXPECT_EQ(taken.rows, 2) << "the deleted row stays behind";
    EXPECT_TRUE(taken.kept.isEmpty()) << taken.kept.join(QLatin1Char('\n')).toStdString();

    const struct {
        const char* sql;
        QVariant expected;
    } fields[] = {
        {"SELECT group_concat(SGID) FROM SutGirisi", QStringLiteral("3,9")},
        {"SELECT Aksam FROM SutGirisi WHERE SGID = 3", 0.1 + 0.2},
        {"SELECT Gelir_Toplam_Tutar FROM SutGirisi WHERE SGID = 3", 12.3 * 1.35 + (0.1 + 0.2) * 1.35},
        {"SELECT Tarih FROM SutGirisi WHERE SGID = 9", QStringLiteral("2019-03-13")},
        {"SELECT Adi FROM SutGirisi WHERE SGID = 9", QStringLiteral("Şükrü Çağlayan")},
        {"SELECT Aciklama FROM SutGirisi WHERE SGID = 9", QStringLiteral("yem (çuval)")},
        {"SELECT typeof(Aciklama) FROM SutGirisi WHERE SGID = 3", QStringLiteral("text")},
        {"SELECT typeof(Aciklama) FROM Cariler WHERE CID = 1", QStringLiteral("null")},
        {"SELECT typeof(Soyadi) FROM Cariler WHERE CID = 5", QStringLiteral("text")},
        {"SELECT Kayit_Tarihi FROM Cariler WHERE CID = 1", QStringLiteral("2011-03-14 09:26:53")},
        {"SELECT Koy FROM Cariler WHERE CID = 1", QStringLiteral("Gölköy")},
        {"SELECT Aciklama FROM Fabrika WHERE FIB = 2", QStringLiteral("ılık")},
        {"SELECT Birim_Fiyat FROM Fabrika_Cari WHERE FCID = 1", 1.6},
    };
    for (const auto& field : fields) {
        Statement read(ledger, QString::fromLatin1(field.sql));
        ASSERT_TRUE(read.step()) << field.sql;
        const QVariant value = read.column(0);
        if (field.expected.typeId() == QMetaType::Double) {
            const double stored = value.toDouble(), wanted = field.expected.toDouble();
            EXPECT_EQ(std::memcmp(&stored, &wanted, sizeof stored), 0) << field.sql;
        } else {
            EXPECT_EQ(value.toString(), field.expected.toString()) << field.sql;
        }
    }
    // The next account or entry gets a key past the old file's.
    Statement(ledger, QStringLiteral("INSERT INTO SutGirisi (Tarih, Kodu) VALUES ('2019-03-14', '7')")).run();
    EXPECT_EQ(rowsIn(ledger, "SutGirisi WHERE SGID = 10"), 1);
}

// A file the program cannot take over, another program's or a damaged one,
// is refused naming what is wrong, and nothing comes over.
TEST(TakeOver, AFileNotTheOldProgramsOrDamagedIsRefusedNamingWhy)
{
    const auto changed = [](const std::function<void(std::vector<jetfile::Table>&)>& change) {
        std::vector<jetfile::Table> tables = village();
        change(tables);
        return tables;
    };
    std::vector<Row> many;
    for (int key = 1; key <= 3000; ++key)
        many.push_back(jetfile::ledgerRow("SutGirisi", {{"SGID", key}, {"Kodu", "7"}, {"Aciklama", std::string(40, 'x')}}));
    const auto damaged = [&](qint64 at, qint64 cut) {
        return [&, at, cut](const Folder& folder) {
            folder.write(village(many));
            QFile file(folder.old());
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            if (at > 0 && file.seek(file.size() - at)) file.write(QByteArray(4096, '\0'));
            if (cut > 0) file.resize(file.size() - cut);
        };
    };
    const auto written = [](std::vector<jetfile::Table> tables, jetfile::Options options = {}) {
        return [tables = std::move(tables), options](const Folder& folder) { folder.write(tables, options); };
    };
    const struct {
        const char* what;
        std::function<void(const Folder&)> make;
        const char* named;
    } cases[] = {
        {"Jet 3", written(village(), {{}, true}), "Jet 4.0"},
        {"encrypted", written(village(), {{}, false, true}), "Access"},
        {"without a table", written(changed([](auto& t) { t.pop_back(); })), "Fabrika_Cari"},
        {"without a column", written(changed([](auto& t) {
             t[3].columns.pop_back();
             for (Row& row : t[3].rows) row.values.pop_back();
         })), "Aciklama"},
        {"a column of another type", written(changed([](auto& t) {
             t[1].columns[6] = {"Sabah", jetfile::ColumnType::Text, 20};
             for (Row& row : t[1].rows) row.values[6] = std::monostate();
         })), "Sabah"},
        {"a page lost", damaged(20 * 4096, 0), "SutGirisi"},
        {"the last page cut off", damaged(0, 4096), ""},
        {"half a page cut off", damaged(0, 2048), ""},
        {"not Jet at all", [](const Folder& folder) {
             QFile plain(folder.old());
             ASSERT_TRUE(plain.open(QIODevice::WriteOnly) && plain.write("SQLite format 3") > 0);
         }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder folder;
        c.make(folder);
        Connection ledger;
        ledger.createNew(folder.ledger());
        try {
            takeOver(JetFile(folder.old()), ledger);
            ADD_FAILURE() << "taken";
        } catch (const JetRefused& refused) {
            EXPECT_NE(std::string(refused.what()).find(c.named), std::string::npos) << refused.what();
        }
        EXPECT_EQ(rowsIn(ledger, "SutGirisi") + rowsIn(ledger, "Cariler"), 0);
    }
}

// What the old program stored and this one would not is kept as it was and
// listed, each by its row.
TEST(TakeOver, RowsTheOldProgramLetThroughAreKeptAndListed)
{
    Folder folder;
    std::vector<jetfile::Table> tables = village({
        jetfile::ledgerRow("SutGirisi", {{"SGID", 20}, {"Tarih", jetfile::jetDate(2019, 3, 12)}, {"Kodu", "9001"}, {"Gelir_Gider", "S"}, {"Sabah", 5.0}}),
        jetfile::ledgerRow("SutGirisi", {{"SGID", 21}, {"Tarih", jetfile::jetDate(2019, 3, 12)}, {"Kodu", "7"}, {"Gelir_Gider", "S"}, {"Sabah", 5.0}}),
        jetfile::ledgerRow("SutGirisi", {{"SGID", 22}, {"Tarih", jetfile::jetDate(2019, 3, 12)}, {"Kodu", "7"}, {"Gelir_Gider", "S"}, {"Aksam", 4.0}}),
        jetfile::ledgerRow("SutGirisi", {{"SGID", 23}, {"Tarih", jetfile::jetDate(1899, 12, 30) - 400.0}, {"Kodu", "7"}, {"Gelir_Gider", "O"}}),
        jetfile::ledgerRow("SutGirisi", {{"SGID", 24}, {"Tarih", jetfile::jetDate(2019, 3, 14)}, {"Kodu", "7"}, {"Fis_No", std::string(30, 'x')}}),
    });
    tables[0].rows.push_back(jetfile::ledgerRow("Cariler", {{"CID", 6}, {"Kodu", "12"}, {"Adi", "Ayşe Öztürk (ikinci)"}}));
    // The old file's receipt number was wider than this program's.
    for (jetfile::Column& column : tables[1].columns)
        if (column.name == "Fis_No") column.size = 50;
    folder.write(tables);
    Connection ledger;
    ledger.createNew(folder.ledger());
    const TakenOver taken = takeOver(JetFile(folder.old()), ledger);
    EXPECT_EQ(rowsIn(ledger, "SutGirisi"), 5);
    EXPECT_EQ(rowsIn(ledger, "Cariler WHERE Kodu = '12'"), 2);
    const QString summary = taken.summary(folder.old());
    for (const char* named : {"9001", "20", "21, 22", "5, 6", "23", "25.11.1898", "24", "Fis_No"})
        EXPECT_TRUE(summary.contains(QLatin1String(named))) << named << "\n" << summary.toStdString();
    EXPECT_EQ(std::count_if(taken.kept.begin(), taken.kept.end(), [](const QString& line) { return !line.startsWith(QLatin1Char(' ')); }), 5)
        << "five kinds, each headed once\n" << summary.toStdString();
}

// A ledger that comes out other than the old file, a take-over given up and
// a ledger already holding rows leave no row behind.
TEST(TakeOver, ADifferenceOrAStopLeavesNothingBehind)
{
    Folder folder;
    folder.write(village());
    const JetFile old(folder.old());
    Connection ledger;
    ledger.createNew(folder.ledger());
    const auto empty = [&] { return rowsIn(ledger, "Cariler") + rowsIn(ledger, "SutGirisi") + rowsIn(ledger, "Fabrika"); };

    // Something between the file and the ledger changes a figure.
    Statement(ledger, QStringLiteral("CREATE TRIGGER bozan AFTER INSERT ON SutGirisi WHEN NEW.SGID = 9 BEGIN "
                                     "UPDATE SutGirisi SET Gider_Tutari = Gider_Tutari * 0.9 WHERE SGID = NEW.SGID; END")).run();
    try {
        takeOver(old, ledger);
        ADD_FAILURE() << "kept";
    } catch (const std::runtime_error& refused) {
        EXPECT_NE(std::string(refused.what()).find("9 numaralı kaydın Gider_Tutari"), std::string::npos) << refused.what();
    }
    EXPECT_EQ(empty(), 0);
    Statement(ledger, QStringLiteral("DROP TRIGGER bozan")).run();

    EXPECT_THROW(takeOver(old, ledger, [](qint64, qint64) { return false; }), TakeOverStopped);
    EXPECT_EQ(empty(), 0);

    takeOver(old, ledger);
    const qint64 rows = empty();
    EXPECT_THROW(takeOver(old, ledger), std::runtime_error);
    EXPECT_EQ(empty(), rows);
}

}  // namespace
