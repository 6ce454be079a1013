#include "drivekit/commands/CommandSender.h"

#include <chrono>
#include <cstddef>

#include "drivekit/commands/CommandFields.h"
#include "drivekit/commands/nvme/SubmissionEntry.h"

namespace drivekit::commands {

namespace {

// Failures that never reached the drive's command set: the drive gone, no answer in time, or
// the system refusing the command.
bool isBelowProtocol(const core::Status& status) {
    for (const auto& kept : {core::Status::deviceGone(), core::Status::commandTimedOut(), core::Status::interrupted(),
                             core::Status::accessRefused(), core::Status::transferRefused(),
                             core::Status::systemError()}) {
        if (status == kept) {
            return true;
        }
    }
    return false;
}

// Kept for the package's manifest: what was sent, how it ended and how long it took.
void journal(const core::Command& command, const core::Status& status, std::chrono::nanoseconds taken) {
    if (!core::CommandJournal::recording()) {
        return;
    }
    core::CommandJournal::Command record = commandFields(command);
    record.status = status.isSuccess() ? "success" : status.message();
    record.microseconds = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(taken).count());
    core::CommandJournal::noteCommand(std::move(record));
}

}  // namespace

template <typename Send>
core::Status CommandSender::sendWith(core::Command& command, Send send) {
    // A completion belongs to one command: whatever happens now, the last one's is gone.
    hasProtocolResult_ = false;
    protocolData_ = core::Payload();
    if (!device_.isProtocolSupported(command.protocol())) {
        LOG_ERROR("The drive does not take " << command.protocol() << " commands (" << command.name()
                                             << ")");
        return core::Status::commandSetNotSupported();
    }
    const auto started = std::chrono::steady_clock::now();
    core::CommandResult result;
    result = send();
    journal(command, result.status, std::chrono::steady_clock::now() - started);
    if (!result.status.isSuccess()) {
        LOG_ERROR(command.name() << " failed: " << result.status.category() << "/" << result.status.code()
                                 << " " << result.status.message());
        if (result.status == core::Status::deviceGone()) {
            device_.markGone(result.status);
        }
        // An NVMe drive's own answer stays in the log and callers see one fixed status; a
        // failure below it keeps its own status and wording, so that the user learns what
        // happened.
        return command.protocol() == core::protocols::nvme && !isBelowProtocol(result.status)
                   ? core::Status::nvmeCommandProblem()
                   : result.status;
    }
    data_ = result.data;
    hasProtocolResult_ = result.protocolResult != nullptr;
    protocolData_ = hasProtocolResult_ ? result.protocolResult->data() : core::Payload();
    return core::Status::success();
}

core::Status CommandSender::send(core::Command& command) {
    return sendWith(command, [&] { return device_.sendCommand(command); });
}

core::Status CommandSender::send(core::Command& command, const core::Payload& buffer) {
    return sendWith(command, [&] { return device_.sendCommand(command, buffer); });
}

core::Status CommandSender::completionValue(uint32_t& value) const {
    // Only dword 0 is needed, so a driver that returns just that much is accepted.
    if (!hasProtocolResult_ || protocolData_.size() < sizeof(nvme::CompletionEntry::dw0)) {
        return core::Status::noProtocolResult();
    }
    value = *protocolData_.safeCast<uint32_t>(offsetof(nvme::CompletionEntry, dw0));
    return core::Status::success();
}

core::Status CommandSender::requireData(uint64_t bytes) const {
    return data_.size() < bytes ? core::Status::unexpectedDataLength() : core::Status::success();
}

}  // namespace drivekit::commands
