#pragma once
// Finds the UUID index under which one drive serves data defined by one of the UUIDs a caller
// accepts.
#include <memory>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "drivekit/features/uuid/Uuid.h"

namespace drivekit::features::uuid {

class UUIDManager {
public:
    // getIndex when no candidate is listed by the drive.
    static constexpr uint8_t notFound = 0xFF;

    explicit UUIDManager(std::shared_ptr<core::Device> device, std::vector<Uuid> candidates = {});

    const std::vector<Uuid>& candidates() const { return candidates_; }

    // The index of the first candidate (in candidate order) that the drive lists.
    uint8_t getIndex() const;

private:
    std::shared_ptr<core::Device> device_;
    std::vector<Uuid> candidates_;
};

}  // namespace drivekit::features::uuid
