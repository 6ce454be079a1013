#pragma once
// The "attributes" and "protocols" sections of a profile: the device attributes by key and the
// protocols the drive speaks.
#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileAttributes {
public:
    static void readAttributes(const SimJsonReader& top, SimProfile& profile);
    static void readProtocols(const SimJsonReader& top, SimProfile& profile);
};

}  // namespace host::sim
