#pragma once
// What every Identify implementation offers: read the drive's identify data, tell whether the
// drive can be asked, and describe the data it read field by field.
#include <memory>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/Feature.h"

namespace drivekit::features::identify {

class IdentifyInterface : public Feature {
public:
    IdentifyInterface(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);

    // Sends the identify command; on success the data of the drive replaces data().
    virtual core::Status identify(core::Status& status) = 0;
    virtual core::Status canRun(core::Status& status) = 0;
    // The data read by the last identify, one element per field; empty when there is none.
    virtual void toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) = 0;

    const core::Payload& data() const { return data_; }
    const std::shared_ptr<core::Device>& device() const { return device_; }

protected:
    // The drive answers yes to the protocol test; "Device does not support this command
    // set." otherwise.
    core::Status requireProtocol(const std::string& protocol) const;

    std::shared_ptr<core::Device> device_;
    core::Payload data_;
};

}  // namespace drivekit::features::identify
