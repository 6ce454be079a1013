#pragma once
// The "ata" and "health" sections of a profile: the SATA drive's capacity and SMART
// attributes, and the figures both protocols' health pages report.
#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileAta {
public:
    static void readAta(const SimJsonReader& top, SimProfile& profile);
    static void readHealth(const SimJsonReader& top, SimProfile& profile);
};

}  // namespace host::sim
