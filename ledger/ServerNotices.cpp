#include "ledger/ServerNotices.h"

#include "ledger/LedgerEvents.h"
#include "store/Connection.h"
#include "store/PgConnection.h"
#include "store/Statement.h"

#include <QSet>

namespace {

// A save elsewhere shows here within a second.
constexpr int kPollMs = 200;
// A lost server is tried again every so many polls.
constexpr int kRetryTicks = 15;

}  // namespace

ServerNotices::ServerNotices(Connection& connection, LedgerEvents& events) : connection_(connection), events_(events)
{
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &ServerNotices::poll);
    timer_.start();
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
    PgConnection& server = connection_.server();
    if (!connected_) {
        if (--ticksToRetry_ > 0) return;
        ticksToRetry_ = kRetryTicks;
        if (!server.reconnect()) return;
    }
    QStringList notices;
    const bool reached = server.takeNotices(notices);
    if (reached != connected_) {
        connected_ = reached;
        ticksToRetry_ = 0;
        emit connectionChanged(connected_);
        // What the others saved meanwhile sent no notice here: every view
        // on screen is rebuilt once.
        if (connected_) tellAnything(events_);
    }
    // A transaction's many rows of one day tell it once.
    QSet<QString> told;
    for (const QString& notice : notices)
        if (!told.contains(notice)) {
            told.insert(notice);
            tell(notice, events_);
        }
}
