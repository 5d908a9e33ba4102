#include "common/Csv.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A figure stays a number in a spreadsheet: no thousand mark, the decimals
// its column shows; anything else as the grid shows it; a field holding
// ";", a quote or a line break quoted.
TEST(Csv, CellsAreWhatTheGridShowsInAFormASpreadsheetReads)
{
    const struct { CellFormat format; QVariant value; const char* cell; } cases[] = {
        {kAsAmount, 1234.5, "1234,50"},
        {kAsAmount, 0.0, "0,00"},  // the grid shows ",00"
        {kAsAmount, -1234567.891, "-1234567,89"},
        {kAsAmount, QVariant(), ""},
        {kAsGeneralNumber, 1.35, "1,35"},
        {kAsShortDate, QStringLiteral("2026-12-09"), "09.12.2026"},
    };
    for (const auto& c : cases) EXPECT_EQ(csvCell(c.format, c.value), QString::fromUtf8(c.cell)) << c.cell;
    EXPECT_EQ(csvLine({QStringLiteral("a"), QStringLiteral("b;c"), QStringLiteral("say \"x\""), QStringLiteral("two\nlines"), {}}),
              QStringLiteral("a;\"b;c\";\"say \"\"x\"\"\";\"two\nlines\";\r\n"));

    // A file that cannot be written is named in Turkish.
    const QString nowhere = QDir::temp().filePath(QStringLiteral("kovanta-yok/liste.csv"));
    std::string said;
    try {
        writeTextFile(nowhere, QStringLiteral("x"));
    } catch (const std::runtime_error& error) {
        said = error.what();
    }
    EXPECT_TRUE(QString::fromStdString(said).startsWith(QStringLiteral("Dosya yazılamadı: ") + nowhere)) << said;
}

// A text a spreadsheet would run as a formula is made text by a leading
// apostrophe; a figure, the program's own or typed, is left a figure.
TEST(Csv, ACellASpreadsheetWouldRunStartsWithAnApostrophe)
{
    const struct {
        const char* field;
        const char* cell;
    } cases[] = {
        {"=HYPERLINK(\"http://x\";\"tıkla\")", "\"'=HYPERLINK(\"\"http://x\"\";\"\"tıkla\"\")\""},
        {"+90 555", "'+90 555"},
        {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tgizli", "'\tgizli"},
        {"\rsatır", "\"'\rsatır\""},
        {"-1234567,89", "-1234567,89"},
        {"-0.50", "-0.50"},
        {"Ali = Veli", "Ali = Veli"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvLine({QString::fromUtf8(c.field)}), QString::fromUtf8(c.cell) + QStringLiteral("\r\n")) << c.field;
}

}  // namespace
