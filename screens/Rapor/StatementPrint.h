#pragma once

#include "screens/Rapor/Ekstre.h"

#include <vector>

class QPagedPaintDevice;

// Lays statements out on the pages of a printer or a PDF file: each one
// starts on a new page, long ones go on over more pages with the column
// titles again, and every page carries the producer and "Sayfa n/m" of
// its statement. A5 keeps a readable type by setting two figures in one
// column; a long note goes on over more lines. False when the device
// cannot be painted on.
bool printStatements(QPagedPaintDevice& device, const std::vector<AccountStatement>& statements);
