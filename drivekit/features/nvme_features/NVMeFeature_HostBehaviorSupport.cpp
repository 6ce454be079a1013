#include "drivekit/features/nvme_features/NVMeFeature_HostBehaviorSupport.h"

#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/Registries.h"

namespace drivekit::features::nvme_features {

namespace {

struct Switch {
    core::Attribute (*definition)();
    uint32_t offset;
};

const Switch switches[] = {
    {definitions::advancedCommandRetryEnable, 0},
    {definitions::extendedTelemetryDataArea4Supported, 1},
    {definitions::lbaFormatExtensionEnable, 2},
};

}  // namespace

extern const bool hostBehaviorSupportRegistered = NvmeFeatureRegistry::instance().add(
    "HostBehaviorSupport",
    [](std::shared_ptr<core::Device> device) { return std::make_unique<NVMeFeature_HostBehaviorSupport>(device); });

NVMeFeature_HostBehaviorSupport::NVMeFeature_HostBehaviorSupport(std::shared_ptr<core::Device> device)
    : NVMeFeature(std::move(device), id) {
    data_ = core::Payload(structureBytes);
    attributes_.writeUint32(definitions::transferBytes(), structureBytes);
}

core::Status NVMeFeature_HostBehaviorSupport::checkAnswer(const core::Payload& answer) const {
    return answer.size() < structureBytes ? core::Status::unexpectedDataLength() : core::Status::success();
}

core::Status NVMeFeature_HostBehaviorSupport::setProperty(core::Status& status) {
    if (data_.size() < structureBytes) {
        status = core::Status::unexpectedDataLength();
        status_ = status;
        return status;
    }
    bool given = false;
    for (const auto& field : switches) {
        const std::string key = field.definition().key();
        if (attributes_.contains(key)) {
            *data_.at(field.offset) = attributes_.readBool(key) ? 1 : 0;
            given = true;
        }
    }
    if (!given) {
        status = core::Status::noProperties();
        status_ = status;
        return status;
    }
    return sendSetFeature(status);
}

core::AttributeCollection NVMeFeature_HostBehaviorSupport::getProperties() {
    core::AttributeCollection properties = NVMeFeature::getProperties();
    for (const auto& field : switches) {
        if (field.offset < data_.size()) {
            properties.writeBool(field.definition(), *data_.at(field.offset) != 0);
        }
    }
    return properties;
}

}  // namespace drivekit::features::nvme_features
