#include "drivekit/features/identify/nvme/Identify.h"

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/identify/IdentifyAttributes.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/nvme/namespaceData/XmlObject.h"

namespace drivekit::features::identify::nvme {

namespace deviceAttributes = core::attributes;

Identify::Identify(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
    : IdentifyInterface(std::move(device), attributes) {}

core::Status Identify::canRun(core::Status& status) {
    status = requireProtocol(core::protocols::nvme);
    return status;
}

uint8_t Identify::cnsToSend() const {
    const uint8_t cns = attributes_.readUint8(definitions::controllerNamespaceStructure().key());
    const uint32_t nsid = attributes_.readUint32(definitions::namespaceId().key());
    const auto& drive = device_->attributes;
    if (cns == cnsNamespace && nsid < allNamespaces &&
        drive.readBool(deviceAttributes::namespaceManagementSupported().key()) &&
        !drive.readBool(deviceAttributes::isCommandPathNVMeMSFT().key())) {
        return cnsAllocatedNamespace;
    }
    return cns;
}

core::Status Identify::identify(core::Status& status) {
    LOG_ENTERING();
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::nvme::Identify command;
    const uint8_t cns = cnsToSend();
    const uint32_t nsid = attributes_.readUint32(definitions::namespaceId().key());
    const uint8_t csiValue = attributes_.readUint8(csi().key());
    LOG_DEBUG("CNS  = " << static_cast<unsigned>(cns));
    LOG_DEBUG("NSID = " << nsid);
    LOG_DEBUG("CSI  = " << static_cast<unsigned>(csiValue));
    command.setCns(cns);
    command.setNamespaceId(nsid);
    command.setCsi(csiValue);

    commands::CommandSender sender(*device_);
    status = sender.send(command);
    // Every structure fills its 4096 bytes; a shorter answer was cut, not a small structure.
    if (status.isSuccess()) {
        status = sender.requireData(commands::nvme::Identify::structureBytes);
    }
    if (status.isSuccess()) {
        data_ = sender.data();
        cnsRead_ = cns;
        hasData_ = true;
    }
    LOG_EXITING();
    return status;
}

void Identify::toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) {
    core::Status status;
    if (hasData_ && (cnsRead_ == cnsNamespace || cnsRead_ == cnsAllocatedNamespace)) {
        // Kept even when the data ran short: the tree then ends with the decoder's marker.
        object = std::make_unique<namespaceData::XmlObject>();
        decode::decodeNvmeIdentifyInto(cnsRead_, data_, *object, status);
        return;
    }
    object = hasData_ ? decode::decodeNvmeIdentify(cnsRead_, data_, status) : nullptr;
    if (!object) {
        object = std::make_unique<core::xml::XmlObject>();
    }
}

}  // namespace drivekit::features::identify::nvme
