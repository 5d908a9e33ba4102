#include "common/Csv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A figure stays a number in a spreadsheet: no thousand mark, the decimals
// its column shows; anything else as the grid shows it.
TEST(Csv, CellsAreWhatTheGridShowsInAFormASpreadsheetReads)
{
    const struct {
        CellFormat format;
        QVariant value;
        const char* cell;
    } cases[] = {
        {kAsGridNumber, 1234.5, "1234,50"},
        {kAsGridNumber, 0.0, "0,00"},  // the grid shows ",00"
        {kAsGridNumber, -1234567.891, "-1234567,89"},
        {kAsAmount, 2.005, "2,01"},
        {kAsGridNumber, QVariant(), ""},
        {kAsGeneralNumber, 1.35, "1,35"},
        {kAsShortDate, QStringLiteral("2026-12-09"), "09.12.2026"},
        {kAsText, QStringLiteral("Ali; \"Işık\""), "Ali; \"Işık\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvCell(c.format, c.value), QString::fromUtf8(c.cell)) << c.cell;

    EXPECT_EQ(csvLine({QStringLiteral("a"), QStringLiteral("b;c"), QStringLiteral("say \"x\""), QStringLiteral("two\nlines"), {}}),
              QStringLiteral("a;\"b;c\";\"say \"\"x\"\"\";\"two\nlines\";\r\n"));
}

TEST(Csv, FilesAreNamedAfterTheirPartsAndWrittenWholeOrNotAtAll)
{
    EXPECT_EQ(csvFileName({QStringLiteral("Rapor"), QStringLiteral("K/1"), QStringLiteral("Ali Işık"), QStringLiteral("01.12.2026")}),
              QStringLiteral("Rapor-K_1-Ali Işık-01.12.2026.csv"));
    EXPECT_EQ(fileNameMonth(QDate(2026, 3, 31)), QStringLiteral("2026-03"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.csv"));
    writeTextFile(path, QStringLiteral("Adı;Işık\r\n"));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QStringLiteral("Adı;Işık\r\n").toUtf8());

    const QString nowhere = dir.filePath(QStringLiteral("yok/liste.csv"));
    try {
        writeTextFile(nowhere, QStringLiteral("x"));
        ADD_FAILURE() << "a file in a missing folder was written";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(QStringLiteral("Dosya yazılamadı: ") + nowhere));
    }
}

}  // namespace
