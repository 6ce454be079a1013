#include "host/devices/win/WinAtaDrive.h"

#include <limits>

#include "drivekit/commands/ata/Command.h"
#include "host/devices/win/AtaPassThroughRequest.h"
#include "host/devices/win/StorageLayouts.h"

namespace host::win_drives {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;

core::CommandResult WinAtaDrive::execute(core::Command& command, const core::Payload* data) {
    core::CommandResult result;
    const auto& ataCommand = static_cast<const ata::Command&>(command);
    uint64_t length = 0;
    // The request and its data travel in one buffer whose size the system takes as 32 bits.
    result.status = transferLength(ataCommand, command.protocol(),
                                   std::numeric_limits<uint32_t>::max() - sizeof(AtaPassThroughEx), length);
    if (!result.status.isSuccess()) {
        return result;
    }
    const auto bytes = static_cast<uint32_t>(length);
    const std::vector<uint8_t> request = encodeAtaPassThrough(ataCommand, bytes, timeoutSeconds(), data);
    const IoAnswer io = call(control_codes::ataPassThrough, request, command.name(), result.status);
    if (!result.status.isSuccess()) {
        return result;
    }
    AtaAnswer answer;
    result.status = decodeAtaPassThrough(io.output, bytes, ataCommand.flags().dataIn, answer);
    // The registers are the command's result even when they say it failed; an answer too short
    // to hold them has none.
    if (io.output.size() >= sizeof(AtaPassThroughEx)) {
        result.protocolResult =
            std::make_unique<core::ProtocolResult>(core::Payload(&answer.registers, sizeof(ata::TaskFile)));
    }
    if (result.status.isSuccess()) {
        result.data = answer.data;
    }
    return result;
}

}  // namespace host::win_drives
