#pragma once
// What the drive answers to one command before faults and tracing are applied.
#include <cstdint>

#include "drivekit/commands/ata/TaskFile.h"
#include "drivekit/core/Payload.h"
#include "drivekit/commands/nvme/CompletionStatus.h"

namespace host::sim {

using drivekit::commands::nvme::CompletionStatus;

struct SimResponse {
    // NVMe: the completion status and dword 0.
    CompletionStatus nvmeStatus;
    uint32_t dw0 = 0;
    // ATA: the returned registers; an aborted command has ERR (bit 0) set in the status.
    bool ataAborted = false;
    drivekit::commands::ata::TaskFile ataOutput{0, 0, 0, 0, 0, 0x40, 0x50, 0};
    // The command's protocol is one the drive does not speak.
    bool protocolRefused = false;
    // The host gave up waiting: no completion, no data.
    bool timedOut = false;
    // The drive has gone away: nothing reaches it, nothing comes back.
    bool gone = false;
    drivekit::core::Payload data;

    static SimResponse nvmeFailure(CompletionStatus status) {
        SimResponse response;
        response.nvmeStatus = status;
        return response;
    }
    static SimResponse withData(drivekit::core::Payload payload) {
        SimResponse response;
        response.data = std::move(payload);
        return response;
    }
    // ABRT in the error register, ERR and DRDY in the status register.
    static SimResponse ataAbort() {
        SimResponse response;
        response.ataAborted = true;
        response.ataOutput.feature = 0x04;
        response.ataOutput.command = 0x51;
        return response;
    }
    static SimResponse timeout() {
        SimResponse response;
        response.timedOut = true;
        return response;
    }
    static SimResponse removed() {
        SimResponse response;
        response.gone = true;
        return response;
    }
    bool failed() const { return protocolRefused || ataAborted || timedOut || gone || !nvmeStatus.isSuccess(); }
};

}  // namespace host::sim
