#pragma once

#include "ledger/Settlement.h"
#include "ledger/print/PagedDocument.h"

#include <QString>
#include <functional>
#include <memory>

class QPageLayout;
class QPagedPaintDevice;

// "Hakediş Pusulası": a producer's slip on A5, or two to an A4 page. It adds
// up with a calculator: milk by price, each deduction with its rate, net,
// brought forward, the period's payments, the amount to pay, and where the
// rounded parts differ from his ledger balance the rounding line.
std::unique_ptr<PagedDocument> layOutSlips(QPagedPaintDevice& device, const Settlement& settlement, bool twoPerA4);
// "Ödeme Listesi": the bank's payouts with their total, and apart those
// without a valid IBAN.
std::unique_ptr<PagedDocument> layOutPayoutList(QPagedPaintDevice& device, const Settlement& settlement,
                                                const PayoutList& payouts);

// Paints every page on the device (a printer); false when it cannot be
// painted on. Told before each page; false stops.
bool printPages(QPagedPaintDevice& device, const PagedDocument& pages,
                const std::function<bool(int done, int total)>& progress = {});
// Writes the pages a layout gives as a PDF file in place of `path`, whole
// or not at all: a failure, or a stop asked through progress, leaves the
// file that was there. Returns why it was not written, in Turkish (empty
// when it was).
QString writePagesPdf(const QString& path, const QPageLayout& layout, int resolution,
                      const std::function<std::unique_ptr<PagedDocument>(QPagedPaintDevice&)>& layOut,
                      const std::function<bool(int done, int total)>& progress = {});
