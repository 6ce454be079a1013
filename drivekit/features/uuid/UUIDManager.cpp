#include "drivekit/features/uuid/UUIDManager.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/uuid/UuidRegistry.h"

namespace drivekit::features::uuid {

UUIDManager::UUIDManager(std::shared_ptr<core::Device> device, std::vector<Uuid> candidates)
    : device_(std::move(device)), candidates_(std::move(candidates)) {}

uint8_t UUIDManager::getIndex() const {
    const UuidTable table = UuidRegistry::tableFor(device_);
    for (const Uuid& candidate : candidates_) {
        const auto found = table.find(candidate);
        if (found != table.end()) {
            LOG_DEBUG("Found supportedUUID");
            return found->second;
        }
    }
    LOG_DEBUG("Could not find supportedUUID");
    return notFound;
}

}  // namespace drivekit::features::uuid
