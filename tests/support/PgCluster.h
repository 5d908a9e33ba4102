#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A throwaway PostgreSQL 15 cluster for one test: its own folder, Turkish ICU
// order by default, reachable only over a Unix socket in that folder, stopped
// and removed with the object.
class PgCluster {
public:
    PgCluster();
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // Why the cluster cannot exist on this machine (no server programs, no
    // user to run them as); empty when it can. The test skips on it.
    const QString& absent() const { return absent_; }
    // What went wrong starting it, with the programs' output; empty when it
    // runs. The test fails on it.
    const QString& failure() const { return failure_; }
    bool running() const { return absent_.isEmpty() && failure_.isEmpty(); }

    // libpq's connection text for the cluster's database.
    QString conninfo() const;

private:
    bool run(const QString& program, const QStringList& arguments);

    QString binDir_;
    bool asPostgres_ = false;
    QTemporaryDir dir_;
    bool started_ = false;
    QString absent_;
    QString failure_;
};
