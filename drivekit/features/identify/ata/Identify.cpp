#include "drivekit/features/identify/ata/Identify.h"

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/CheckPowerMode.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"

namespace drivekit::features::identify::ata {

namespace {
constexpr uint64_t identifyDeviceBlockBytes = 512;
}  // namespace

Identify::Identify(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
    : IdentifyInterface(std::move(device), attributes) {}

core::Status Identify::canRun(core::Status& status) {
    status = requireProtocol(core::protocols::ata);
    return status;
}

core::Status Identify::identify(core::Status& status) {
    LOG_ENTERING();
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::CommandSender sender(*device_);
    // A drive left with a PIO error answers the next PIO command badly; a DMA read (or at
    // least a non-data command) first brings it back to a clean state.
    LOG_DEBUG("Attempting ReadDMA first to clear potential PIO errors");
    commands::ata::ReadDMA readDma;
    if (!sender.send(readDma).isSuccess()) {
        LOG_DEBUG("ReadDMA failed for some reason. Trying CheckPowerMode instead");
        commands::ata::CheckPowerMode checkPowerMode;
        sender.send(checkPowerMode);
    }
    commands::ata::IdentifyDevice identifyDevice;
    status = sender.send(identifyDevice);
    if (status.isSuccess()) {
        status = sender.requireData(uint64_t{identifyDevice.transferBlocks} * identifyDeviceBlockBytes);
    }
    if (status.isSuccess()) {
        data_ = sender.data();
        hasData_ = true;
    }
    LOG_EXITING();
    return status;
}

void Identify::toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) {
    core::Status status;
    object = hasData_ ? decode::decodeAtaIdentifyDevice(data_, status) : nullptr;
    if (!object) {
        object = std::make_unique<core::xml::XmlObject>();
    }
}

}  // namespace drivekit::features::identify::ata
