#pragma once
// One NVMe feature of a drive, read and written through Get and Set Features. Made by name
// through the NVMe-feature registry.
#include <memory>

#include "drivekit/core/HostInterface.h"
#include "drivekit/features/Feature.h"

namespace drivekit::features::nvme_features {

class NVMeFeature : public Feature {
public:
    explicit NVMeFeature(std::shared_ptr<core::Device> device) : device_(std::move(device)) {}
    ~NVMeFeature() override = default;

    const std::shared_ptr<core::Device>& device() const { return device_; }

protected:
    std::shared_ptr<core::Device> device_;
};

}  // namespace drivekit::features::nvme_features
