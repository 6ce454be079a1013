#include "host/devices/sim/SimFault.h"

#include <boost/algorithm/string/predicate.hpp>

namespace host::sim {

namespace {

// An unset filter matches anything; a set one needs the command to carry the same value.
template <typename T>
bool fits(const std::optional<T>& filter, const std::optional<T>& value) {
    return !filter || (value && *filter == *value);
}

}  // namespace

bool SimFault::matches(const SimCommandFacts& facts) const {
    if (protocol && !boost::iequals(*protocol, facts.protocol)) {
        return false;
    }
    if (opcode && *opcode != facts.opcode) {
        return false;
    }
    if (action == Action::sizeLimit && facts.length <= bytes) {
        return false;
    }
    return fits(logId, facts.logId) && fits(cns, facts.cns) && fits(featureId, facts.featureId) &&
           fits(offset, facts.offset);
}

}  // namespace host::sim
