#pragma once
// Reading the Identify UUID List structure.
#include "drivekit/core/Payload.h"
#include "drivekit/features/uuid/Uuid.h"

namespace drivekit::features::uuid {

class UuidList {
public:
    // The table of the list in data; empty when data is shorter than the whole structure.
    // The list ends at the first all-zero UUID.
    static UuidTable parse(const core::Payload& data);
};

}  // namespace drivekit::features::uuid
