#pragma once
// The "replay" section of a profile: the folder of a package's binaries the drive serves.
#include <string>

#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileReplay {
public:
    // A relative folder is taken from the folder of the profile file.
    static void read(const SimJsonReader& top, const std::string& file, SimProfile& profile);
};

}  // namespace host::sim
