#include "drivekit/commands/nvme/GetFeatures.h"

#include "drivekit/commands/nvme/AttributeFields.h"
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

core::Status GetFeatures::applyAttributes(const core::AttributeCollection& attributes) {
    AttributeFields fields(attributes);
    fields.apply(keys::featureId, 8, [this](uint64_t v) { setFeatureId(static_cast<uint8_t>(v)); });
    fields.apply(keys::select, 3, [this](uint64_t v) { setSelect(static_cast<uint8_t>(v)); });
    fields.apply(keys::namespaceId, 32, [this](uint64_t v) { setNamespaceId(static_cast<uint32_t>(v)); });
    fields.apply(keys::dword11, 32, [this](uint64_t v) { setDword11(static_cast<uint32_t>(v)); });
    fields.apply(keys::transferBytes, 32,
                 [this](uint64_t v) { setTransferBytes(static_cast<uint32_t>(v)); });
    return fields.status();
}

}  // namespace drivekit::commands::nvme
