#include "drivekit/features/smart/NVMeSMART.h"

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "drivekit/features/smart/NvmeSmartHealth.h"

namespace drivekit::features::smart {

namespace attributes = core::attributes;

namespace {

// One page through its own checks; its bytes on success.
core::Status readPage(nvme_get_log::NVMeGetLog& page, core::Payload& data) {
    core::Status status;
    if (page.canRun(status).isSuccess() && page.sendCommand(status).isSuccess()) {
        data = page.getPayload();
    }
    return status;
}

}  // namespace

core::Status NVMeSMART::canRun(core::Status& status) {
    if (device_->attributes.readBool(attributes::raid().key())) {
        status = core::Status::raidVolume();
    } else if (!device_->isProtocolSupported(core::protocols::nvme)) {
        status = core::Status::commandSetNotSupported();
    } else {
        status = core::Status::success();
    }
    status_ = status;
    return status;
}

bool NVMeSMART::hasVendorPage() const {
    const core::AttributeCollection& drive = device_->attributes;
    return drive.readBool(attributes::kestrovaNVMe().key()) ||
           core::products::hasPartnerVendorSmartPage(drive.readString(attributes::oem().key()),
                                                     drive.readString(attributes::product().key()));
}

core::Status NVMeSMART::readSmart(core::Status& status) {
    LOG_ENTERING();
    if (!canRun(status).isSuccess()) {
        return status;
    }
    if (hasVendorPage()) {
        nvme_get_log::NVMeGetLog_SMARTAttribute page(device_, {});
        status = readPage(page, vendorPage_);
    }
    if (status.isSuccess() && attributes_.readBool(definitions::includeNVMeSmartHealthLog().key())) {
        nvme_get_log::NVMeGetLog_SMARTHealthLog page(device_, {});
        status = readPage(page, healthPage_);
    }
    status_ = status;
    LOG_EXITING();
    return status;
}

void NVMeSMART::getSmartAttributes(SmartRecords& records) {
    if (healthPage_.empty()) {
        return;
    }
    bool truncated = false;
    for (const auto& value : nvmeSmartHealthValues(healthPage_, truncated)) {
        auto record = std::make_unique<core::xml::XmlObject>(value.key);
        record->addProperty("Description", value.name);
        record->addProperty("Value", value.value);
        if (!value.verdict.empty()) {
            record->addProperty("Action", value.verdict);
        }
        if (!value.message.empty()) {
            record->addProperty("Message", value.message);
        }
        records.push_back(std::move(record));
    }
}

core::Status NVMeSMART::resetTimedWorkloadAttributes(core::Status& status) {
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::nvme::SetFeatures setFeatures;
    setFeatures.setFeatureId(timedWorkloadFeatureId);
    setFeatures.setDword11(1);
    status = commands::CommandSender(*device_).send(setFeatures);
    status_ = status;
    return status;
}

SmartRawData NVMeSMART::rawData() const {
    return heldData({{smartAttributesKey, vendorPage_}, {smartHealthKey, healthPage_}});
}

}  // namespace drivekit::features::smart
