#pragma once
// The faults of one drive, each with the count of commands it still applies to.
#include <cstddef>
#include <optional>
#include <vector>

#include "host/devices/sim/SimFault.h"

namespace host::sim {

class SimFaultSet {
public:
    SimFaultSet() = default;
    explicit SimFaultSet(std::vector<SimFault> faults);

    // The first fault that matches and is not used up; its count goes down by one. A size
    // limit only takes hold of commands larger than its limit. Once a removal has taken hold,
    // it answers every command after it.
    const SimFault* take(const SimCommandFacts& facts);

private:
    struct Entry {
        SimFault fault;
        uint32_t used = 0;
    };
    std::vector<Entry> entries_;
    uint64_t received_ = 0;  // commands taken so far
    std::optional<std::size_t> removedBy_;  // the entry of the removal that took hold
};

}  // namespace host::sim
