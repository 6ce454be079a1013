#pragma once
// One injected fault: which commands it matches and what it does to them.
#include <cstdint>
#include <optional>
#include <string>

#include "drivekit/commands/nvme/CompletionStatus.h"

namespace host::sim {

using drivekit::commands::nvme::CompletionStatus;

// The facts of a command that a fault can match on.
struct SimCommandFacts {
    std::string protocol;  // "NVME", "ATA" or "SMART"
    uint8_t opcode = 0;    // NVMe opcode or ATA command register
    std::optional<uint8_t> logId;
    std::optional<uint8_t> cns;
    std::optional<uint8_t> featureId;  // NVMe feature id or ATA SMART feature register
    std::optional<uint64_t> offset;
    uint64_t length = 0;  // bytes the command transfers
};

struct SimFault {
    enum class Action { status, shortData, noData, sizeLimit, remove, delay };

    // Unset fields match anything.
    std::optional<std::string> protocol;
    std::optional<uint8_t> opcode;
    std::optional<uint8_t> logId;
    std::optional<uint8_t> cns;
    std::optional<uint8_t> featureId;
    std::optional<uint64_t> offset;

    Action action = Action::status;
    CompletionStatus status = CompletionStatus::invalidField();  // status and sizeLimit
    uint64_t bytes = 0;                                    // shortData: bytes kept; sizeLimit: largest allowed
    uint32_t milliseconds = 0;                             // delay: how long the drive takes
    std::optional<uint32_t> times;                         // only the first K matching commands
    uint64_t afterCommands = 0;  // remove: not before the drive has received this many commands

    bool matches(const SimCommandFacts& facts) const;
};

}  // namespace host::sim
