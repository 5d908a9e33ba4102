#include "common/EntryKeys.h"

#include "common/Conversions.h"
#include "common/Regional.h"
#include "common/TurkishText.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Digits allowed before the decimal separator and after it make fifteen
// significant digits, all a double keeps exactly, so the box always shows
// the very number that was typed: thirteen whole digits for two decimals.
constexpr int kSignificantDigits = 15;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Where the text's characters read as the decimal separator: a typed "."
// that no three digits follow is one too.
std::vector<qsizetype> decimalMarks(const QString& text)
{
    std::vector<qsizetype> marks;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isDecimalMark(text, i)) marks.push_back(i);
    return marks;
}

bool hasDotMark(const QString& text)
{
    for (const qsizetype i : decimalMarks(text))
        if (text[i] == regional().thousandSeparator) return true;
    return false;
}

int wholeDigits(const QString& text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isDecimalMark(text, i)) break;
        if (isDigit(text[i])) ++count;
    }
    return count;
}

// What a character that got through does at the caret: a digit or a
// separator replaces the selection, Backspace deletes the selection or the
// character before the caret.
EditState act(const EditState& s, QChar key)
{
    EditState out = s;
    if (key == kBackspace) {
        if (s.selection > 0) {
            out.text.remove(s.caret, s.selection);
        } else if (s.caret > 0) {
            out.text.remove(s.caret - 1, 1);
            out.caret = s.caret - 1;
        }
    } else {
        out.text.replace(s.caret, s.selection, key);
        out.caret = s.caret + 1;
    }
    out.selection = 0;
    return out;
}

// The plain digits of a whole number as the box reads it; none past
// fifteen digits, where the general form is no longer plain digits.
std::optional<QString> plainDigits(const QString& text)
{
    const QString s = generalNumber(parseDecimal(text));
    if (s.contains(regional().decimalSeparator) || s.contains(QLatin1Char('E'))) return std::nullopt;
    return s;
}

QString digitsOf(const QString& text)
{
    QString digits;
    for (const QChar c : text)
        if (isDigit(c)) digits += c;
    return digits;
}

// The digits grouped for the count they will have once a key has acted,
// the groups placed for the end of the text, with `after` characters
// following the caret.
EditState grouped(QString s, int digitsAfterKey, int after)
{
    for (int i = 1; i <= digitsAfterKey - 1; ++i)
        if (i % 3 == 0) s.insert(digitsAfterKey - i, regional().thousandSeparator);  // 1-based M - i + 1
    EditState out;
    out.text = s;
    out.caret = std::clamp(static_cast<int>(s.size()) - after, 0, static_cast<int>(s.size()));
    return out;
}

QString groupedDigits(const QString& digits)
{
    return grouped(digits, static_cast<int>(digits.size()), 0).text;
}

// A deletion or an insertion must not turn a group mark into a decimal
// separator: "1.234,5" with its comma deleted is 12.345, not 1,2345. Where
// the dots that grouped the whole part no longer do, it is grouped again;
// the characters after the caret stay after it.
EditState keepGroupsGroups(const QString& before, const EditState& edited, int decimals)
{
    const QString& text = edited.text;
    const std::vector<qsizetype> marks = decimalMarks(text);
    if (marks.empty()) return edited;
    const QChar dot = regional().thousandSeparator;
    const qsizetype last = marks.back();
    const auto after = static_cast<int>(text.size()) - edited.caret;
    QString tidy;
    if (text[last] == dot && (text.size() - last - 1 > decimals || !hasDotMark(before))) {
        // The last dot grouped digits: the text is a whole number.
        tidy = groupedDigits(digitsOf(text));
    } else {
        const QString whole = text.left(last);
        bool dotMarks = false;
        for (const qsizetype m : marks) {
            if (m == last) break;
            if (text[m] != dot) return edited;  // two commas: pasted, left as it is
            dotMarks = true;
        }
        if (!dotMarks) return edited;
        tidy = groupedDigits(digitsOf(whole)) + text.mid(last);
    }
    EditState out;
    out.text = tidy;
    out.caret = std::clamp(static_cast<int>(tidy.size()) - after, 0, static_cast<int>(tidy.size()));
    return out;
}

// Groups placed for one digit more or less than the text ends up with
// ("12.345" and a refused letter, "1.234" and a digit typed after the 1)
// would leave a dot that reads as the decimal point: the whole number is
// grouped for its own digits instead, the caret kept before the same
// characters.
EditState wholeNumber(const EditState& s)
{
    if (decimalMarks(s.text).empty()) return s;
    const QString digits = digitsOf(s.text);
    return grouped(digits, static_cast<int>(digits.size()), static_cast<int>(s.text.size()) - s.caret);
}

// A typed "." goes in where it reads unambiguously: as a group mark before
// three digits, or as the one decimal separator with no more decimals
// after it than the box holds.
std::optional<EditState> typedDot(const EditState& s, int decimals)
{
    const int maxWholeDigits = kSignificantDigits - decimals;
    const EditState out = act(s, regional().thousandSeparator);
    const std::vector<qsizetype> marks = decimalMarks(out.text);
    if (marks.size() > 1) return std::nullopt;
    if (!marks.empty() && out.text.size() - marks.front() - 1 > decimals) return std::nullopt;
    if (wholeDigits(out.text) > maxWholeDigits && wholeDigits(out.text) > wholeDigits(s.text)) return std::nullopt;
    return out;
}

// Delete: the selection, or the character after the caret (a group mark
// is passed over to the digit behind it), and the whole part grouped again
// for the digits left. Which mark is the decimal one is decided before the
// deletion: "1.234" with its 3 deleted is 124, never 1,24.
EditState deletedForward(const EditState& before)
{
    const auto size = static_cast<int>(before.text.size());
    const int from = std::clamp(before.caret, 0, size);
    int to = std::clamp(from + before.selection, from, size);
    if (to == from) {
        if (from < size && before.text[from] == regional().thousandSeparator && isGroupMark(before.text, from)) ++to;
        if (to < size) ++to;
        if (to == from) return before;
    }
    const std::vector<qsizetype> marks = decimalMarks(before.text);
    // Pasted text that no typing makes (two separators, more digits than a
    // figure holds) is only shortened.
    if (marks.size() > 1 || digitsOf(before.text).size() > kSignificantDigits) return act({before.text, from, to - from}, kBackspace);
    qsizetype decimalAt = marks.empty() ? -1 : marks.front();
    if (decimalAt >= to) decimalAt -= to - from;
    else if (decimalAt >= from) decimalAt = -1;
    QString text = before.text;
    text.remove(from, to - from);
    const auto after = static_cast<int>(text.size()) - from;
    const QString whole = decimalAt < 0 ? text : text.left(decimalAt);
    const QString tidy = groupedDigits(digitsOf(whole)) + (decimalAt < 0 ? QString() : text.mid(decimalAt));
    return {tidy, std::clamp(static_cast<int>(tidy.size()) - after, 0, static_cast<int>(tidy.size())), 0};
}

}  // namespace

AmountKeyResult amountKeyPress(const EditState& before, QChar key, int decimals)
{
    const int maxDecimals = decimals;
    const int maxWholeDigits = kSignificantDigits - decimals;
    const RegionalSettings& r = regional();
    const QChar decimal = r.decimalSeparator;
    const QChar dot = r.thousandSeparator;

    if (key == kEnter) return {before, true};
    if (key == kDelete) return {deletedForward(before), false};

    EditState t = before;
    auto length = static_cast<int>(t.text.size());
    t.caret = std::clamp(t.caret, 0, length);
    t.selection = std::clamp(t.selection, 0, length - t.caret);

    const bool accepted = key == kBackspace || isDigit(key) || key == decimal || key == dot;
    if (accepted && t.selection > 0) {
        // What is typed over a selection replaces it, whatever the box
        // holds: the collector types over the price carried into the box.
        t = keepGroupsGroups(before.text, act(t, kBackspace), decimals);
        // A selection over the separator would join the decimals to the
        // whole part.
        const int whole = wholeDigits(t.text);
        if (whole > maxWholeDigits && whole > wholeDigits(before.text)) return {before, false};
        if (key == kBackspace) {
            if (!decimalMarks(t.text).empty()) return {t, false};
            const std::optional<QString> digits = plainDigits(t.text);
            if (!digits || digits->isEmpty() || t.text.isEmpty()) return {t, false};
            const int after = static_cast<int>(t.text.size()) - t.caret;
            return {grouped(*digits, static_cast<int>(digits->size()), after), false};
        }
    }
    if (accepted && t.text.isEmpty()) return {act(t, key), false};
    if (key == dot) {
        const std::optional<EditState> out = typedDot(t, decimals);
        return {out ? *out : t, false};
    }
    length = static_cast<int>(t.text.size());

    const int after = length - t.caret - t.selection;
    bool cancelled = !accepted;

    const std::vector<qsizetype> marks = decimalMarks(t.text);
    const auto p = marks.empty() ? 0 : static_cast<int>(marks.front()) + 1;  // 1-based, 0 when none
    if (!cancelled && p > 0 && length == p + maxDecimals && key != kBackspace) {
        // All the decimals: only deleting, except that a third digit typed at
        // the end turns a typed "." into the group mark it was ("12.500").
        const bool groupsTheDot = t.text[p - 1] == dot && isDigit(key) && after == 0;
        if (!groupsTheDot) cancelled = true;
    }
    if (!cancelled && key == decimal && p > 0) cancelled = true;
    // Put in the middle of a number, the separator would leave more
    // decimals than the box ever holds.
    if (!cancelled && key == decimal && after > maxDecimals) cancelled = true;

    if (p > 0) {
        // No regroup while there is a separator; a key that would make the
        // whole part longer than the limit (a digit, or Backspace joining
        // the decimals to it) does nothing.
        if (!cancelled) {
            const EditState result = keepGroupsGroups(t.text, act(t, key), decimals);
            const int whole = wholeDigits(result.text);
            if (whole > maxWholeDigits && whole > wholeDigits(t.text)) return {t, false};
            return {result, false};
        }
        return {t, false};
    }
    if (key == decimal && !cancelled) return {keepGroupsGroups(t.text, act(t, key), decimals), false};

    const std::optional<QString> digits = plainDigits(t.text);
    if (!digits) {
        // More than fifteen digits (pasted): there is nothing sensible to
        // regroup; the box can still be shortened.
        return {key == kBackspace ? act(t, key) : before, false};
    }
    if (!cancelled && key != kBackspace && static_cast<int>(digits->size()) + 1 > maxWholeDigits) cancelled = true;

    const auto digitsAfterKey = static_cast<int>(digits->size()) + (key == kBackspace ? -1 : 1);
    const EditState regrouped = grouped(*digits, digitsAfterKey, after);
    return {wholeNumber(cancelled ? regrouped : act(regrouped, key)), false};
}

QString amountTextOnEnter(const QString& text, int decimals)
{
    return formatFloat(decimals == kRateTypingPattern.decimals ? kRateTypingPattern : kTypingPattern, parseDecimal(text));
}

QString amountTextOnLeave(const QString& text, int decimals)
{
    return formatFloat(decimals == kRatePattern.decimals ? kRatePattern : kAmountPattern, parseDecimal(text));
}

QChar nameBoxCharacter(const QString& text, int caret, QChar typed)
{
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    if (caret > 0 && text[caret - 1] != QLatin1Char(' ')) return typed;
    return turkishCapital(typed);
}

GridCell gridEnter(GridCell current, int rowCount, int columnCount, bool shift)
{
    if (columnCount <= 0) return current;
    const int lastColumn = columnCount - 1;
    if (!shift) {
        if (current.column < lastColumn) return {current.row, current.column + 1};
        if (current.row < rowCount - 1) return {current.row + 1, 0};
        return {current.row, 0};
    }
    if (current.column > 0) return {current.row, current.column - 1};
    if (current.row > 0) return {current.row - 1, lastColumn};
    return {current.row, lastColumn};
}

Rgb gridRowColour(int rowNumber)
{
    if (rowNumber >= 1 && rowNumber % 2 == 1) return {255, 255, 192};
    return {255, 255, 255};
}
