#pragma once

#include <QChar>
#include <QString>

// The keyboard rules of the entry boxes, as pure functions of a box's text,
// caret and selection. A typed character is a QChar: '\r' for Enter, '\b'
// for Backspace, control characters for Ctrl+letter.
inline constexpr QChar kEnter = QLatin1Char('\r');
inline constexpr QChar kBackspace = QLatin1Char('\b');
// The Delete key: the character after the caret.
inline constexpr QChar kDelete = QChar(0x7F);

struct EditState {
    QString text;
    int caret = 0;      // start of the selection
    int selection = 0;  // length of the selection
    bool operator==(const EditState&) const = default;
};

// What a typed character does to an amount box: the box's new state, or a
// move to the next control (Enter). A typed thousands mark stays as typed
// and means what the decimal parse reads it as: a group mark before three
// digits, the decimal separator anywhere else; it is refused where it
// would read as neither. Throws ConversionError when the regroup meets
// text the decimal parse rejects (pasted text); the box is then left as it
// was.
struct AmountKeyResult {
    EditState state;
    bool moveFocus = false;
};
// A box holds two decimals, or four for a rate.
AmountKeyResult amountKeyPress(const EditState& before, QChar key, int decimals = 2);

// Amount box text on entering ("#.##") and on leaving ("#,##0.00"); a
// rate's box with four decimals ("#.####", "#,##0.0000").
QString amountTextOnEnter(const QString& text, int decimals = 2);
QString amountTextOnLeave(const QString& text, int decimals = 2);

// The character a name box inserts for a typed one: a Turkish capital at
// the start of the text or of a word. Enter is not handled here.
QChar nameBoxCharacter(const QString& text, int caret, QChar typed);

// Where Enter (or Shift+Enter) moves a grid's current cell.
struct GridCell {
    int row = 0;
    int column = 0;
    bool operator==(const GridCell&) const = default;
};
GridCell gridEnter(GridCell current, int rowCount, int columnCount, bool shift);

// Odd rows (counted from 1) light yellow, even rows white.
struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};
Rgb gridRowColour(int rowNumber);
