#include "host/devices/sim/SimFaultSet.h"

namespace host::sim {

SimFaultSet::SimFaultSet(std::vector<SimFault> faults) {
    for (auto& fault : faults) {
        entries_.push_back({std::move(fault), 0});
    }
}

const SimFault* SimFaultSet::take(const SimCommandFacts& facts) {
    for (auto& entry : entries_) {
        if (entry.fault.times && entry.used >= *entry.fault.times) {
            continue;
        }
        if (entry.fault.matches(facts)) {
            ++entry.used;
            return &entry.fault;
        }
    }
    return nullptr;
}

}  // namespace host::sim
