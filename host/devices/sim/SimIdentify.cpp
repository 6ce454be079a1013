#include "host/devices/sim/SimIdentify.h"

#include <algorithm>

#include "host/devices/sim/SimIdentifyBuilders.h"

namespace host::sim {

const std::vector<SimIdentifyRow>& SimIdentify::table() {
    static const std::vector<SimIdentifyRow> rows = {
        {0x00, "Identify Namespace", buildIdentifyNamespace},
        {0x01, "Identify Controller", buildIdentifyController},
        {0x02, "Active Namespace ID List", buildActiveNamespaceList},
        {0x10, "Allocated Namespace ID List", buildAllocatedNamespaceList},
        {0x11, "Identify Allocated Namespace", buildIdentifyAllocatedNamespace},
    };
    return rows;
}

const SimIdentifyRow* SimIdentify::find(uint8_t cns) {
    for (const auto& row : table()) {
        if (row.cns == cns) {
            return &row;
        }
    }
    return nullptr;
}

SimResponse SimIdentify::answer(const SimIdentifyRequest& request) {
    const SimIdentifyRow* row = find(request.cns);
    if (row == nullptr) {
        return SimResponse::nvmeFailure(SimNvmeStatus::invalidField());
    }
    return row->build(request);
}

uint32_t SimIdentify::namespaceCount(const SimProfile& profile) {
    uint32_t count = profile.maxNamespaces;
    for (const auto& ns : profile.namespaces) {
        count = std::max(count, ns.id);
    }
    return count;
}

bool SimIdentify::isValidNamespaceId(const SimProfile& profile, uint32_t nsid) {
    return nsid >= 1 && nsid <= namespaceCount(profile);
}

}  // namespace host::sim
