#pragma once
// Typed reads from one object of a profile, each naming the field's full path when the value
// does not fit. A misfit throws SimProfileError, which the loader turns into one line.
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace host::sim {

class SimProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SimJsonReader {
public:
    // object must be a JSON object; where names it in messages ("nvme.telemetry").
    SimJsonReader(const nlohmann::json& object, std::string where);

    bool has(const std::string& field) const;
    const nlohmann::json& at(const std::string& field) const;
    // Unsigned number, or its text (decimal, or "0x" and hexadecimal digits), no larger than max.
    uint64_t unsignedAt(const std::string& field, uint64_t max) const;
    uint64_t unsignedOr(const std::string& field, uint64_t max, uint64_t fallback) const;
    bool boolOr(const std::string& field, bool fallback) const;
    std::string stringOr(const std::string& field, const std::string& fallback) const;
    SimJsonReader objectAt(const std::string& field) const;
    const nlohmann::json& arrayAt(const std::string& field) const;
    // Fails on a field outside allowed, so that a misspelt field is not silently ignored.
    void allowOnly(const std::set<std::string>& allowed) const;

    std::string path(const std::string& field) const;
    [[noreturn]] void fail(const std::string& field, const std::string& problem) const;

    static uint64_t toUnsigned(const nlohmann::json& value, uint64_t max, const std::string& path);

private:
    const nlohmann::json& object_;
    std::string where_;
};

}  // namespace host::sim
