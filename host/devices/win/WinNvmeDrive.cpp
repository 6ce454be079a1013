#include "host/devices/win/WinNvmeDrive.h"

#include <limits>

#include "host/devices/win/NvmeFeatureSet.h"
#include "host/devices/win/NvmeProtocolCommand.h"
#include "host/devices/win/NvmeProtocolQuery.h"

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

}  // namespace

bool WinNvmeDrive::isProtocolSupported(const std::string& protocol) const { return protocol == core::protocols::nvme; }

core::CommandResult WinNvmeDrive::execute(core::Command& generic, const core::Payload* data) {
    const auto& command = static_cast<const nvme::Command&>(generic);
    core::CommandResult result;
    const nvme::SubmissionEntry& entry = command.entry();
    const uint64_t length = transferLength(command);
    if (length > std::numeric_limits<uint32_t>::max()) {
        result.status = core::Status::invalidArguments();
        return result;
    }
    const auto bytes = static_cast<uint32_t>(length);
    ProtocolAnswer answer;
    if (const auto query = nvmeProtocolQuery(entry, bytes)) {
        const IoAnswer io = call(control_codes::storageQueryProperty, encodeProtocolQuery(*query), command.name(),
                                 result.status);
        if (result.status.isSuccess()) {
            result.status = decodeProtocolAnswer(io.output, *query, answer);
        }
    } else if (entry.opcode() == nvme::opcodes::setFeatures) {
        const IoAnswer io = call(control_codes::storageSetProperty,
                                 encodeFeatureSet(entry, command.flags().dataOut ? bytes : 0, data), command.name(),
                                 result.status);
        answer.fixedReturnData = featureSetReturnData(io.output);
    } else {
        const ProtocolTransfer transfer{command.flags().dataIn, command.flags().dataOut, bytes};
        const IoAnswer io = call(control_codes::storageProtocolCommand,
                                 encodeProtocolCommand(entry, transfer, timeoutSeconds(), data), command.name(),
                                 result.status);
        if (result.status.isSuccess()) {
            result.status = decodeProtocolCommand(io.output, transfer, answer);
        }
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
