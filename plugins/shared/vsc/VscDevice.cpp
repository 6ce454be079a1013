#include "plugins/shared/vsc/VscDevice.h"

#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/core/logging/Log.h"

namespace plugin::cli::vsc {

namespace {

namespace nvme = drivekit::commands::nvme;

// Shared by every channel; one command runs at a time in this program.
uint16_t processSequence = 0;

}  // namespace

uint16_t VscDevice::sequenceNumber() { return processSequence; }

void VscDevice::sendDescriptor(drivekit::core::Status& status, uint32_t code,
                               const drivekit::core::Payload& descriptor) {
    LOG_ENTERING();
    ++processSequence;  // wraps from 0xFFFF to 0
    const uint32_t length = descriptor.size();
    nvme::AdminCommand command(descriptorOpcode, nvme::DataDirection::toDrive, length == 0 ? 1 : length);
    command.entry().nsid = namespaceId_;
    command.entry().cdw10 = length / 4;
    command.entry().cdw12 = code;
    command.entry().cdw13 = processSequence;
    status = device_.sendCommand(command, descriptor).status;
}

void VscDevice::receive(drivekit::core::Status& status, uint32_t code, const drivekit::core::Payload& descriptor,
                        drivekit::core::Payload& data, uint32_t dwords) {
    LOG_ENTERING();
    const uint32_t wireCode = code | receiveCodeBits;
    sendDescriptor(status, wireCode, descriptor);
    if (!status.isSuccess() || dwords == 0) {
        return;
    }
    nvme::AdminCommand command(receiveOpcode, nvme::DataDirection::fromDrive, static_cast<uint64_t>(dwords) * 4);
    command.entry().nsid = namespaceId_;
    command.entry().cdw10 = dwords;
    command.entry().cdw12 = wireCode;
    command.entry().cdw13 = processSequence;
    command.entry().cdw14 = 1;
    drivekit::core::CommandResult result = device_.sendCommand(command);
    data = result.data;
    status = result.status;
}

}  // namespace plugin::cli::vsc
