#pragma once
// The trace of every command the simulated drives receive: one line a command, appended to
// the file the user named.
#include <cstdint>
#include <string>

#include "drivekit/commands/ata/TaskFile.h"
#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "drivekit/core/Status.h"

namespace host::sim {

class SimTrace {
public:
    // "" turns the trace off.
    static void setFile(const std::string& path);
    static void write(const std::string& line);

    // NVME opc=0x02 nsid=0xffffffff cdw10=0x00ff0002 ... cdw15=0x00000000 len=1024 timeout=30s -> 0/0
    // (the time-out the command queue held when the command was sent, in seconds)
    static std::string nvmeLine(const drivekit::commands::nvme::SubmissionEntry& entry, uint64_t length,
                                uint64_t timeoutNanoseconds, const drivekit::core::Status& status);
    // ATA proto=SMART cmd=0xb0 feature=0xd0 count=0x01 lbalow=0x00 lbamid=0x4f lbahigh=0xc2 device=0x40 blocks=1 -> 0/0
    static std::string ataLine(const std::string& protocol, const drivekit::commands::ata::TaskFile& registers,
                               uint32_t blocks, const drivekit::core::Status& status);
    // A command of a protocol the drive has no path for.
    static std::string otherLine(const std::string& protocol, const std::string& name,
                                 const drivekit::core::Status& status);
};

}  // namespace host::sim
