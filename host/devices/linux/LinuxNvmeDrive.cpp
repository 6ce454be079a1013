#include "host/devices/linux/LinuxNvmeDrive.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <linux/nvme_ioctl.h>
#include <sys/ioctl.h>

#include "drivekit/commands/nvme/Command.h"
#include "drivekit/commands/nvme/CompletionStatus.h"

namespace host::linux_drives {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

namespace {

// What the kernel returns for a command it gave up on: the controller's "Command Abort
// Requested" (the driver aborts a command that outlives its time-out) and the host's own
// "Host Aborted Command" (after a controller reset). This program never aborts a command itself.
constexpr int abortRequested = 0x007;
constexpr int hostAborted = 0x371;

core::Payload completion(uint32_t dw0, int statusField, uint16_t commandId) {
    nvme::CompletionEntry entry{};
    entry.dw0 = dw0;
    entry.cid = commandId;
    // The kernel hands back the completion's status without its phase bit.
    entry.status = static_cast<uint16_t>(statusField << 1);
    return core::Payload(&entry, sizeof(entry));
}

core::Status nvmeFailure(int statusField, const std::string& name, const std::string& path) {
    const auto type = static_cast<uint8_t>((statusField >> 8) & 0x7);
    const auto code = static_cast<uint8_t>(statusField & 0xFF);
    const int withoutFlags = statusField & 0x7FF;
    if (withoutFlags == abortRequested || withoutFlags == hostAborted) {
        core::Status status = core::Status::commandTimedOut();
        status.setMessage(name + " on " + path + " was aborted: it did not complete within the command time-out.");
        return status;
    }
    core::Status status = core::Status::nvmeCommandProblem();
    status.setMessage(status.message() + " " + name + " on " + path + ": " +
                      nvme::CompletionStatus{type, code}.describe());
    return status;
}

// What the controller moves for the commands that carry their own length: Get Log Page's
// number of dwords and Identify's one structure.
uint64_t lengthInCommand(const nvme::SubmissionEntry& entry) {
    switch (entry.opcode()) {
        case nvme::opcodes::getLogPage:
            return ((static_cast<uint64_t>(entry.cdw11 & 0xFFFF) << 16 | (entry.cdw10 >> 16)) + 1) * 4;
        case nvme::opcodes::identify: return 4096;
        default: return 0;
    }
}

// The buffer a command moves: its transfer size, holding the caller's bytes for a write. A
// command is never sent with a smaller buffer than it asks the controller to move: the
// controller would write past it.
core::Status dataBuffer(const nvme::Command& command, const core::Payload* data, core::Payload& buffer) {
    const bool writes = command.flags().dataOut && data != nullptr;
    uint64_t length = command.transferBytes;
    if (length == 0 && writes) {
        length = data->size();
    }
    if (command.flags().dataIn) {
        length = std::max(length, lengthInCommand(command.entry()));
    } else if (!command.flags().dataOut) {
        length = 0;
    }
    if (length > std::numeric_limits<uint32_t>::max()) {
        return core::Status::invalidArguments();
    }
    buffer = length == 0 ? core::Payload() : core::Payload(length);
    if (buffer.size() != length) {
        return core::Status::allocationFailed();
    }
    if (writes && length != 0 && !data->empty()) {
        std::memcpy(buffer.data(), data->data(), std::min<uint64_t>(length, data->size()));
    }
    return core::Status::success();
}

}  // namespace

bool LinuxNvmeDrive::isProtocolSupported(const std::string& protocol) const {
    return protocol == core::protocols::nvme;
}

core::CommandResult LinuxNvmeDrive::execute(core::Command& command, const core::Payload* data) {
    core::CommandResult result;
    const auto& nvmeCommand = static_cast<const nvme::Command&>(command);
    const nvme::SubmissionEntry& entry = nvmeCommand.entry();
    core::Payload buffer;
    result.status = dataBuffer(nvmeCommand, data, buffer);
    if (!result.status.isSuccess()) {
        return result;
    }
    nvme_passthru_cmd request{};
    request.opcode = entry.opcode();
    request.nsid = entry.nsid;
    request.cdw2 = entry.cdw2;
    request.cdw3 = entry.cdw3;
    request.addr = reinterpret_cast<uintptr_t>(buffer.empty() ? nullptr : buffer.data());
    request.data_len = buffer.size();
    request.cdw10 = entry.cdw10;
    request.cdw11 = entry.cdw11;
    request.cdw12 = entry.cdw12;
    request.cdw13 = entry.cdw13;
    request.cdw14 = entry.cdw14;
    request.cdw15 = entry.cdw15;
    request.timeout_ms = timeoutMilliseconds();

    const int answer = passThrough().call(NVME_IOCTL_ADMIN_CMD, &request);
    const auto commandId = static_cast<uint16_t>(entry.cdw0 >> 16);
    if (answer < 0) {
        result.status = errnoStatus(-answer, {path(), Request::nvmeAdmin, command.name(), buffer.size()});
    } else if (answer > 0) {
        result.status = nvmeFailure(answer, command.name(), path());
        result.protocolResult = std::make_unique<core::ProtocolResult>(completion(0, answer, commandId));
    } else {
        result.protocolResult = std::make_unique<core::ProtocolResult>(completion(request.result, 0, commandId));
        if (nvmeCommand.flags().dataIn) {
            result.data = buffer;
        }
    }
    return result;
}

}  // namespace host::linux_drives
