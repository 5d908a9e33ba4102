#pragma once

#include <QObject>
#include <QTimer>

class Connection;
class LedgerEvents;

// On a server ledger, what the other desks and command-line runs save: the
// server's notices, read a few times a second, told on the ledger's own
// notice board as if they were saved here, so every open view follows them.
// It also watches the connection: a lost server is tried again every few
// seconds, and each change of state is told.
class ServerNotices : public QObject {
    Q_OBJECT
public:
    ServerNotices(Connection& connection, LedgerEvents& events);

    // Reads what has come and tells it; the timer calls it.
    void poll();

    // "<table> <day> <kind>" as the server sends it, told on events.
    static void tell(const QString& notice, LedgerEvents& events);
    // Every kind of change, of any day, told once.
    static void tellAnything(LedgerEvents& events);

signals:
    void connectionChanged(bool connected);

private:
    Connection& connection_;
    LedgerEvents& events_;
    QTimer timer_;
    bool connected_ = true;
    int ticksToRetry_ = 0;
};
