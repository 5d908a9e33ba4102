#include "ledger/ServerNotices.h"

#include "ledger/LedgerEvents.h"
#include "store/Connection.h"
#include "store/PgConnection.h"
#include "store/Statement.h"

#include <QSet>
#include <QSocketNotifier>

#include <algorithm>

namespace {

// A save elsewhere shows here within a second; the timer also finds the
// notices a statement read from the socket meanwhile.
constexpr int kPollMs = 200;
// The socket wakes a read no sooner than this after the last one, so a
// stream of notices rebuilds a view a few times a second at most.
constexpr int kGapMs = 100;
// More distinct changes than this in one read: every view is rebuilt once
// instead of once per change.
constexpr int kMostToldOneByOne = 50;
// A lost server is tried again every so many polls.
constexpr int kRetryTicks = 15;

}  // namespace

ServerNotices::ServerNotices(Connection& connection, LedgerEvents& events) : connection_(connection), events_(events)
{
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &ServerNotices::poll);
    timer_.start();
    soon_.setSingleShot(true);
    connect(&soon_, &QTimer::timeout, this, &ServerNotices::poll);
    sinceRead_.start();
    watchSocket();
}

ServerNotices::~ServerNotices() = default;

void ServerNotices::watchSocket()
{
    socket_.reset();
    const int socket = connection_.server().socket();
    if (socket < 0) return;
    socket_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(socket_.get(), &QSocketNotifier::activated, this, &ServerNotices::socketReady);
}

void ServerNotices::socketReady()
{
    // The socket stays ready until it is read: quiet until then.
    socket_->setEnabled(false);
    if (!soon_.isActive()) soon_.start(static_cast<int>(std::max<qint64>(0, kGapMs - sinceRead_.elapsed())));
}

void ServerNotices::tell(const QString& notice, LedgerEvents& events)
{
    const QStringList parts = notice.split(QLatin1Char(' '));
    const QString table = parts.value(0);
    const QDate day = QDate::fromString(parts.value(1), kStoredDateFormat);
    if (table == QLatin1String("sutgirisi"))
        emit events.entriesChanged(day, parts.value(2) == kindCode(LedgerKind::Payment) ? LedgerKind::Payment : LedgerKind::Intake);
    else if (table == QLatin1String("cariler"))
        emit events.accountsChanged();
    else if (table == QLatin1String("fabrika"))
        emit events.deliveriesChanged(day);
    else if (table == QLatin1String("fabrika_cari"))
        emit events.factoryPriceChanged();
    else if (table == QLatin1String("kesintiler") || table == QLatin1String("hakedisler") || table == QLatin1String("hakedis_satirlari"))
        emit events.settlementsChanged();
    else if (table == QLatin1String("degisiklikler"))
        emit events.historyChanged();
}

namespace {

// The notice as the change it tells: one text per distinct change, whatever
// rows or tables it came from; empty for a notice of no table of the ledger.
QString changeOf(const QString& notice)
{
    const QStringList parts = notice.split(QLatin1Char(' '));
    const QString table = parts.value(0);
    const QDate day = QDate::fromString(parts.value(1), kStoredDateFormat);
    const QString dayText = day.isValid() ? day.toString(kStoredDateFormat) : QString();
    if (table == QLatin1String("sutgirisi")) {
        const LedgerKind kind = parts.value(2) == kindCode(LedgerKind::Payment) ? LedgerKind::Payment : LedgerKind::Intake;
        return table + QLatin1Char(' ') + dayText + QLatin1Char(' ') + kindCode(kind);
    }
    if (table == QLatin1String("fabrika")) return table + QLatin1Char(' ') + dayText;
    if (table == QLatin1String("kesintiler") || table == QLatin1String("hakedis_satirlari")) return QStringLiteral("hakedisler");
    if (table == QLatin1String("cariler") || table == QLatin1String("fabrika_cari") || table == QLatin1String("hakedisler") ||
        table == QLatin1String("degisiklikler"))
        return table;
    return {};
}

// The same change of any day: "sutgirisi  S" for "sutgirisi 2026-12-10 S".
QString anyDayOf(const QString& change)
{
    QStringList parts = change.split(QLatin1Char(' '));
    if (parts.size() < 2) return {};
    parts[1].clear();
    return parts.join(QLatin1Char(' '));
}

}  // namespace

void ServerNotices::tellFolded(const QSet<QString>& notices, LedgerEvents& events)
{
    QSet<QString> changes;
    for (const QString& notice : notices)
        if (const QString change = changeOf(notice); !change.isEmpty()) changes.insert(change);
    if (changes.size() > kMostToldOneByOne) {
        tellAnything(events);
        return;
    }
    for (const QString& change : std::as_const(changes)) {
        // A change of any day already covers that day's.
        const QString anyDay = anyDayOf(change);
        if (!anyDay.isEmpty() && anyDay != change && changes.contains(anyDay)) continue;
        tell(change, events);
    }
}

void ServerNotices::tellAnything(LedgerEvents& events)
{
    emit events.accountsChanged();
    emit events.entriesChanged(QDate(), LedgerKind::Intake);
    emit events.entriesChanged(QDate(), LedgerKind::Payment);
    emit events.deliveriesChanged(QDate());
    emit events.factoryPriceChanged();
    emit events.settlementsChanged();
    emit events.historyChanged();
}

void ServerNotices::poll()
{
    sinceRead_.restart();
    PgConnection& server = connection_.server();
    if (!connected_) {
        if (--ticksToRetry_ > 0) return;
        ticksToRetry_ = kRetryTicks;
        if (!server.reconnect()) return;
    }
    QSet<QString> notices;
    const bool reached = server.takeNotices(notices);
    if (reached != connected_) {
        connected_ = reached;
        ticksToRetry_ = 0;
        emit connectionChanged(connected_);
        // What the others saved meanwhile sent no notice here: every view
        // on screen is rebuilt once.
        if (connected_) tellAnything(events_);
    }
    // A lost connection's socket reads as ready for ever, so it is watched
    // only while the server is there; a new connection has a new socket.
    if (!connected_)
        socket_.reset();
    else if (!socket_ || socket_->socket() != server.socket())
        watchSocket();
    else
        socket_->setEnabled(true);
    tellFolded(notices, events_);
}
