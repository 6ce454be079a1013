#pragma once
// The interface through which the command-line layer runs a device feature: the inputs of
// one run, the selected drive, and the output document the feature fills.
#include <memory>
#include <vector>

#include "drivekit/core/Attribute.h"
#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"
#include "drivekit/features/Json.h"

namespace drivekit::features {

// Attribute definitions a feature declares, in the order it lists them.
using AttributeDefinitions = std::vector<core::Attribute>;

class IFeature {
public:
    virtual ~IFeature() = default;

    // Every required attribute present ("Invalid arguments." otherwise), then checkDevice.
    virtual void validate(core::Status& status);
    // "Not implemented." unless a feature does its work here.
    virtual void run(core::Status& status);
    virtual Json& getOutput() { return output_; }
    virtual void setDevice(std::shared_ptr<core::Device> device) { device_ = std::move(device); }
    virtual AttributeDefinitions getRequiredAttributes(core::Status& status) const = 0;
    virtual AttributeDefinitions getOptionalAttributes() const = 0;
    // "No device selected." until a device has been set.
    virtual void checkDevice(core::Status& status) const;

    // The inputs of one run; replaced as a whole before each run.
    const core::AttributeCollection& attributes() const { return attributes_; }
    void setAttributes(core::AttributeCollection attributes) { attributes_ = std::move(attributes); }
    const std::shared_ptr<core::Device>& device() const { return device_; }

protected:
    core::AttributeCollection attributes_;
    std::shared_ptr<core::Device> device_;
    Json output_;
};

}  // namespace drivekit::features
