#include "common/DateTyping.h"

#include <algorithm>

namespace {

int maxLength(int part) { return part == DateText::Year ? 4 : 2; }

// A part left with one digit is written with two: 7 → 07.
void pad(DateText& t)
{
    if (t.part != DateText::Year && t.parts[t.part].size() == 1) t.parts[t.part].prepend(QLatin1Char('0'));
}

DateText moveTo(DateText t, int part)
{
    pad(t);
    return t.standingOn(part);
}

// A first digit that no longer day or month can start twice over: 4 to 9
// for the day, 2 to 9 for the month.
bool partIsDone(const DateText& t)
{
    const QString& p = t.parts[t.part];
    if (p.size() >= maxLength(t.part)) return true;
    if (p.size() != 1 || t.part == DateText::Year) return false;
    return p[0] > QLatin1Char(t.part == DateText::Day ? '3' : '1');
}

DateText step(DateText t, int by)
{
    const std::optional<QDate> day = t.date();
    if (!day) return t;
    const QDate next = t.part == DateText::Day ? day->addDays(by) : t.part == DateText::Month ? day->addMonths(by)
                                                                                               : day->addYears(by);
    DateText out = DateText::of(next);
    out.part = t.part;
    return out;
}

}  // namespace

DateText DateText::of(const QDate& date)
{
    DateText t;
    if (!date.isValid()) return t;
    t.parts[Day] = QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
    t.parts[Month] = QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'));
    t.parts[Year] = QString::number(date.year());
    return t;
}

QString DateText::display() const
{
    return parts[Day] + QLatin1Char('.') + parts[Month] + QLatin1Char('.') + parts[Year];
}

int DateText::partStart(int which) const
{
    int start = 0;
    for (int p = 0; p < which; ++p) start += partLength(p) + 1;
    return start;
}

int DateText::partAt(int position) const
{
    if (position <= partStart(Day) + partLength(Day)) return Day;
    if (position <= partStart(Month) + partLength(Month)) return Month;
    return Year;
}

DateText DateText::standingOn(int which) const
{
    DateText t = *this;
    t.part = std::clamp(which, 0, 2);
    t.fresh = true;
    t.movedOn = false;
    return t;
}

bool DateText::isTyping() const
{
    return !fresh && parts[part].size() < maxLength(part);
}

std::optional<QDate> DateText::date() const
{
    bool dayOk = false, monthOk = false, yearOk = false;
    const int day = parts[Day].toInt(&dayOk);
    const int month = parts[Month].toInt(&monthOk);
    int year = parts[Year].toInt(&yearOk);
    if (!dayOk || !monthOk || !yearOk) return std::nullopt;
    if (parts[Year].size() == 2)
        year += 2000;
    else if (parts[Year].size() != 4)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

DateText dateKeyPress(DateText t, DateKey key, QChar digit)
{
    const bool movedOn = t.movedOn;
    t.movedOn = false;
    QString& part = t.parts[t.part];
    switch (key) {
    case DateKey::Digit:
        if (!digit.isDigit()) return t;
        if (t.fresh || part.size() >= maxLength(t.part)) part.clear();
        part += digit;
        t.fresh = false;
        if (partIsDone(t) && t.part != DateText::Year) {
            t = moveTo(t, t.part + 1);
            t.movedOn = true;
        }
        return t;
    case DateKey::Separator:
        if (movedOn || t.part == DateText::Year) return t;
        return moveTo(t, t.part + 1);
    case DateKey::Backspace:
        if (t.fresh) {
            part.clear();
        } else if (!part.isEmpty()) {
            part.chop(1);
        } else if (t.part > DateText::Day) {
            --t.part;
        }
        t.fresh = false;
        return t;
    case DateKey::Delete:
        part.clear();
        t.fresh = false;
        return t;
    case DateKey::Left:
        return moveTo(t, t.part - 1);
    case DateKey::Right:
        return moveTo(t, t.part + 1);
    case DateKey::Home:
        return moveTo(t, DateText::Day);
    case DateKey::End:
        return moveTo(t, DateText::Year);
    case DateKey::Up:
        return step(t, 1);
    case DateKey::Down:
        return step(t, -1);
    }
    return t;
}
