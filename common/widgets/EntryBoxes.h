#pragma once

#include <QDateEdit>
#include <QLineEdit>

// A box for litres, prices and money: only digits and one decimal separator
// are typed, whole numbers are grouped as they are typed, and the text is
// rewritten as "#.##" on entering and as "#,##0.00" on leaving.
class AmountEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountEdit(QWidget* parent = nullptr);

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

// The telephone box with the pattern (999)000-00-00. Leaving it changed with
// a required digit missing is refused; Escape abandons the changes.
class PhoneEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PhoneEdit(QWidget* parent = nullptr);

    // The display text, "(___)456-78-90"; empty while no digit is held.
    QString display() const;
    void setDisplay(const QString& display);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString textOnEntering_;
    // Set while the focus is sent back after a refused leaving, so that
    // coming back does not count as a fresh entering.
    bool refused_ = false;
};

// A date picker with a drop-down calendar in the short date form. Tab and
// Shift+Tab leave it; a typed separator moves on to the month and the year
// and never out of the picker, so 05.03.2021 can be typed whole. It is
// always entered on the day.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The last digit filled its part and moved on: a separator typed now
    // only confirms that move.
    bool movedOnByTyping_ = false;
};
