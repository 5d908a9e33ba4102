#pragma once

#include <QString>

class Connection;

// A ledger's identity: a random value made once and kept in its own file, so
// that its copies, wherever they lie beside another ledger's, are told apart.
// It lives in a small table of its own outside the schema's versions: a file
// of any version gets it the first time it is asked for, and a program that
// does not know it reads the file as before.

// The ledger's identity, made and stored (one synced write) the first time,
// with the file it was made for; a file found elsewhere than that, a copied
// folder, gets an identity of its own and says where it was copied from.
struct LedgerIdentity {
    QString value;
    QString copiedFrom;
};
LedgerIdentity ledgerIdentity(const Connection& connection);

// The identity kept in a file (a copy); empty when it has none or cannot be
// read. Opened read-only, never through a link.
QString fileIdentity(const QString& path);
