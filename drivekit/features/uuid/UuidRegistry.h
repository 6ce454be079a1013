#pragma once
// The UUID lists of the drives seen by this process, keyed by serial number. Each drive's list
// is read once; a drive whose list could not be read keeps an empty table. Process-wide and
// unguarded: commands run one at a time.
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/features/uuid/Uuid.h"

namespace drivekit::features::uuid {

// Makes sure the registry holds the drive's table; reads the drive's UUID list when it does not
// and the drive supports UUIDs.
void registerSupportedGUIDs(const std::shared_ptr<core::Device>& device);

class UuidRegistry {
public:
    // The drive's table after registering it; empty when there is none.
    static UuidTable tableFor(const std::shared_ptr<core::Device>& device);

    // Null when the serial number has no table yet.
    static const UuidTable* find(const std::string& serialNumber);
    static void store(const std::string& serialNumber, UuidTable table);
};

}  // namespace drivekit::features::uuid
