#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

// A control's value on a screen that runs without a window. A window binds
// its widget to it both ways: set() tells the widget, the widget calls set()
// when the user changes it.
template <typename T>
class Field {
public:
    Field() = default;
    explicit Field(T value) : value_(std::move(value)) {}
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    const T& get() const { return value_; }
    void set(const T& value)
    {
        if (value == value_) return;
        value_ = value;
        for (const auto& listener : listeners_) listener(value_);
    }
    void onChange(std::function<void(const T&)> listener) { listeners_.push_back(std::move(listener)); }

private:
    T value_{};
    std::vector<std::function<void(const T&)>> listeners_;
};

// A text box, a drop-down list's text, a tab page's caption.
class TextField : public Field<QString> {
public:
    using Field<QString>::Field;
    const QString& text() const { return get(); }
    void setText(const QString& text) { set(text); }
    void clear() { set(QString()); }
    bool isEmpty() const { return get().isEmpty(); }
};

class DateField : public Field<QDate> {
public:
    const QDate& date() const { return get(); }
    void setDate(const QDate& date) { set(date); }
};

// An option button or a check box.
class CheckField : public Field<bool> {
public:
    using Field<bool>::Field;
    bool checked() const { return get(); }
    void setChecked(bool checked) { set(checked); }
};
