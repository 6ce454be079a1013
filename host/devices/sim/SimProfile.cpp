#include "host/devices/sim/SimProfile.h"

#include <algorithm>

#include <boost/algorithm/string/predicate.hpp>

namespace host::sim {

bool SimProfile::speaks(const std::string& protocol) const {
    return std::any_of(protocols.begin(), protocols.end(),
                       [&](const std::string& p) { return boost::iequals(p, protocol); });
}

std::vector<uint32_t> SimProfile::activeNamespaceIds() const {
    std::vector<uint32_t> ids;
    for (const auto& ns : namespaces) {
        if (ns.attached) {
            ids.push_back(ns.id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<uint32_t> SimProfile::allocatedNamespaceIds() const {
    std::vector<uint32_t> ids;
    for (const auto& ns : namespaces) {
        ids.push_back(ns.id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

const SimNamespace* SimProfile::findNamespace(uint32_t id) const {
    for (const auto& ns : namespaces) {
        if (ns.id == id) {
            return &ns;
        }
    }
    return nullptr;
}

}  // namespace host::sim
