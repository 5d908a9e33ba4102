#pragma once

#include <stdexcept>
#include <string>

// An error raised by the database engine, with its code and its own text.
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};
