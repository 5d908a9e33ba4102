#include "common/Csv.h"
#include "common/Sheet.h"
#include "common/Xlsx.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Each list cell keeps what it is: a figure a number of the very value the
// CSV writes, a day a day, a code with leading zeros and a malformed day text.
TEST(Sheet, AListCellIsTypedAndWrittenToTheCsvAsBefore)
{
    using Kind = SheetCell::Kind;
    const struct { CellFormat format; QVariant value; Kind kind; const char* plain; const char* shown; } cases[] = {
        {kAsAmount, 1234567.891, Kind::Number, "1234567,89", "1.234.567,89"},
        {kAsAmount, -0.005, Kind::Number, "-0,01", "-0,01"},
        {kAsAmount, 0.0, Kind::Number, "0,00", "0,00"},
        {kAsAmount, QVariant(), Kind::Empty, "", ""},
        {kAsText, QStringLiteral("0012"), Kind::Text, "0012", "0012"},
        {kAsText, QStringLiteral(""), Kind::Empty, "", ""},
        {kAsShortDate, QStringLiteral("2026-12-09"), Kind::Date, "09.12.2026", "09.12.2026"},
        {kAsShortDate, QStringLiteral("2026-13-45"), Kind::Text, nullptr, nullptr},
        {kAsIban, QStringLiteral("TR330006100519786457841326"), Kind::Text, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const SheetCell cell = listCell(c.format, c.value);
        const QString expected = c.plain ? QString::fromUtf8(c.plain) : cellText(c.format, c.value);
        EXPECT_EQ(cell.kind, c.kind) << expected.toStdString();
        EXPECT_EQ(cell.plain(), expected);
        EXPECT_EQ(cell.plain(), csvCell(c.format, c.value));
        EXPECT_EQ(cell.shown(), c.shown ? QString::fromUtf8(c.shown) : expected);
    }
    EXPECT_EQ(listCell(kAsShortDate, QStringLiteral("2026-12-09")).day, QDate(2026, 12, 9));
    EXPECT_DOUBLE_EQ(listCell(kAsAmount, 12.345).value(), 12.35);
}

// The CSV, read by the bank, never holds a total row; the .xlsx does.
TEST(Sheet, TotalsStayOutOfTheCsv)
{
    Sheet sheet;
    sheet.titles = QStringList{QStringLiteral("Kodu"), QStringLiteral("Tutar")};
    sheet.add({SheetCell::textOf(QStringLiteral("0012")), SheetCell::amount(Money::fromKurus(150))});
    sheet.addTotal({SheetCell::textOf(QStringLiteral("Toplam")), SheetCell::amount(Money::fromKurus(150))});
    EXPECT_EQ(sheetCsv(sheet), QStringLiteral("Kodu;Tutar\r\n0012;1,50\r\n"));
    const QByteArray bytes = xlsxBytes(sheet);
    EXPECT_TRUE(bytes.startsWith("PK")) << "a zip, as every .xlsx file is";
}

TEST(Xlsx, SheetNamesKeepTurkishLettersWithinTheTabsLimits)
{
    const struct { const char* text; const char* name; } cases[] = {
        {"Süt Alım Aralık 2026", "Süt Alım Aralık 2026"},
        {"Rapor 01.12.2026/31.12.2026 [ek]", "Rapor 01.12.2026_31.12.2026 _ek"},
        {"a:b*c?d\\e", "a_b_c_d_e"},
        {"'Çiğdem'", "Çiğdem"},
        {"İşletme Ğ Ü Ş Ö Ç ı ğ ü ş ö ç 1234567890", "İşletme Ğ Ü Ş Ö Ç ı ğ ü ş ö ç 1"},
        {"  ", "Liste"},
    };
    for (const auto& c : cases) EXPECT_EQ(sheetName(QString::fromUtf8(c.text)), QString::fromUtf8(c.name)) << c.text;
    EXPECT_EQ(asXlsxFileName(QStringLiteral("Ekstre-0012-Ali-01.12.2026-31.12.2026.pdf")),
              QStringLiteral("Ekstre-0012-Ali-01.12.2026-31.12.2026.xlsx"));
    EXPECT_EQ(xlsxFileName({QStringLiteral("Rapor"), QStringLiteral("a/b")}), QStringLiteral("Rapor-a_b.xlsx"));

    // A file that cannot be written is named in Turkish, and nothing is left behind.
    const QString nowhere = QDir::temp().filePath(QStringLiteral("kovanta-yok/liste.xlsx"));
    std::string said;
    try {
        writeXlsxFile(nowhere, Sheet{});
    } catch (const std::runtime_error& error) {
        said = error.what();
    }
    EXPECT_TRUE(QString::fromStdString(said).startsWith(QStringLiteral("Dosya yazılamadı: ") + nowhere)) << said;
}

}  // namespace
