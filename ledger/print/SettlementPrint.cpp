#include "ledger/print/SettlementPrint.h"

// Laid out in the next change.
std::unique_ptr<PagedDocument> layOutSlips(QPagedPaintDevice&, const Settlement&, bool) { return nullptr; }
std::unique_ptr<PagedDocument> layOutPayoutList(QPagedPaintDevice&, const Settlement&, const PayoutList&) { return nullptr; }
bool printPages(QPagedPaintDevice&, const PagedDocument&) { return false; }
QString writePagesPdf(const QString&, const QPageLayout&, int, const std::function<std::unique_ptr<PagedDocument>(QPagedPaintDevice&)>&)
{
    return QStringLiteral("henüz yok");
}
