#include "drivekit/features/smart/SMART.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/smart/AtaSMART.h"
#include "drivekit/features/smart/NVMeSMART.h"

namespace drivekit::features::smart {

SMART::SMART(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
    : SMARTInterface(std::move(device), attributes) {
    setSmartObject(status_);
}

core::Status SMART::setSmartObject(core::Status& status) {
    status = core::Status::success();
    worker_.reset();
    if (!device_) {
        status = core::Status::invalidArguments();
    } else if (device_->isProtocolSupported(core::protocols::ata) ||
               device_->isProtocolSupported(core::protocols::smart)) {
        LOG_INFO("Drive has ATA protocol.");
        worker_ = std::make_unique<AtaSMART>(device_, attributes_);
    } else if (device_->isProtocolSupported(core::protocols::nvme)) {
        LOG_INFO("Drive has NVMe protocol.");
        worker_ = std::make_unique<NVMeSMART>(device_, attributes_);
    } else {
        status = core::Status::commandSetNotSupported();
    }
    return status;
}

core::Status SMART::canRun(core::Status& status) {
    status = worker_ ? worker_->canRun(status) : core::Status::commandSetNotSupported();
    return status;
}

core::Status SMART::readSmart(core::Status& status) {
    status = worker_ ? worker_->readSmart(status) : core::Status::commandSetNotSupported();
    return status;
}

void SMART::getSmartAttributes(SmartRecords& records) {
    if (worker_) {
        worker_->getSmartAttributes(records);
    }
}

core::Status SMART::resetTimedWorkloadAttributes(core::Status& status) {
    status = worker_ ? worker_->resetTimedWorkloadAttributes(status) : core::Status::commandSetNotSupported();
    return status;
}

SmartRawData SMART::rawData() const { return worker_ ? worker_->rawData() : SmartRawData{}; }

}  // namespace drivekit::features::smart
