#pragma once
// The "nvme" section of a profile: the controller, its namespaces, telemetry, firmware,
// features and the sizes of its longer logs.
#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileNvme {
public:
    // Also sets what follows from the attributes (the NVMe version, the vendor channel).
    static void read(const SimJsonReader& top, SimProfile& profile);
};

}  // namespace host::sim
