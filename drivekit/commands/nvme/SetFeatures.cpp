#include "drivekit/commands/nvme/SetFeatures.h"

#include "drivekit/commands/nvme/AttributeKeys.h"
#include "drivekit/commands/nvme/DwordBits.h"

namespace drivekit::commands::nvme {

SetFeatures::SetFeatures() : WriteCommand("SetFeatures") {
    flags().admin = true;
    entry().setOpcode(opcodes::setFeatures);
}

void SetFeatures::setFeatureId(uint8_t featureId) {
    entry().cdw10 = withBits(entry().cdw10, featureId, 0, 8);
}

void SetFeatures::setSave(bool save) {
    entry().cdw10 = withBits(entry().cdw10, save ? 1 : 0, 31, 1);
}

void SetFeatures::setUuidIndex(uint8_t index) {
    entry().cdw14 = withBits(entry().cdw14, index, 0, 7);
}

void SetFeatures::applyAttributes(const core::AttributeCollection& attributes, uint8_t uuidIndex) {
    if (attributes.contains(keys::featureId)) {
        setFeatureId(attributes.readUint8(keys::featureId));
    }
    if (attributes.contains(keys::save)) {
        setSave(attributes.readBool(keys::save));
    }
    if (attributes.contains(keys::namespaceId)) {
        setNamespaceId(attributes.readUint32(keys::namespaceId));
    }
    if (attributes.contains(keys::transferBytes)) {
        setTransferBytes(attributes.readUint32(keys::transferBytes));
    }
    if (attributes.contains(keys::dword11)) {
        setDword11(attributes.readUint32(keys::dword11));
    }
    if (attributes.contains(keys::dword12)) {
        setDword12(attributes.readUint32(keys::dword12));
    }
    if (attributes.contains(keys::dword13)) {
        setDword13(attributes.readUint32(keys::dword13));
    }
    setUuidIndex(uuidIndex);
}

}  // namespace drivekit::commands::nvme
