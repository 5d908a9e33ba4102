#pragma once

#include <QDate>
#include <QString>
#include <optional>

// A date box's text while the collector types it: day, month and year as
// typed, so an impossible day (31.11.2026) stays what was typed, shown as
// wrong, and is never turned into another day.
struct DateText {
    enum Part { Day, Month, Year };
    QString parts[3];
    int part = Day;
    // The part is selected: the next digit starts it anew.
    bool fresh = true;
    // The last digit filled its part and moved on: a separator typed now
    // only confirms that move.
    bool movedOn = false;

    static DateText of(const QDate& date);
    // "05.03.2021"; a part being typed shows as typed: "5.03.2021".
    QString display() const;
    // Where each part stands in the display.
    int partStart(int which) const;
    int partLength(int which) const { return static_cast<int>(parts[which].size()); }
    // The day it names; none while it names no day of the calendar. A
    // two-digit year is of this century.
    std::optional<QDate> date() const;
    // The part under a position of the display.
    int partAt(int position) const;
    // The same text with that part selected, ready to be typed over.
    DateText standingOn(int which) const;
    // A part is half typed: not yet to be shown as wrong.
    bool isTyping() const;
};

enum class DateKey { Digit, Separator, Backspace, Delete, Left, Right, Home, End, Up, Down };
DateText dateKeyPress(DateText text, DateKey key, QChar digit = {});
