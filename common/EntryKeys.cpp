#include "common/EntryKeys.h"

#include "common/Conversions.h"
#include "common/Regional.h"
#include "common/TurkishText.h"

#include <algorithm>
#include <optional>

namespace {

// Digits allowed before the decimal separator. Thirteen of them and two
// decimals make fifteen significant digits, all a double keeps exactly, so
// the box always shows the very number that was typed.
constexpr int kMaxWholeDigits = 13;
// Digits a money amount, litre or price carries after the separator.
constexpr int kMaxDecimals = 2;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int wholeDigits(const QString& text, QChar decimalSeparator)
{
    int count = 0;
    for (const QChar c : text) {
        if (c == decimalSeparator) break;
        if (isDigit(c)) ++count;
    }
    return count;
}

// What a character that got through does at the caret: a digit or the
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

}  // namespace

AmountKeyResult amountKeyPress(const EditState& before, QChar typed)
{
    const RegionalSettings& r = regional();
    const QChar decimal = r.decimalSeparator;
    // Nobody types the grouping mark, which comes by itself: a "." (the
    // keypad's, or a habit) means the decimals, never 105 for 10.5.
    const QChar key = typed == r.thousandSeparator ? decimal : typed;

    if (key == kEnter) return {before, true};

    EditState t = before;
    auto length = static_cast<int>(t.text.size());
    t.caret = std::clamp(t.caret, 0, length);
    t.selection = std::clamp(t.selection, 0, length - t.caret);

    const bool accepted = key == kBackspace || isDigit(key) || key == decimal;
    if (accepted && t.selection > 0) {
        // What is typed over a selection replaces it, whatever the box
        // holds: the collector types over the price carried into the box.
        t.text.remove(t.caret, t.selection);
        t.selection = 0;
        // A selection over the separator would join the decimals to the
        // whole part.
        const int whole = wholeDigits(t.text, decimal);
        if (whole > kMaxWholeDigits && whole > wholeDigits(before.text, decimal)) return {before, false};
        if (key == kBackspace) {
            if (t.text.contains(decimal)) return {t, false};
            const std::optional<QString> digits = plainDigits(t.text);
            if (!digits || digits->isEmpty() || t.text.isEmpty()) return {t, false};
            const int after = static_cast<int>(t.text.size()) - t.caret;
            return {grouped(*digits, static_cast<int>(digits->size()), after), false};
        }
    }
    if (accepted && t.text.isEmpty()) return {act(t, key), false};
    length = static_cast<int>(t.text.size());

    const int after = length - t.caret - t.selection;
    bool cancelled = !accepted;

    const auto p = static_cast<int>(t.text.indexOf(decimal)) + 1;  // 1-based, 0 when none
    if (!cancelled && p > 0 && length == p + kMaxDecimals && key != kBackspace) cancelled = true;
    if (!cancelled && key == decimal && p > 0) cancelled = true;
    // Put in the middle of a number, the separator would leave more
    // decimals than the box ever holds.
    if (!cancelled && key == decimal && after > kMaxDecimals) cancelled = true;

    if (p > 0) {
        // No regroup while there is a separator; a key that would make the
        // whole part longer than the limit (a digit, or Backspace joining
        // the decimals to it) does nothing.
        if (!cancelled) {
            const EditState result = act(t, key);
            const int whole = wholeDigits(result.text, decimal);
            if (whole > kMaxWholeDigits && whole > wholeDigits(t.text, decimal)) return {t, false};
            return {result, false};
        }
        return {t, false};
    }
    if (key == decimal && !cancelled) return {act(t, key), false};

    const std::optional<QString> digits = plainDigits(t.text);
    if (!digits) {
        // More than fifteen digits (pasted): there is nothing sensible to
        // regroup; the box can still be shortened.
        return {key == kBackspace ? act(t, key) : before, false};
    }
    if (!cancelled && key != kBackspace && wholeDigits(*digits, decimal) + 1 > kMaxWholeDigits) cancelled = true;

    const auto digitsAfterKey = static_cast<int>(digits->size()) + (key == kBackspace ? -1 : 1);
    const EditState regrouped = grouped(*digits, digitsAfterKey, after);
    if (cancelled) return {regrouped, false};
    return {act(regrouped, key), false};
}

QString amountTextOnEnter(const QString& text) { return formatFloat(kTypingPattern, parseDecimal(text)); }

QString amountTextOnLeave(const QString& text) { return formatFloat(kAmountPattern, parseDecimal(text)); }

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
