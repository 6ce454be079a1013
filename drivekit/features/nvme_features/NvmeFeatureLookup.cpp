#include "drivekit/features/nvme_features/NvmeFeatureLookup.h"

#include <algorithm>

#include "drivekit/features/Registries.h"
#include "drivekit/features/nvme_features/NVMeFeature_HostBehaviorSupport.h"

namespace drivekit::features::nvme_features {

std::string registrationName(const std::string& displayName) {
    std::string name = displayName;
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name;
}

std::unique_ptr<NVMeFeature> createNvmeFeature(std::shared_ptr<core::Device> device, uint8_t id,
                                               core::Status& status) {
    const KnownFeature* row = findKnownFeature(id);
    if (row == nullptr) {
        status = core::Status::featureNotSupported();
        return nullptr;
    }
    status = core::Status::success();
    auto feature = NvmeFeatureRegistry::instance().create(registrationName(row->name), device);
    return feature ? std::move(feature) : std::make_unique<NVMeFeature>(std::move(device), id);
}

std::unique_ptr<NVMeFeature> createNvmeFeature(std::shared_ptr<core::Device> device, const std::string& name,
                                               core::Status& status) {
    if (!hostBehaviorSupportRegistered) {
        status = core::Status::featureNotSupported();
        return nullptr;
    }
    if (auto feature = NvmeFeatureRegistry::instance().create(name, device)) {
        status = core::Status::success();
        return feature;
    }
    const KnownFeature* row = findKnownFeature(name);
    if (row == nullptr) {
        status = core::Status::featureNotSupported();
        return nullptr;
    }
    return createNvmeFeature(std::move(device), row->id, status);
}

}  // namespace drivekit::features::nvme_features
