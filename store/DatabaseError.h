#pragma once

#include <stdexcept>
#include <string>

// An error raised by the database engine, with its code and its own text,
// or by the program's own data access (code kNotEngine).
class DatabaseError : public std::runtime_error {
public:
    // Never an engine result code, and never 0, which reads as success.
    static constexpr int kNotEngine = -1;

    DatabaseError(int code, const std::string& text) : std::runtime_error(text), code_(code), engineText_(text) {}
    // text is what the user reads; engineText the engine's own words in it.
    DatabaseError(int code, const std::string& text, const std::string& engineText)
        : std::runtime_error(text), code_(code), engineText_(engineText)
    {
    }
    int code() const { return code_; }
    const std::string& engineText() const { return engineText_; }

private:
    int code_;
    std::string engineText_;
};
