#include "store/ServerCopy.h"

#include "Files.h"
#include "PgCluster.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/PgConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Copies made by pg_dump of databases crafted in the test: a ledger the
// program made, with or without something planted beside its own objects.
class ServerRestoreTest : public PgClusterTest {
protected:
    QString database(const QString& name) const
    {
        return cluster->conninfo().replace(QStringLiteral("dbname=kovanta"), QStringLiteral("dbname=") + name);
    }

    // A new database; a ledger made in it by the program unless bare.
    QString source(const QString& name, bool ledger)
    {
        db.exec(QStringLiteral("CREATE DATABASE ") + name);
        if (ledger) {
            Connection made;
            made.openServer(database(name), [](const QString&) { return true; });
            PgConnection rows;
            rows.open(database(name));
            rows.exec(QStringLiteral("INSERT INTO Cariler (Kodu, Adi) VALUES ('K1', 'Şükrü')"));
        }
        return database(name);
    }

    QString dump(const QString& conninfo, const QString& file)
    {
        const QString bin = qEnvironmentVariable("KOVANTA_PG_BINDIR", QStringLiteral("/usr/lib/postgresql/15/bin"));
        QProcess pgDump;
        pgDump.start(bin + QStringLiteral("/pg_dump"),
                     {QStringLiteral("--format=custom"), QStringLiteral("--file=") + file, QStringLiteral("--dbname=") + conninfo});
        EXPECT_TRUE(pgDump.waitForFinished(-1));
        EXPECT_EQ(pgDump.exitCode(), 0) << pgDump.readAllStandardError().toStdString();
        return file;
    }

    // Whatever a restore could have left: relations, functions, triggers.
    static qint64 objectsIn(const QString& conninfo)
    {
        PgConnection target;
        target.open(conninfo);
        return target
            .exec(QStringLiteral("SELECT (SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                 "WHERE n.nspname = 'public') + (SELECT count(*) FROM pg_proc p JOIN pg_namespace n "
                                 "ON n.oid = p.pronamespace WHERE n.nspname = 'public') + (SELECT count(*) FROM pg_collation c "
                                 "JOIN pg_namespace n ON n.oid = c.collnamespace WHERE n.nspname = 'public')"))
            .value(0)
            .value(0)
            .toLongLong();
    }

    QTemporaryDir dir;
};

// A ledger's own copy comes back whole, read as a file even when its name
// looks like an option of the restoring program.
TEST_F(ServerRestoreTest, ALedgersOwnCopyRestoresWhole)
{
    dump(source(QStringLiteral("defter"), true), dir.filePath(QStringLiteral("-d.dump")));
    db.exec(QStringLiteral("CREATE DATABASE hedef"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    try {
        restoreServerCopy(database(QStringLiteral("hedef")), QStringLiteral("-d.dump"));
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
    QDir::setCurrent(previous);
    PgConnection target;
    target.open(database(QStringLiteral("hedef")));
    EXPECT_EQ(target.exec(QStringLiteral("SELECT Adi FROM Cariler WHERE Kodu = 'K1'")).value(0).value(0).toString(), QStringLiteral("Şükrü"));
    // The notices and the change marks came along: they are the ledger's.
    EXPECT_EQ(target.exec(QStringLiteral("SELECT count(*) FROM pg_trigger WHERE NOT tgisinternal")).value(0).value(0).toLongLong(),
              target.exec(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public' AND tablename NOT IN "
                                         "('kovanta_surum', 'kayit_izleri')")).value(0).value(0).toLongLong());
    Connection opened;
    EXPECT_EQ(opened.openServer(database(QStringLiteral("hedef")), [](const QString&) { return false; }), Connection::ServerOutcome::Opened);
}

// Each copy refused whole before anything is written: the target database
// keeps no table, no function, no trigger.
TEST_F(ServerRestoreTest, ACopyHoldingMoreThanTheLedgerIsRefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char* name;
        bool ledger;
        const char* planted;
        // The entry the refusal names.
        const char* stranger;
    };
    const Case cases[] = {
        {"an extra trigger on the intake", true,
         "CREATE FUNCTION eksilt() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN NEW.Gelir_Toplam_Tutar := NEW.Gelir_Toplam_Tutar * 0.9; "
         "RETURN NEW; END $$; CREATE TRIGGER eksilt BEFORE INSERT ON SutGirisi FOR EACH ROW EXECUTE FUNCTION eksilt();",
         "FUNCTION public eksilt()"},
        {"an extra table", true, "CREATE TABLE Fazla (x integer); INSERT INTO Fazla VALUES (1);", "TABLE public fazla "},
        {"a function run by a CHECK constraint", true,
         "CREATE TABLE Izler (n integer); "
         "CREATE FUNCTION yoklar(text) RETURNS boolean LANGUAGE plpgsql AS $$ BEGIN INSERT INTO Izler VALUES (1); RETURN true; END $$; "
         "ALTER TABLE Cariler ADD CONSTRAINT yoklama CHECK (yoklar(Kodu));", "FUNCTION public yoklar(text)"},
        {"a function run by a CHECK constraint, with no table of its own", true,
         "CREATE FUNCTION yoklar(text) RETURNS boolean LANGUAGE sql AS $$ SELECT true $$; "
         "ALTER TABLE Cariler ADD CONSTRAINT yoklama CHECK (yoklar(Kodu));", "FUNCTION public yoklar(text)"},
        {"an extra index on a ledger table", true, "CREATE INDEX Fazla_Dizin ON Cariler (Adi);", "INDEX public fazla_dizin"},
        {"a ledger's trigger on another table", true,
         "CREATE TRIGGER fazla_degisti AFTER INSERT ON Kovanta_Surum FOR EACH ROW EXECUTE FUNCTION kovanta_degisti();",
         "TRIGGER public kovanta_surum fazla_degisti"},
        {"a ledger's function made to do more", true,
         "CREATE OR REPLACE FUNCTION tr_lower(text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT lower($1 COLLATE tr) || pg_sleep(0)::text $$;",
         "tr_lower(text) işlevi"},
        {"the change marks' function made to do more", true,
         "CREATE OR REPLACE FUNCTION kovanta_degisti() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS $$ BEGIN RETURN NULL; END $$;",
         "kovanta_degisti() işlevi"},
        {"the exact sum's aggregate on another step", true,
         "DROP AGGREGATE total(double precision); CREATE AGGREGATE total(double precision) (SFUNC = float8mi, STYPE = double precision, INITCOND = '0');",
         "total(double precision) işlevi"},
        {"another database's tables", false,
         "CREATE TABLE Cariler (Kodu text PRIMARY KEY, Adi text); CREATE TABLE Musteriler (No integer PRIMARY KEY, Ad text); "
         "INSERT INTO Cariler VALUES ('K1', 'x');", "TABLE public musteriler"},
        {"a ledger in another schema", false, "CREATE SCHEMA baska; CREATE TABLE baska.Cariler (Kodu text);", "SCHEMA - baska"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QStringLiteral("kaynak%1").arg(++n);
        const QString from = source(name, c.ledger);
        PgConnection planting;
        planting.open(from);
        planting.script(QString::fromUtf8(c.planted));
        const QString copy = dump(from, dir.filePath(name + QStringLiteral(".dump")));
        const QString target = QStringLiteral("hedef%1").arg(n);
        db.exec(QStringLiteral("CREATE DATABASE ") + target);
        bool refused = false;
        try {
            restoreServerCopy(database(target), copy);
        } catch (const ForeignCopy& error) {
            refused = true;
            EXPECT_NE(std::string(error.what()).find("hiçbir şey yazılmadı"), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.stranger), std::string::npos) << error.what();
        } catch (const std::exception& error) {
            ADD_FAILURE() << "refused, but not as a foreign copy: " << error.what();
        }
        EXPECT_TRUE(refused);
        EXPECT_EQ(objectsIn(database(target)), 0) << "written by a refused copy";
    }
}

}  // namespace
