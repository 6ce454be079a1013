#include "host/devices/sim/SimIdentify.h"

#include <algorithm>

#include "host/devices/sim/SimIdentifyBuilders.h"
#include "host/devices/sim/identify/SimIdentifyStructures.h"

namespace host::sim {

const std::vector<SimIdentifyRow>& SimIdentify::table() {
    static const std::vector<SimIdentifyRow> rows = {
        {0x00, "Identify Namespace", buildIdentifyNamespace},
        {0x01, "Identify Controller", buildIdentifyController},
        {0x02, "Active Namespace ID List", buildActiveNamespaceList},
        {0x10, "Allocated Namespace ID List", buildAllocatedNamespaceList},
        {0x03, "Namespace Identification Descriptor List", buildNamespaceIdDescriptors},
        {0x04, "NVM Set List", buildNvmSetList},
        {0x05, "I/O Command Set Specific Identify Namespace", buildCommandSetNamespace},
        {0x06, "I/O Command Set Specific Identify Controller", buildCommandSetController},
        {0x07, "I/O Command Set Active Namespace ID List", buildCommandSetActiveNamespaceList},
        {0x08, "I/O Command Set Independent Identify Namespace", buildIndependentNamespace},
        {0x11, "Identify Allocated Namespace", buildIdentifyAllocatedNamespace},
        {0x12, "Namespace Attached Controller List", buildAttachedControllerList},
        {0x13, "Controller List", buildControllerList},
        {0x14, "Primary Controller Capabilities", buildPrimaryControllerCapabilities},
        {0x15, "Secondary Controller List", buildSecondaryControllerList},
        {0x16, "Namespace Granularity List", buildNamespaceGranularityList},
        {0x17, "UUID List", buildUuidList},
        {0x18, "Domain List", buildDomainList},
        {0x19, "Endurance Group List", buildEnduranceGroupList},
        {0x1A, "I/O Command Set Allocated Namespace ID List", buildCommandSetAllocatedNamespaceList},
        {0x1B, "I/O Command Set Specific Allocated Namespace", buildCommandSetAllocatedNamespace},
        {0x1C, "I/O Command Set Combinations", buildCommandSetCombinations},
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
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
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
