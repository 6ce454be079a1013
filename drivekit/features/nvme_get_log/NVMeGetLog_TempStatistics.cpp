#include "drivekit/features/nvme_get_log/NVMeGetLog_TempStatistics.h"

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/features/AttributeDefinitions.h"

namespace drivekit::features::nvme_get_log {

NVMeGetLog_TempStatistics::NVMeGetLog_TempStatistics(std::shared_ptr<core::Device> device,
                                                     const core::AttributeCollection& attributes)
    : LogPage(std::move(device), attributes, info) {
    const std::string product = device_ ? device_->attributes.readString(core::attributes::product().key()) : "";
    if (core::products::hasFamilyTemperatureLogId(product)) {
        attributes_.writeUint32(definitions::logId(), familyLogId);
    }
}

core::Status NVMeGetLog_TempStatistics::sendCommand(core::Status& status) {
    if (!canRun(status).isSuccess()) {
        return status;
    }
    return NVMeGetLog::sendCommand(status);
}

decode::PageContext NVMeGetLog_TempStatistics::pageContext() const {
    decode::PageContext context = LogPage::pageContext();
    context.temperatureStatistics = true;
    return context;
}

}  // namespace drivekit::features::nvme_get_log
