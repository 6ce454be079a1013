#pragma once
// Makes the feature object for a feature named by the user or the code: the registered class
// where there is one, the plain feature for any other feature of the known-feature table.
// A feature's registration name is its display name without spaces ("HostBehaviorSupport").
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/features/nvme_features/NVMeFeature.h"

namespace drivekit::features::nvme_features {

// A registration name or a display name of the table. Null and "Feature is not supported."
// for any other name.
std::unique_ptr<NVMeFeature> createNvmeFeature(std::shared_ptr<core::Device> device, const std::string& name,
                                               core::Status& status);
// An identifier of the table. Null and "Feature is not supported." for any other.
std::unique_ptr<NVMeFeature> createNvmeFeature(std::shared_ptr<core::Device> device, uint8_t id,
                                               core::Status& status);
// "Host Behavior Support" -> "HostBehaviorSupport".
std::string registrationName(const std::string& displayName);

}  // namespace drivekit::features::nvme_features
