#include "plugins/shared/vsc/VscDevice.h"

#include <chrono>

#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/core/CommandJournal.h"
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
    const auto started = std::chrono::steady_clock::now();
    const uint32_t wireCode = code | receiveCodeBits;
    exchange(status, wireCode, descriptor, data, dwords);
    // Kept for the package's manifest: no file holds the answer, yet what is read next may
    // depend on it, and a replay of the package answers with it.
    drivekit::core::CommandJournal::VendorRead read;
    read.code = wireCode;
    read.status = status.isSuccess() ? "success" : status.message();
    read.microseconds = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count());
    if (status.isSuccess() && !data.empty()) {
        read.data.assign(data.data(), data.data() + data.size());
    }
    drivekit::core::CommandJournal::noteVendorRead(std::move(read));
}

void VscDevice::exchange(drivekit::core::Status& status, uint32_t wireCode, const drivekit::core::Payload& descriptor,
                         drivekit::core::Payload& data, uint32_t dwords) {
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
