#include "drivekit/commands/nvme/GetFeatures.h"

#include "drivekit/commands/nvme/AttributeKeys.h"
#include "drivekit/commands/nvme/DwordBits.h"

namespace drivekit::commands::nvme {

GetFeatures::GetFeatures() : ReadCommand("GetFeatures") {
    flags().admin = true;
    entry().setOpcode(opcodes::getFeatures);
}

void GetFeatures::setFeatureId(uint8_t featureId) {
    entry().cdw10 = withBits(entry().cdw10, featureId, 0, 8);
}

void GetFeatures::setSelect(uint8_t select) {
    entry().cdw10 = withBits(entry().cdw10, select, 8, 3);
}

uint8_t GetFeatures::select() const { return static_cast<uint8_t>(getBits(entry().cdw10, 8, 3)); }

void GetFeatures::applyAttributes(const core::AttributeCollection& attributes) {
    if (attributes.contains(keys::featureId)) {
        setFeatureId(attributes.readUint8(keys::featureId));
    }
    if (attributes.contains(keys::select)) {
        setSelect(attributes.readUint8(keys::select));
    }
    if (attributes.contains(keys::namespaceId)) {
        setNamespaceId(attributes.readUint32(keys::namespaceId));
    }
    if (attributes.contains(keys::dword11)) {
        setDword11(attributes.readUint32(keys::dword11));
    }
    if (attributes.contains(keys::transferBytes)) {
        setTransferBytes(attributes.readUint32(keys::transferBytes));
    }
}

}  // namespace drivekit::commands::nvme
