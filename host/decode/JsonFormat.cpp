#include "host/decode/JsonFormat.h"

namespace host {

std::string JsonFormat::withVersion(std::string object) {
    // The printer's object starts with its "{"; the members follow on lines of their own.
    return object.insert(object.find('{') + 1, "\n  \"formatVersion\": " + std::to_string(version) + ",");
}

}  // namespace host
