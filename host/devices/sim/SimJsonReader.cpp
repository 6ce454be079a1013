#include "host/devices/sim/SimJsonReader.h"

#include <limits>

#include "drivekit/core/TextParsing.h"

namespace host::sim {

SimJsonReader::SimJsonReader(const nlohmann::json& object, std::string where)
    : object_(object), where_(std::move(where)) {
    if (!object_.is_object()) {
        throw SimProfileError("\"" + (where_.empty() ? std::string("(top level)") : where_) + "\" must be an object");
    }
}

std::string SimJsonReader::path(const std::string& field) const {
    return where_.empty() ? field : where_ + "." + field;
}

void SimJsonReader::fail(const std::string& field, const std::string& problem) const {
    throw SimProfileError("\"" + path(field) + "\" " + problem);
}

bool SimJsonReader::has(const std::string& field) const { return object_.contains(field); }

const nlohmann::json& SimJsonReader::at(const std::string& field) const {
    if (!has(field)) {
        fail(field, "is missing");
    }
    return object_.at(field);
}

uint64_t SimJsonReader::toUnsigned(const nlohmann::json& value, uint64_t max, const std::string& path) {
    uint64_t number = 0;
    bool valid = false;
    if (value.is_number_unsigned()) {
        number = value.get<uint64_t>();
        valid = true;
    } else if (value.is_number_integer() && value.get<int64_t>() >= 0) {
        number = static_cast<uint64_t>(value.get<int64_t>());
        valid = true;
    } else if (value.is_string()) {
        const auto parsed = drivekit::core::strings::parseUnsigned(value.get<std::string>(),
                                                                    std::numeric_limits<uint64_t>::max());
        number = parsed.value_or(0);
        valid = parsed.has_value();
    }
    if (!valid) {
        throw SimProfileError("\"" + path + "\" must be an unsigned number (decimal, or \"0x\" text)");
    }
    if (number > max) {
        throw SimProfileError("\"" + path + "\" is " + std::to_string(number) + ", more than " + std::to_string(max));
    }
    return number;
}

uint64_t SimJsonReader::unsignedAt(const std::string& field, uint64_t max) const {
    return toUnsigned(at(field), max, path(field));
}

uint64_t SimJsonReader::unsignedOr(const std::string& field, uint64_t max, uint64_t fallback) const {
    return has(field) ? unsignedAt(field, max) : fallback;
}

bool SimJsonReader::boolOr(const std::string& field, bool fallback) const {
    if (!has(field)) {
        return fallback;
    }
    if (!object_.at(field).is_boolean()) {
        fail(field, "must be true or false");
    }
    return object_.at(field).get<bool>();
}

std::string SimJsonReader::stringOr(const std::string& field, const std::string& fallback) const {
    if (!has(field)) {
        return fallback;
    }
    if (!object_.at(field).is_string()) {
        fail(field, "must be a text");
    }
    return object_.at(field).get<std::string>();
}

SimJsonReader SimJsonReader::objectAt(const std::string& field) const {
    if (!at(field).is_object()) {
        fail(field, "must be an object");
    }
    return SimJsonReader(object_.at(field), path(field));
}

const nlohmann::json& SimJsonReader::arrayAt(const std::string& field) const {
    if (!at(field).is_array()) {
        fail(field, "must be a list");
    }
    return object_.at(field);
}

void SimJsonReader::allowOnly(const std::set<std::string>& allowed) const {
    for (auto it = object_.begin(); it != object_.end(); ++it) {
        if (allowed.count(it.key()) == 0) {
            fail(it.key(), "is not a known field");
        }
    }
}

}  // namespace host::sim
