#pragma once
// Identify on the simulated drive: one table keyed by CNS, each row naming the function that
// builds that structure. A CNS without a row fails with Invalid Field in Command.
#include <cstdint>
#include <vector>

#include "host/devices/sim/SimProfile.h"
#include "host/devices/sim/SimResponse.h"

namespace host::sim {

struct SimIdentifyRequest {
    const SimProfile& profile;
    uint8_t cns;
    uint32_t nsid;
    uint16_t controllerId;  // CDW10 bits 31:16
    uint8_t csi;            // CDW11 bits 31:24
};

using SimIdentifyBuilder = SimResponse (*)(const SimIdentifyRequest& request);

struct SimIdentifyRow {
    uint8_t cns;
    const char* name;
    SimIdentifyBuilder build;
};

class SimIdentify {
public:
    // Every Identify structure is 4096 bytes.
    static constexpr uint32_t structureSize = 4096;

    static const std::vector<SimIdentifyRow>& table();
    static const SimIdentifyRow* find(uint8_t cns);
    // The structure for the request, or the failure a controller returns.
    static SimResponse answer(const SimIdentifyRequest& request);

    // Number of Namespaces the controller reports (NN).
    static uint32_t namespaceCount(const SimProfile& profile);
    // Whether nsid may name a namespace of this controller (1..NN).
    static bool isValidNamespaceId(const SimProfile& profile, uint32_t nsid);
};

}  // namespace host::sim
