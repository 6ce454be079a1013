#pragma once
// An NVMe command the drive takes a long time over: the host gives up on it when its command
// queue's time-out is shorter. Nothing waits; the time is only compared.
#include <cstdint>
#include <optional>

#include "host/devices/sim/SimFault.h"

namespace host::sim {

struct SimSlowCommand {
    uint8_t opcode = 0;
    std::optional<uint8_t> logId;  // unset: any log page, or a command that reads none
    uint32_t seconds = 0;          // how long the drive takes over it

    bool matches(const SimCommandFacts& facts) const {
        return facts.opcode == opcode && (!logId || (facts.logId && *facts.logId == *logId));
    }
    // Whether a host waiting timeoutNanoseconds gives up before the drive answers.
    bool outlasts(uint64_t timeoutNanoseconds) const {
        return timeoutNanoseconds < uint64_t{seconds} * 1000000000ULL;
    }
};

}  // namespace host::sim
