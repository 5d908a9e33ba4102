#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct sqlite3;

namespace schema {

// Marks the file as this program's database.
inline constexpr std::int32_t kApplicationId = 0x4B4F5641;  // "KOVA"
// 2: covering indexes for the balance report, with statistics.
// 3: the history of corrections and deletions.
// 4: settlements: the deductions and their rates, the postings, the IBAN.
inline constexpr int kVersion = 5;

struct Column {
    const char* name;
    const char* type;
    int since = 1;  // the version that added it to an older table
};

struct Table {
    const char* name;
    std::vector<Column> columns;  // the first one is the auto-number key
    int since = 1;                // the version that added it
    // Its corrections and deletions are kept in the history.
    bool recorded = true;

    QString keyField() const { return QString::fromLatin1(columns.front().name); }
    // The fields a file of that version has.
    QStringList fieldNames(int version = kVersion) const;
};

const std::vector<Table>& tables();
const Table& cariler();
const Table& sutGirisi();
const Table& fabrika();
const Table& fabrikaCari();
const Table& degisiklikler();
const Table& kesintiler();
const Table& hakedisler();
const Table& hakedisSatirlari();
const Table& kaliteFiyatlari();
// The table of that name; nullptr when there is none.
const Table* tableNamed(const QString& name);

// Every CREATE INDEX statement.
QString indexScript(int fromVersion);
// The deduction names a new ledger offers.
QString offeredDeductions();
// Every CREATE TABLE and CREATE INDEX statement, with the file's marks.
QString creationScript();
// Brings a file of an earlier version up to this one without touching its
// rows: the tables and indexes it lacks, statistics gathered once (for the
// version 2 indexes), the new version.
QString upgradeScript(int fromVersion);

}  // namespace schema

// The two kinds of ledger row, told apart by SutGirisi.Gelir_Gider.
enum class LedgerKind : char { Intake = 'S', Payment = 'O' };
// The stored text of a kind: "S" or "O".
inline QString kindCode(LedgerKind kind)
{
    return QString(QLatin1Char(static_cast<char>(kind)));
}

// What a row of the history records, in Degisiklikler.Islem.
enum class ChangeKind : char { Correction = 'D', Deletion = 'S', Restore = 'G' };
inline QString kindCode(ChangeKind kind)
{
    return QString(QLatin1Char(static_cast<char>(kind)));
}
