#include "drivekit/features/identify/Identify.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/identify/ata/Identify.h"
#include "drivekit/features/identify/nvme/Identify.h"

namespace drivekit::features::identify {

Identify::Identify(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
    : IdentifyInterface(std::move(device), attributes) {
    setIdentifyObject();
}

void Identify::setIdentifyObject() {
    implementation_.reset();
    if (!device_) {
        LOG_DEBUG("Status: " << core::Status::commandSetNotSupported().message());
        return;
    }
    // A drive behind a SATA path may also answer the NVMe test; its identify data is ATA's.
    if (device_->isProtocolSupported(core::protocols::ata)) {
        LOG_DEBUG("Drive has ATA protocol.");
        implementation_ = std::make_unique<ata::Identify>(device_, attributes_);
    } else if (device_->isProtocolSupported(core::protocols::nvme)) {
        LOG_DEBUG("Drive has NVMe protocol.");
        implementation_ = std::make_unique<nvme::Identify>(device_, attributes_);
    } else {
        LOG_DEBUG("Status: " << core::Status::commandSetNotSupported().message());
    }
}

core::Status Identify::canRun(core::Status& status) {
    status = implementation_ ? implementation_->canRun(status) : core::Status::commandSetNotSupported();
    status_ = status;
    LOG_DEBUG("Status: " << status.message());
    if (notification_) {
        notification_(status);
    }
    return status;
}

core::Status Identify::identify(core::Status& status) {
    LOG_ENTERING();
    if (canRun(status).isSuccess()) {
        implementation_->identify(status);
        data_ = implementation_->data();
    }
    LOG_EXITING();
    return status;
}

void Identify::toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) {
    if (!implementation_) {
        object = std::make_unique<core::xml::XmlObject>();
        return;
    }
    implementation_->toXmlObject(object);
}

}  // namespace drivekit::features::identify
