#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "store/PgConnection.h"

#include <gtest/gtest.h>

#include <memory>

// A throwaway PostgreSQL 15 cluster for one test: its own folder, Turkish ICU
// order by default, reachable only over a Unix socket in that folder, stopped
// and removed with the object.
class PgCluster {
public:
    // Tests need no commit to reach the disk; a measurement of saves does.
    enum class Commits { Unsynced, Durable };
    explicit PgCluster(Commits commits = Commits::Unsynced);
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

// A test on its own cluster, skipped where the server programs are absent,
// with a connection to its database.
class PgClusterTest : public testing::Test {
protected:
    void SetUp() override
    {
        cluster = std::make_unique<PgCluster>();
        if (!cluster->absent().isEmpty()) GTEST_SKIP() << "no PostgreSQL server here: " << cluster->absent().toStdString();
        ASSERT_TRUE(cluster->running()) << cluster->failure().toStdString();
        db.open(cluster->conninfo());
    }

    std::unique_ptr<PgCluster> cluster;
    PgConnection db;
};
