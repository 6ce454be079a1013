#pragma once
// The two factory registries of the device library: NVMe log pages and NVMe features by name.
#include <memory>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/features/FactoryRegistry.h"
#include "drivekit/features/nvme_features/NVMeFeature.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog.h"

namespace drivekit::features {

using GetLogRegistry = FactoryRegistry<nvme_get_log::NVMeGetLog, std::shared_ptr<core::Device>,
                                       const core::AttributeCollection&>;
using NvmeFeatureRegistry = FactoryRegistry<nvme_features::NVMeFeature, std::shared_ptr<core::Device>>;

}  // namespace drivekit::features
