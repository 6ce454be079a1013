#include "drivekit/features/uuid/UuidList.h"

#include <algorithm>
#include <iterator>

#include "drivekit/features/identify/decode/IdentifyRecords.h"

namespace drivekit::features::uuid {

UuidTable UuidList::parse(const core::Payload& data) {
    using identify::decode::UuidListStructure;
    UuidTable table;
    if (data.size() < sizeof(UuidListStructure)) {
        return table;
    }
    const UuidListStructure& list = *data.safeCast<UuidListStructure>();
    for (uint32_t entry = 0; entry < identify::decode::uuidListEntries; ++entry) {
        Uuid id{};
        std::copy(std::begin(list.entries[entry].uuid), std::end(list.entries[entry].uuid), id.begin());
        if (std::all_of(id.begin(), id.end(), [](uint8_t byte) { return byte == 0; })) {
            break;
        }
        // A UUID listed twice keeps its first index, the one a command would select first.
        table.emplace(id, static_cast<uint8_t>(entry + 1));
    }
    return table;
}

}  // namespace drivekit::features::uuid
