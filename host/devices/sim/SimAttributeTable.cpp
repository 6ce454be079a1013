#include "host/devices/sim/SimAttributeTable.h"

namespace host::sim {

std::optional<drivekit::core::Attribute> SimAttributeTable::find(const std::string& key) {
    for (const auto& definition : definitions::deviceAttributeDefinitions()) {
        if (definition.key() == key) {
            return definition;
        }
    }
    return std::nullopt;
}

}  // namespace host::sim
