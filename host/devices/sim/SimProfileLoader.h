#pragma once
// Reads a simulated drive's profile: a built-in one by name, or a JSON file by path.
// Every problem becomes one line that names the file and what is wrong with it.
//
// A profile is one JSON object (the built-in ones in profiles/ are examples):
//   path        the drive's path as the host shows it (default "sim:<name>")
//   attributes  device attributes by key ("Product", "OCPSupported", "SMI", ...)
//   protocols   "NVME", "ATA", "SMART"
//   nvme        vendorId, subsystemVendorId, ieeeOui, capacityBytes, maxNamespaces,
//               namespaces [{id, sizeBlocks, blockSize, attached}],
//               telemetry {hostInitiated, controllerInitiated: last blocks of areas 1 to 4
//                 (area 4 at most 2097151: 1 GiB), changesDuringRead: N, the log being read
//                 gets a new generation number right after the first body piece (offset > 0)
//                 of each of the first N passes that read its body (a pass starts at offset 0),
//                 pattern: the data areas' bytes, "repeating" (default; deflate shrinks it
//                 fifty-fold) or "realistic" (records like a firmware dump's, which deflate
//                 level 6 shrinks to about half)},
//               firmwareSlots, features {"0xFID": value}, vendorChannel, lifeCycleState,
//               firmwareParameters {product_type .. blks_per_pln, num_ftl_instances},
//               persistentEventLogBytes: the persistent event log's target length; events
//                 repeat their cycle of every type while whole events fit (default 0: one
//                 cycle; at most 128 MiB),
//               enduranceGroupEvents: entries of the endurance group event aggregate
//                 (default 3000; at most 67108860),
//               slowCommands [{opcode, logId, seconds}]: commands the drive takes seconds over;
//                 such a command times out when the command queue's time-out is shorter
//   ata         capacityBlocks, smartAttributes [{id, flags, value, worst, raw, threshold}]
//   health      the figures of the SMART / health pages
//   replay      a folder of a package's binaries, served for the commands that read them
//   faults      [{protocol, opcode, logId, cns, featureId, offset, action, statusCodeType,
//                 statusCode, bytes, times, afterCommands, milliseconds}]; action "remove": the
//                 first matching command after the drive received afterCommands commands, and
//                 every command after it, fail as on a drive whose device node is gone; action
//                 "delay" makes the drive take milliseconds (at most 60000) over each matching
//                 command, then answer
#include <string>
#include <vector>

#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileLoader {
public:
    // A built-in name or a path. False (and error set) when the profile cannot be used.
    static bool load(const std::string& nameOrPath, SimProfile& profile, std::string& error);
    // Parses text read from file (used for messages and for the replay folder's base).
    static bool parse(const std::string& text, const std::string& file, SimProfile& profile, std::string& error);

    static std::vector<std::string> builtInNames();
    // The folder of the built-in profiles: the tool's own (beside the executable, or installed
    // under lib/ssdtool/), or the source tree's when the program runs from elsewhere.
    static std::string builtInFolder();
};

}  // namespace host::sim
