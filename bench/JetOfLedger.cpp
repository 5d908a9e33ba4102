#include "bench/JetOfLedger.h"

#include "JetWriter.h"
#include "store/Connection.h"
#include "store/JetFile.h"
#include "store/Statement.h"

#include <QDate>
#include <QDateTime>
#include <QFile>

#include <memory>
#include <stdexcept>

namespace {

// A stored day or moment as Jet's day number.
double jetDayNumber(const QString& stored)
{
    const QDateTime moment = stored.size() > 10 ? QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                : QDateTime(QDate::fromString(stored, Qt::ISODate), QTime(0, 0));
    if (!moment.isValid()) throw std::runtime_error("not a day: " + stored.toStdString());
    return jetfile::jetDate(moment.date().year(), moment.date().month(), moment.date().day(), moment.time().hour(),
                            moment.time().minute(), moment.time().second());
}

jetfile::Value valueOf(const Statement& row, int column, jetfile::ColumnType type)
{
    if (row.columnType(column) == Statement::Type::Null) return std::monostate();
    switch (type) {
    case jetfile::ColumnType::AutoNumber:
    case jetfile::ColumnType::Long:
        return static_cast<std::int32_t>(row.columnInteger(column));
    case jetfile::ColumnType::Double:
        return row.columnReal(column);
    case jetfile::ColumnType::DateTime:
        return jetDayNumber(row.column(column).toString());
    default:
        return row.column(column).toString().toStdString();
    }
}

}  // namespace

void writeJetOfLedger(const QString& ledgerPath, const QString& jetPath)
{
    Connection ledger;
    ledger.open(ledgerPath);
    std::vector<std::unique_ptr<Statement>> reads;
    std::vector<jetfile::Table> tables;
    for (const QString& name : JetFile::tables()) {
        const std::string table = name.toStdString();
        const std::vector<jetfile::Column>& columns = jetfile::ledgerColumns(table);
        QStringList names;
        for (const jetfile::Column& column : columns) names << QString::fromStdString(column.name);
        Statement count(ledger, QStringLiteral("SELECT COUNT(*) FROM %1").arg(name));
        count.step();
        auto read = std::make_unique<Statement>(ledger, QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(names.join(QStringLiteral(", ")), name));
        Statement* rows = read.get();
        reads.push_back(std::move(read));
        // Rows are read as the writer asks for them, in key order.
        tables.push_back({table, columns, {}, static_cast<std::size_t>(count.columnInteger(0)), [rows, &columns](std::size_t, jetfile::Row& row) {
                              if (!rows->step()) throw std::runtime_error("the ledger ran out of rows");
                              row.values.clear();
                              for (size_t c = 0; c < columns.size(); ++c) row.values.push_back(valueOf(*rows, static_cast<int>(c), columns[c].type));
                          }});
    }
    jetfile::writeJetFile(QFile::encodeName(jetPath).toStdString(), tables, {"q3vmt7bXRWNP2Kc"});
}
