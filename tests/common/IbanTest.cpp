#include "common/Iban.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const char* const kWrongForm = "IBAN TR ile başlayıp 24 rakamla devam etmeli";
const char* const kWrongCheck = "IBAN'ın kontrol basamakları tutmuyor; bir rakam yanlış yazılmış olabilir.";

TEST(Iban, TakenWhenTurkishWithItsCheckDigitsAndStoredWithoutBlanks)
{
    const struct {
        const char* typed;
        const char* refusal;  // the start of the reason; nullptr: taken
        const char* stored;
        const char* grouped;
    } cases[] = {
        {"TR330006100519786457841326", nullptr, "TR330006100519786457841326", "TR33 0006 1005 1978 6457 8413 26"},
        {"TR320010009999901234567890", nullptr, "TR320010009999901234567890", "TR32 0010 0099 9990 1234 5678 90"},
        {"TR980000000000000000000052", nullptr, "TR980000000000000000000052", "TR98 0000 0000 0000 0000 0000 52"},
        {"tr33 0006 1005 1978 6457 8413 26", nullptr, "TR330006100519786457841326", "TR33 0006 1005 1978 6457 8413 26"},
        {" Tr43\u00a00006 7010 0000 0012 3456 78 ", nullptr, "TR430006701000000012345678", "TR43 0006 7010 0000 0012 3456 78"},
        {"", nullptr, "", ""},
        {"   ", nullptr, "", ""},
        // One digit wrong, or two neighbours swapped.
        {"TR330006100519786457841327", kWrongCheck, nullptr, nullptr},
        {"TR330006100519786457841226", kWrongCheck, nullptr, nullptr},
        {"TR330006100591786457841326", kWrongCheck, nullptr, nullptr},
        {"TR330006100519786457841362", kWrongCheck, nullptr, nullptr},
        {"TR320010009999901234567809", kWrongCheck, nullptr, nullptr},
        // 01 passes the sum wherever 98 is right.
        {"TR010000000000000000000052", kWrongCheck, nullptr, nullptr},
        {"TR33000610051978645784132", kWrongForm, nullptr, nullptr},
        {"TR3300061005197864578413260", kWrongForm, nullptr, nullptr},
        {"TR", kWrongForm, nullptr, nullptr},
        {"DE89370400440532013000", kWrongForm, nullptr, nullptr},
        {"GB82WEST12345698765432", kWrongForm, nullptr, nullptr},
        {"TR33000610051978645784132O", kWrongForm, nullptr, nullptr},
        {"33TR0006100519786457841326", kWrongForm, nullptr, nullptr},
        {"TR33-0006-1005-1978-6457-8413-26", kWrongForm, nullptr, nullptr},
        {"TR33000610051978645784132\u0666", kWrongForm, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const QString refusal = ibanFault(typed);
        if (!c.refusal) {
            EXPECT_TRUE(refusal.isEmpty()) << c.typed << ": " << refusal.toStdString();
            EXPECT_EQ(ibanStored(typed), QString::fromUtf8(c.stored)) << c.typed;
            EXPECT_EQ(ibanGroups(typed), QString::fromUtf8(c.grouped)) << c.typed;
            EXPECT_TRUE(ibanFault(ibanGroups(typed)).isEmpty()) << c.typed;
        } else {
            EXPECT_TRUE(refusal.startsWith(QString::fromUtf8(c.refusal))) << c.typed << ": " << refusal.toStdString();
        }
    }
}

}  // namespace
