#pragma once
// Identify (opcode 0x06): one 4096-byte structure chosen by CNS, NSID and CSI.
#include "drivekit/commands/nvme/ReadCommand.h"
#include "drivekit/core/AttributeCollection.h"

namespace drivekit::commands::nvme {

class Identify : public ReadCommand {
public:
    static constexpr uint64_t structureBytes = 4096;

    Identify();

    // Dword 10 bits 7:0; the rest of dword 10 is kept.
    virtual void setCns(uint8_t cns);
    // Dword 11 bits 31:24; the rest of dword 11 is kept.
    void setCsi(uint8_t csi);
    uint8_t cns() const;
    uint8_t csi() const;

    // Takes "ControllerNamespaceStructure", "NamespaceId" and "CSI" where present.
    // A value wider than its field is refused (0/40 naming it); the fields after it are left alone.
    core::Status applyAttributes(const core::AttributeCollection& attributes);
};

}  // namespace drivekit::commands::nvme
