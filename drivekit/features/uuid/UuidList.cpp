#include "drivekit/features/uuid/UuidList.h"

#include <algorithm>

namespace drivekit::features::uuid {

UuidTable UuidList::parse(const core::Payload& data) {
    UuidTable table;
    if (data.size() < structureBytes) {
        return table;
    }
    for (uint32_t entry = 0; entry < maxEntries; ++entry) {
        const Uuid& id = *data.safeCast<Uuid>(headerBytes + entry * entryBytes + uuidOffsetInEntry);
        if (std::all_of(id.begin(), id.end(), [](uint8_t byte) { return byte == 0; })) {
            break;
        }
        // A UUID listed twice keeps its first index, the one a command would select first.
        table.emplace(id, static_cast<uint8_t>(entry + 1));
    }
    return table;
}

}  // namespace drivekit::features::uuid
