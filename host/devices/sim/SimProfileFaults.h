#pragma once
// The "faults" section of a profile: the commands the drive fails, and how.
#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileFaults {
public:
    static void read(const SimJsonReader& top, SimProfile& profile);
};

}  // namespace host::sim
