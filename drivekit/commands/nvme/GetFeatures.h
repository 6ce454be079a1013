#pragma once
// Get Features (opcode 0x0A). The value comes back in the completion's dword 0; some
// features also return data.
#include "drivekit/commands/nvme/ReadCommand.h"
#include "drivekit/core/AttributeCollection.h"

namespace drivekit::commands::nvme {

class GetFeatures : public ReadCommand {
public:
    GetFeatures();

    // Dword 10 bits 7:0.
    void setFeatureId(uint8_t featureId);
    // Dword 10 bits 10:8; only the low 3 bits of the value are used.
    void setSelect(uint8_t select);
    void setDword11(uint32_t value) { entry().cdw11 = value; }
    void setTransferBytes(uint32_t bytes) { transferBytes = bytes; }

    uint8_t select() const;

    // Takes "FeatureId", "Select", "NamespaceId", "DWORD11" and "TransferBytes" where present.
    // A value wider than its field is refused (0/40 naming it); the fields after it are left alone.
    core::Status applyAttributes(const core::AttributeCollection& attributes);
};

}  // namespace drivekit::commands::nvme
