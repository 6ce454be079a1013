#include "drivekit/commands/nvme/SetFeatures.h"

#include "drivekit/commands/nvme/AttributeFields.h"
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

core::Status SetFeatures::applyAttributes(const core::AttributeCollection& attributes,
                                          uint8_t uuidIndex) {
    AttributeFields fields(attributes);
    fields.apply(keys::featureId, 8, [this](uint64_t v) { setFeatureId(static_cast<uint8_t>(v)); });
    if (fields.status().isSuccess() && attributes.contains(keys::save)) {
        setSave(attributes.readBool(keys::save));
    }
    fields.apply(keys::namespaceId, 32, [this](uint64_t v) { setNamespaceId(static_cast<uint32_t>(v)); });
    fields.apply(keys::transferBytes, 32,
                 [this](uint64_t v) { setTransferBytes(static_cast<uint32_t>(v)); });
    fields.apply(keys::dword11, 32, [this](uint64_t v) { setDword11(static_cast<uint32_t>(v)); });
    fields.apply(keys::dword12, 32, [this](uint64_t v) { setDword12(static_cast<uint32_t>(v)); });
    fields.apply(keys::dword13, 32, [this](uint64_t v) { setDword13(static_cast<uint32_t>(v)); });
    setUuidIndex(uuidIndex);
    return fields.status();
}

}  // namespace drivekit::commands::nvme
