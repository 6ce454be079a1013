#include "drivekit/features/nvme_get_log/LogPage.h"

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/core/logging/Log.h"

namespace drivekit::features::nvme_get_log {

namespace {

struct GateRule {
    LogPageGate gate;
    core::Attribute (*attribute)();
    core::Status (*refusal)();
};

const GateRule gateRules[] = {
    {LogPageGate::ocpSupported, core::attributes::ocpSupported, core::Status::ocpNotSupported},
    {LogPageGate::ocp1Point0OrGreater, core::attributes::ocp1Point0OrGreater, core::Status::ocpNotSupported},
    {LogPageGate::ocp2Point0OrGreater, core::attributes::ocp2Point0OrGreater, core::Status::ocpNotSupported},
    {LogPageGate::smi, core::attributes::smi, core::Status::featureNotSupportedByDrive},
};

}  // namespace

LogPage::LogPage(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes,
                 const LogPageInfo& info)
    : NVMeGetLog(std::move(device), info.logId, info.numDwords, info.displayName, attributes), info_(&info) {}

core::Status LogPage::canRun(core::Status& status) {
    for (const GateRule& rule : gateRules) {
        if (rule.gate == info_->gate && device_ && !device_->attributes.readBool(rule.attribute().key())) {
            LOG_DEBUG(info_->displayName << " needs " << rule.attribute().key());
            status = rule.refusal();
            return finish(status);
        }
    }
    return NVMeGetLog::canRun(status);
}

decode::PageContext LogPage::pageContext() const {
    decode::PageContext context;
    context.logId = static_cast<uint8_t>(attributes_.readUint32(definitions::logId().key()));
    context.logSpecificField = attributes_.readUint8(definitions::logSpecificField().key());
    context.logSpecificId = attributes_.readUint16(definitions::logSpecificId().key());
    if (device_) {
        context.makerVendorPages =
            core::products::hasVendorPages(device_->attributes.readString(core::attributes::product().key()));
        context.nvme1Point2OrGreater = device_->attributes.readBool(core::attributes::nvme1Point2OrGreater().key());
    }
    return context;
}

core::Status LogPage::toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object) {
    auto decoded = decode::decodeLogPage(pageContext(), payload_, status);
    if (decoded == nullptr) {
        return NVMeGetLog::toXmlObject(status, object);
    }
    object = std::move(decoded);
    return finish(status);
}

}  // namespace drivekit::features::nvme_get_log
