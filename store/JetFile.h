#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// The old Windows program's database, a Jet 4.0 file, read through libmdb:
// the live rows of its four ledger tables, every value as the file holds it.
// The file is only read.

// A file that is not one the program can take over; the text says in
// Turkish what is wrong with it.
class JetRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether the file starts as a Jet database does, of any version.
bool looksLikeJetFile(const QString& path);

// One value of a row: empty (NULL), a whole number, a double, a date-time
// as Jet's day number (days since 30.12.1899, the time of day its fraction)
// or a text.
struct JetValue {
    enum class Kind { Null, Integer, Real, Moment, Text };
    Kind kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    QString text;
};
using JetRow = std::vector<JetValue>;

class JetFile {
public:
    // Opens the file and checks that it holds the four tables with the
    // columns the old program made: throws JetRefused for a Jet 3 file, an
    // encrypted one, a missing table or column, or a column of another type.
    explicit JetFile(const QString& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    // The tables taken over, in the order they are read, and each one's
    // columns as the ledger names them.
    static const QStringList& tables();
    static QStringList columns(const QString& table);
    // Live rows, as the file counts them.
    qint64 rowCount(const QString& table) const;
    // Every live row of the table in the file's order, its values in the
    // order of columns(table). take returns false to stop.
    void read(const QString& table, const std::function<bool(const JetRow&)>& take) const;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// A Jet day number as the ledger's day ('YYYY-MM-DD') and moment
// ('YYYY-MM-DD HH:MM:SS', to the nearest second).
QString jetDay(double days);
QString jetMoment(double days);
