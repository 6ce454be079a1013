#include "drivekit/commands/nvme/Identify.h"

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

void Identify::applyAttributes(const core::AttributeCollection& attributes) {
    if (attributes.contains(keys::controllerNamespaceStructure)) {
        setCns(attributes.readUint8(keys::controllerNamespaceStructure));
    }
    if (attributes.contains(keys::namespaceId)) {
        setNamespaceId(attributes.readUint32(keys::namespaceId));
    }
    if (attributes.contains(keys::csi)) {
        setCsi(attributes.readUint8(keys::csi));
    }
}

}  // namespace drivekit::commands::nvme
