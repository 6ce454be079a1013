#pragma once
// A debug-logs package replayed as a drive: the drive answers every command from the
// package's files alone, and its attributes come from them as a host takes a real drive's
// from its Identify data.
#include <memory>
#include <string>

#include "host/devices/sim/SimulatedDrive.h"

namespace host::sim {

class SimPackageDrive {
public:
    // Null with error set (one line) when path is not a package of one drive's files.
    static std::shared_ptr<SimulatedDrive> open(const std::string& path, std::string& error);
};

}  // namespace host::sim
