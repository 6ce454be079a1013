#pragma once
// Set Features (opcode 0x09). Sent with the feature's data when it has any.
#include "drivekit/commands/nvme/WriteCommand.h"
#include "drivekit/core/AttributeCollection.h"

namespace drivekit::commands::nvme {

class SetFeatures : public WriteCommand {
public:
    SetFeatures();

    // Dword 10 bits 7:0.
    void setFeatureId(uint8_t featureId);
    // Dword 10 bit 31.
    void setSave(bool save);
    void setDword11(uint32_t value) { entry().cdw11 = value; }
    void setDword12(uint32_t value) { entry().cdw12 = value; }
    void setDword13(uint32_t value) { entry().cdw13 = value; }
    void setTransferBytes(uint32_t bytes) { transferBytes = bytes; }
    // Dword 14 bits 6:0; only the low 7 bits of the value are used, the rest of dword 14 is kept.
    void setUuidIndex(uint8_t index);


    // Takes "FeatureId", "Save", "NamespaceId", "TransferBytes", "DWORD11", "DWORD12" and
    // "DWORD13" where present, and the feature's UUID index. A value wider than its field is
    // refused (0/40 naming it); the fields after it are left alone.
    core::Status applyAttributes(const core::AttributeCollection& attributes, uint8_t uuidIndex);
};

}  // namespace drivekit::commands::nvme
