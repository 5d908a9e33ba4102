#include "common/TurkishText.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(TurkishLower, TrimsAndLowersByTheTurkishTable)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"  ÇİFTÇİ IŞIK  ", "çiftçi ışık"},
        {"IŞIK", "ışık"},
        {"İZMİR", "izmir"},
        {"ÂLİ", "Âli"},  // capitals outside the table stay
        {"ÉMİLE", "Émile"},
        {"ĞÖŞÜ", "ğöşü"},
        {"ABCDEFGHJKLMNOPQRSTUVWXYZ", "abcdefghjklmnopqrstuvwxyz"},
        {"\t\r\nALİ\x01\x1f ", "ali"},
        {"A  B", "a  b"},  // blanks inside stay
        {"\u00a0ALİ", "\u00a0ali"},  // above code 32: not trimmed
        {"ali 12-?", "ali 12-?"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(turkishLower(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
}

TEST(TurkishCapital, CapitalisesLowerCaseLettersOnly)
{
    const struct {
        const char* letter;
        const char* expected;
    } cases[] = {
        {"a", "A"}, {"h", "H"}, {"j", "J"}, {"q", "Q"}, {"z", "Z"},
        {"i", "İ"}, {"ı", "I"}, {"ç", "Ç"}, {"ğ", "Ğ"}, {"ö", "Ö"}, {"ş", "Ş"}, {"ü", "Ü"},
        {"A", "A"}, {"I", "I"}, {"İ", "İ"}, {"Ş", "Ş"},
        {"â", "â"}, {"é", "é"}, {"5", "5"}, {" ", " "}, {"-", "-"},
    };
    for (const auto& c : cases) {
        const QString letter = QString::fromUtf8(c.letter);
        ASSERT_EQ(letter.size(), 1);
        EXPECT_EQ(turkishCapital(letter[0]), QString::fromUtf8(c.expected)[0]) << c.letter;
    }
}

}  // namespace

TEST(InParagraphs, BreaksAfterTheLastBlankOfEachParagraph)
{
    const struct {
        const char* text;
        qsizetype longest;
        const char* shown;
    } cases[] = {
        {"kısa not", 10, "kısa not"},
        {"bir iki üç dört", 8, "bir iki \nüç dört"},
        {"abcdefghij", 4, "abcd\nefgh\nij"},
        {" abcdefgh", 4, " abc\ndefg\nh"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inParagraphs(QString::fromUtf8(c.text), c.longest), QString::fromUtf8(c.shown)) << c.text;
    // A note of megabytes without a blank: each paragraph is searched alone.
    const QString note(5'000'000, QLatin1Char('x'));
    const QString shown = inParagraphs(note, 1000);
    EXPECT_EQ(shown.count(QLatin1Char('\n')), 4999);
    EXPECT_EQ(shown.size(), note.size() + 4999);
}
