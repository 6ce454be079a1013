#include "host/devices/win/WinNvmeDrive.h"

#include <algorithm>
#include <limits>

#include "host/devices/AdminQueue.h"
#include "host/devices/win/NvmeProtocolCommand.h"
#include "host/devices/win/NvmeProtocolQuery.h"
#include "host/devices/win/SystemErrorStatus.h"

namespace host::win_drives {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

namespace {

core::Payload completion(uint32_t dw0, uint16_t commandId) {
    nvme::CompletionEntry entry{};
    entry.dw0 = dw0;
    entry.cid = commandId;
    return core::Payload(&entry, sizeof(entry));
}

// What the command moves: its transfer size, and for Get Log Page at least what its number of
// dwords tells the controller to move.
uint64_t transferLength(const nvme::Command& command) {
    const nvme::SubmissionEntry& entry = command.entry();
    if (entry.opcode() == nvme::opcodes::getLogPage) {
        return ((static_cast<uint64_t>(entry.cdw11 & 0xFFFF) << 16 | (entry.cdw10 >> 16)) + 1) * 4;
    }
    return command.flags().dataIn || command.flags().dataOut ? command.transferBytes : 0;
}

uint32_t timeoutSeconds(const core::Device& drive) {
    const uint64_t seconds = devices::AdminQueue::timeoutOf(drive) / 1000000000ULL;
    return static_cast<uint32_t>(std::clamp<uint64_t>(seconds, 1, std::numeric_limits<uint32_t>::max()));
}

}  // namespace

WinNvmeDrive::WinNvmeDrive(std::unique_ptr<IoControl> io) : io_(std::move(io)) {
    queues.push_back(std::make_shared<devices::AdminQueue>());
}

bool WinNvmeDrive::isProtocolSupported(const std::string& protocol) const { return protocol == core::protocols::nvme; }

core::CommandResult WinNvmeDrive::sendCommand(core::Command& command, const core::Payload& data) {
    return checkedExecute(command, &data);
}

core::CommandResult WinNvmeDrive::sendCommand(core::Command& command) { return checkedExecute(command, nullptr); }

core::CommandResult WinNvmeDrive::checkedExecute(core::Command& command, const core::Payload* data) {
    core::CommandResult result;
    if (!isProtocolSupported(command.protocol())) {
        result.status = core::Status::commandSetNotSupported();
    } else if (const core::Status refused = admit(command); !refused.isSuccess()) {
        result.status = refused;
    } else {
        result = execute(static_cast<const nvme::Command&>(command), data);
    }
    return result;
}

core::CommandResult WinNvmeDrive::execute(const nvme::Command& command, const core::Payload* data) {
    core::CommandResult result;
    const nvme::SubmissionEntry& entry = command.entry();
    const uint64_t length = transferLength(command);
    if (length > std::numeric_limits<uint32_t>::max()) {
        result.status = core::Status::invalidArguments();
        return result;
    }
    ProtocolAnswer answer;
    if (const auto query = nvmeProtocolQuery(entry, static_cast<uint32_t>(length))) {
        const std::vector<uint8_t> request = encodeProtocolQuery(*query);
        const IoAnswer io = io_->call(control_codes::storageQueryProperty, request, request.size());
        result.status = io.systemError != 0 ? systemErrorStatus(io.systemError, io_->path(), command.name())
                                            : decodeProtocolAnswer(io.output, *query, answer);
    } else {
        const ProtocolTransfer transfer{command.flags().dataIn, command.flags().dataOut, static_cast<uint32_t>(length)};
        const std::vector<uint8_t> request = encodeProtocolCommand(entry, transfer, timeoutSeconds(*this), data);
        const IoAnswer io = io_->call(control_codes::storageProtocolCommand, request, request.size());
        result.status = io.systemError != 0 ? systemErrorStatus(io.systemError, io_->path(), command.name())
                                            : decodeProtocolCommand(io.output, transfer, answer);
    }
    if (result.status.isSuccess()) {
        result.protocolResult = std::make_unique<core::ProtocolResult>(
            completion(answer.fixedReturnData, static_cast<uint16_t>(entry.cdw0 >> 16)));
        if (command.flags().dataIn) {
            result.data = answer.data;
        }
    }
    return result;
}

}  // namespace host::win_drives
