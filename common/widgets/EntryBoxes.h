#pragma once

#include "common/DateTyping.h"

#include <QLineEdit>

// A box for litres, prices and money: only digits and one decimal separator
// are typed, whole numbers are grouped as they are typed, and the text is
// rewritten as "#.##" on entering and as "#,##0.00" on leaving.
class AmountEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountEdit(QWidget* parent = nullptr);

    // A text in the leaving form ("12,50", "0,00" for ",00") where that is
    // the same number; empty stays empty. What the collector typed still
    // counts as typed.
    void showAsLeft();
    // Four for a rate in percent; two otherwise.
    void setDecimals(int decimals) { decimals_ = decimals; }
    // A box where empty means "not measured" stays empty when left, rather
    // than showing 0,00.
    void setEmptyKept(bool kept) { emptyKept_ = kept; }
    // Right-aligned, as wide as its widest figure with `room` to spare.
    void fitFigure(const QString& widest, int room);

signals:
    // The text was rewritten on leaving; not sent when it could not be read.
    void left();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Text from an input method or a dead key goes through the key rules too.
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void typeCharacter(QChar key);

    int decimals_ = 2;
    bool emptyKept_ = false;
};

// A name box: the first letter of every word is written as a Turkish
// capital; Enter moves on.
class NameEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void typeCharacter(QChar key);
};

// The telephone box with the pattern (999)000-00-00. A 0 typed first is
// the trunk prefix and goes; a digit past the last place is refused with a
// message, blanks and dashes typed by habit are passed over. Leaving it
// changed with a required digit missing is refused; Escape abandons the
// changes.
class PhoneEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PhoneEdit(QWidget* parent = nullptr);

    // The display text, "(___)456-78-90"; empty while no digit is held.
    QString display() const;
    void setDisplay(const QString& display);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString textOnEntering_;
    // Set while the focus is sent back after a refused leaving, so that
    // coming back does not count as a fresh entering.
    bool refused_ = false;
};

// A date picker in the short date form with a drop-down calendar (F4 or
// Alt+Down). Entered from the keyboard it stands on the day; a typed
// separator moves on to the month and the year and never out of the
// picker, so 05.03.2021 and 7.3.2021 can be typed whole. A day the calendar
// does not have stays as typed, in red, and the picker cannot be left
// until it is mended or given up with Escape: no other day is ever taken.
class DatePicker : public QLineEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

    QDate date() const { return date_; }
    // Sends dateChanged when the day changes, as the user's typing does.
    void setDate(const QDate& date);
    bool isTypedDateValid() const { return typed_.date().has_value(); }

signals:
    void dateChanged(const QDate& date);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void display(const DateText& typed);
    void take(const DateText& typed, bool settled);
    void commit();
    void typeCharacter(QChar c);
    // Says why the picker cannot be left; true when it can.
    bool mayLeave();
    void openCalendar();

    DateText typed_;
    QDate date_;
    // What Escape goes back to.
    QDate dateOnEntering_;
    class QCalendarWidget* calendar_ = nullptr;
};
