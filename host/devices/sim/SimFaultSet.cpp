#include "host/devices/sim/SimFaultSet.h"

namespace host::sim {

SimFaultSet::SimFaultSet(std::vector<SimFault> faults) {
    for (auto& fault : faults) {
        entries_.push_back({std::move(fault), 0});
    }
}

const SimFault* SimFaultSet::take(const SimCommandFacts& facts) {
    const uint64_t before = received_++;
    if (removedBy_) {
        return &entries_[*removedBy_].fault;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        const SimFault& fault = entry.fault;
        const bool early = fault.action == SimFault::Action::remove && before < fault.afterCommands;
        if (early || (fault.times && entry.used >= *fault.times)) {
            continue;
        }
        if (fault.matches(facts)) {
            ++entry.used;
            if (fault.action == SimFault::Action::remove) {
                removedBy_ = i;
            }
            return &fault;
        }
    }
    return nullptr;
}

}  // namespace host::sim
