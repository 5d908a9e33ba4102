#pragma once

#include <stdexcept>
#include <string>

// An error raised by the database engine, with its code and its own text,
// or by the program's own data access (code kNotEngine).
class DatabaseError : public std::runtime_error {
public:
    // Never an engine result code, and never 0, which reads as success.
    static constexpr int kNotEngine = -1;

    DatabaseError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};
