#pragma once
// One NVMe log page read from a drive. Page classes derive from it and are made by name
// through the get-log registry.
#include <memory>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/features/Feature.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog : public Feature {
public:
    NVMeGetLog(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : Feature(attributes), device_(std::move(device)) {}
    ~NVMeGetLog() override = default;

    const std::shared_ptr<core::Device>& device() const { return device_; }

protected:
    std::shared_ptr<core::Device> device_;
};

}  // namespace drivekit::features::nvme_get_log
