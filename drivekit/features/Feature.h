#pragma once
// Base of the device-level features (log pages, NVMe features, Identify, SMART, Telemetry):
// their input attributes, the operating-system services and the outcome of the last step.
#include <memory>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/System.h"

namespace drivekit::features {

class Feature {
public:
    explicit Feature(const core::AttributeCollection& attributes = {},
                     std::shared_ptr<core::System> system = core::System::create())
        : attributes_(attributes), system_(std::move(system)) {}
    virtual ~Feature() = default;

    const core::AttributeCollection& attributes() const { return attributes_; }
    core::AttributeCollection& attributes() { return attributes_; }
    const std::shared_ptr<core::System>& system() const { return system_; }
    const core::Status& status() const { return status_; }

protected:
    core::AttributeCollection attributes_;
    std::shared_ptr<core::System> system_;
    core::Status status_;
};

}  // namespace drivekit::features
