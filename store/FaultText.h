#pragma once

#include <QString>
#include <string>

// When the fault happened: during work an entry stays in its boxes, so the
// sentence says so; the day's copy at the start has no boxes.
enum class FaultMoment { Work, Copy };

// What the collector reads when the engine reports a file fault: one Turkish
// sentence saying what happened and what to do. Empty for the codes that are
// not file faults (a wrong statement, a broken rule), which keep the engine's
// own text alone.
QString faultSentence(int code, FaultMoment moment = FaultMoment::Work);

// The text of an error raised by the engine: the Turkish sentence, an empty
// line and the engine's own text; the engine's text alone when there is no
// sentence for the code.
std::string engineErrorText(int code, const QString& engineText, FaultMoment moment = FaultMoment::Work);

// What the collector reads when a desk cannot connect to the server ledger:
// one Turkish sentence naming what to mend on the desk or the server, judged
// from the client library's own text (English whatever the locale). Empty
// when that text names nothing a desk's set-up can mend.
QString serverConnectionSentence(const QString& clientText);
