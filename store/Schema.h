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
inline constexpr int kVersion = 2;

struct Column {
    const char* name;
    const char* type;
};

struct Table {
    const char* name;
    std::vector<Column> columns;  // the first one is the auto-number key

    QString keyField() const { return QString::fromLatin1(columns.front().name); }
    QStringList fieldNames() const;
};

const std::vector<Table>& tables();
const Table& cariler();
const Table& sutGirisi();
const Table& fabrika();
const Table& fabrikaCari();

// Every CREATE TABLE and CREATE INDEX statement, with the file's marks.
QString creationScript();
// Brings a file of an earlier version up to this one without touching its
// rows: the indexes it lacks, statistics gathered once, the new version.
QString upgradeScript(int fromVersion);

}  // namespace schema

// The two kinds of ledger row, told apart by SutGirisi.Gelir_Gider.
enum class LedgerKind : char { Intake = 'S', Payment = 'O' };
// The stored text of a kind: "S" or "O".
inline QString kindCode(LedgerKind kind)
{
    return QString(QLatin1Char(static_cast<char>(kind)));
}
