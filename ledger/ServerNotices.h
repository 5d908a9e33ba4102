#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

class QSocketNotifier;

class Connection;
class LedgerEvents;

// On a server ledger, what the other desks and command-line runs save: the
// server's notices, read when the connection's socket has something (and a
// few times a second for those read meanwhile by a statement), folded into
// the distinct changes and told on the ledger's own notice board as if they
// were saved here, so every open view follows them. However many come, a
// view is rebuilt at most once per kind of change and read. It also watches
// the connection: a lost server is tried again every few seconds, and each
// change of state is told.
class ServerNotices : public QObject {
    Q_OBJECT
public:
    ServerNotices(Connection& connection, LedgerEvents& events);
    ~ServerNotices() override;

    // Reads everything that has come and tells it; the timer and the socket call it.
    void poll();

    // "<table> <day> <kind>" as the server sends it, told on events.
    static void tell(const QString& notice, LedgerEvents& events);
    // Every kind of change, of any day, told once.
    static void tellAnything(LedgerEvents& events);
    // The distinct notices of one read, told once each, or as tellAnything
    // when there are too many to tell one by one.
    static void tellFolded(const QSet<QString>& notices, LedgerEvents& events);

signals:
    void connectionChanged(bool connected);

private:
    void watchSocket();
    void socketReady();

    Connection& connection_;
    LedgerEvents& events_;
    QTimer timer_;
    // A read asked for by the socket, no sooner than a while after the last.
    QTimer soon_;
    QElapsedTimer sinceRead_;
    std::unique_ptr<QSocketNotifier> socket_;
    bool connected_ = true;
    int ticksToRetry_ = 0;
};
