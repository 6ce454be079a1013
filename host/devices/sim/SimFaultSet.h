#pragma once
// The faults of one drive, each with the count of commands it still applies to.
#include <vector>

#include "host/devices/sim/SimFault.h"

namespace host::sim {

class SimFaultSet {
public:
    SimFaultSet() = default;
    explicit SimFaultSet(std::vector<SimFault> faults);

    // The first fault that matches and is not used up; its count goes down by one. A size
    // limit only takes hold of commands larger than its limit.
    const SimFault* take(const SimCommandFacts& facts);

private:
    struct Entry {
        SimFault fault;
        uint32_t used = 0;
    };
    std::vector<Entry> entries_;
};

}  // namespace host::sim
