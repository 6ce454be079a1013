#pragma once
// Get Log Page content on the simulated drive: one table keyed by log id, each row naming the
// generator of the whole page and, where a page depends on the drive, when it is supported.
// The drive serves slices of the page at the command's offset.
#include <cstdint>
#include <vector>

#include "host/devices/sim/SimDriveState.h"
#include "host/devices/sim/SimProfile.h"
#include "host/devices/sim/SimResponse.h"

namespace host::sim {

struct SimLogRequest {
    const SimProfile& profile;
    const SimDriveState& state;
    uint8_t logId;
    uint8_t lsp;
    uint16_t lsi;
    uint32_t nsid;
};

using SimLogGenerator = SimResponse (*)(const SimLogRequest& request);
using SimLogSupport = bool (*)(const SimProfile& profile);

struct SimLogPageRow {
    uint8_t logId;
    const char* name;
    SimLogGenerator generate;
    SimLogSupport supported;  // null: every drive has the page
};

class SimLogPages {
public:
    static const std::vector<SimLogPageRow>& table();
    // The row of a page this drive supports, or null.
    static const SimLogPageRow* find(const SimProfile& profile, uint8_t logId);
    // The whole page, or Invalid Log Page for a page the drive does not have.
    static SimResponse generate(const SimLogRequest& request);
};

}  // namespace host::sim
