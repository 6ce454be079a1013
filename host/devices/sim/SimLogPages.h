#pragma once
// Get Log Page content on the simulated drive: one table keyed by log id, each row naming the
// generator of the page and, where a page depends on the drive, when it is supported. A
// generator answers one command: the bytes from the command's offset for its length, built
// without building the rest of the page, so a large page read piece by piece costs time and
// memory in proportion to the piece.
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
    uint64_t offset;  // byte offset into the page
    uint64_t length;  // bytes the command transfers
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
    // The requested part of the page, or Invalid Log Page for a page the drive does not have.
    static SimResponse generate(const SimLogRequest& request);
};

}  // namespace host::sim
