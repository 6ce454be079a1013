#pragma once
// The device attributes a profile may set: the definitions a host fills, looked up by key.
#include <optional>
#include <string>

#include "drivekit/core/Attribute.h"
#include "drivekit/core/DeviceAttributes.h"

namespace host::sim {

namespace definitions = drivekit::core::attributes;

class SimAttributeTable {
public:
    // A fresh attribute of the definition with this key (no value), or nothing.
    static std::optional<drivekit::core::Attribute> find(const std::string& key);
};

}  // namespace host::sim
