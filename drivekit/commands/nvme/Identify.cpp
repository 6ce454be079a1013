#include "drivekit/commands/nvme/Identify.h"

#include "drivekit/commands/nvme/AttributeFields.h"
#include "drivekit/commands/nvme/AttributeKeys.h"
#include "drivekit/commands/nvme/DwordBits.h"

namespace drivekit::commands::nvme {

Identify::Identify() : ReadCommand("Identify") {
    flags().admin = true;
    entry().setOpcode(opcodes::identify);
    transferBytes = structureBytes;
}

void Identify::setCns(uint8_t cns) { entry().cdw10 = withBits(entry().cdw10, cns, 0, 8); }

void Identify::setCsi(uint8_t csi) { entry().cdw11 = withBits(entry().cdw11, csi, 24, 8); }

uint8_t Identify::cns() const { return static_cast<uint8_t>(getBits(entry().cdw10, 0, 8)); }

uint8_t Identify::csi() const { return static_cast<uint8_t>(getBits(entry().cdw11, 24, 8)); }

core::Status Identify::applyAttributes(const core::AttributeCollection& attributes) {
    AttributeFields fields(attributes);
    fields.apply(keys::controllerNamespaceStructure, 8,
                 [this](uint64_t v) { setCns(static_cast<uint8_t>(v)); });
    fields.apply(keys::namespaceId, 32, [this](uint64_t v) { setNamespaceId(static_cast<uint32_t>(v)); });
    fields.apply(keys::csi, 8, [this](uint64_t v) { setCsi(static_cast<uint8_t>(v)); });
    return fields.status();
}

}  // namespace drivekit::commands::nvme
