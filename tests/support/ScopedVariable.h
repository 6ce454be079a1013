#pragma once
// An environment variable set for one test; its old value (or its absence) is put back after.
#include <cstdlib>
#include <string>

#include <stdlib.h>

namespace test_support {

class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        set(value);
    }
    ~ScopedVariable() { had_ ? ::setenv(name_, old_.c_str(), 1) : ::unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void set(const std::string& value) { ::setenv(name_, value.c_str(), 1); }

private:
    const char* name_;
    bool had_;
    std::string old_;
};

}  // namespace test_support
