#pragma once

#include "common/Money.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The slip the producer takes home after each pour is saved at the counter:
// on a receipt printer's roll, or as a PDF of the roll's width. It only
// prints; nothing here reads or changes the ledger.
struct SlipData {
    QString heading;        // the collector's heading, the first line
    QDateTime moment;       // day and time of the save
    QString code, name;     // producer
    bool evening = false;   // "Sabah" or "Akşam"
    double litres = 0;      // the pour's litres, as stored
    double price = 0;       // per litre, as stored
    std::optional<double> fat, protein;  // %, when measured
    QString grade;          // hygiene grade, when graded
    Money amount;           // the pour's money, exact
    double monthLitres = 0; // the producer's litres this month so far, this pour included
    QString footer;         // a last line such as "Teşekkür ederiz"; none when empty
};

// The roll: 32 or 48 characters a line in the printer's font A.
enum class SlipWidth { Mm58, Mm80 };
int slipColumns(SlipWidth width);
// The roll's width in millimetres, and the width the head prints across.
double slipPaperMm(SlipWidth width);
double slipPrintMm(SlipWidth width);

// The number ESC t takes for PC857 on Epson's printers and on most of those
// that copy them; a printer that numbers its tables otherwise prints the
// Turkish letters wrong, and its manual's table says the number to put here.
inline constexpr int kEscPosPc857 = 13;

// The slip as text lines of at most the roll's columns, each character one
// column: what escPosSlip prints, before the printer's commands.
QStringList slipLines(const SlipData& slip, SlipWidth width);

// ESC @, ESC t for PC857, the lines (the heading and the amount in bold),
// a feed past the tear bar and GS V's cut.
QByteArray escPosSlip(const SlipData& slip, SlipWidth width);

// The slip on one PDF page of the roll's width and the slip's own height,
// written whole or not at all. Returns why it was not written, in Turkish
// (empty when it was).
QString writeSlipPdf(const SlipData& slip, SlipWidth width, const QString& path);

// The longest sendSlip waits on a printer or on lp, in milliseconds: a
// printer that is off or a stalled CUPS holds the counter's window no longer.
inline constexpr int kSlipSendLimitMs = 5000;

// Sends the printer's bytes to `target`: a device file (/dev/usb/lp0, a
// serial port, a pty) written whole, or "kuyruk:NAME" for a CUPS queue, given
// raw to `lp -d NAME -o raw`. Returns what to check, in Turkish (empty when
// sent). A failure here leaves the ledger as it was: the pour stays saved.
QString sendSlip(const QByteArray& bytes, const QString& target, int limitMs = kSlipSendLimitMs);

// The text in code page PC857, one byte a character: what the table lacks,
// and control characters a name could smuggle to the printer, become '?'.
QByteArray toPc857(const QString& text);
