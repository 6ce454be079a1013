// What the drive supports and what the host may lock: the supported features page (0x12), the
// NVMe-MI commands supported and effects page (0x13) and the command and feature lockdown page
// (0x14), whose log-specific field selects the scope (bits 3:0) and the list (bits 5:4).
#include <vector>

#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint32_t supportedBit = 1u << 0;
constexpr uint32_t contentChange = 1u << 1;
constexpr uint32_t capabilityChange = 1u << 4;
constexpr uint32_t controllerScope = 1u << 21;
constexpr uint32_t subsystemScope = 1u << 25;

struct LockdownScope {
    uint8_t scope;
    std::vector<uint8_t> lockable;  // identifiers the host may prohibit
    std::vector<uint8_t> fixed;     // identifiers the drive supports that cannot be prohibited
};

const std::vector<LockdownScope>& lockdownScopes() {
    static const std::vector<LockdownScope> scopes = {
        {0x0, {0x10, 0x11, 0x14, 0x80, 0x84}, {0x02, 0x06, 0x09, 0x0A}},  // admin commands
        {0x2, {0x02, 0x04, 0x06, 0x0B, 0x16}, {0x01, 0x05, 0x07, 0x08, 0x0A}},  // Set Features ids
        {0x3, {0x03, 0x06, 0x07}, {0x00, 0x01, 0x02, 0x04, 0x05}},  // management interface commands
        {0x4, {}, {}},  // PCIe commands: none
    };
    return scopes;
}

}  // namespace

SimResponse generateSupportedFeatures(const SimLogRequest& request) {
    SimBytes data(1024);
    for (const auto& [id, feature] : request.state.features) {
        uint32_t entry = supportedBit | controllerScope;
        if (id == 0x02 || id == 0x07) {
            entry |= capabilityChange;
        }
        data.u32(4u * id, entry);
    }
    return cutPage(data.payload(), request);
}

SimResponse generateMiCommandEffects(const SimLogRequest& request) {
    SimBytes data(4096);
    // Read data structure, health polls, configuration get, VPD read: no effect.
    for (const uint8_t opcode : {0x00, 0x01, 0x02, 0x04, 0x05}) {
        data.u32(4u * opcode, supportedBit);
    }
    data.u32(4u * 0x03, supportedBit | capabilityChange | subsystemScope);  // configuration set
    data.u32(4u * 0x06, supportedBit | contentChange);                      // VPD write
    data.u32(4u * 0x07, supportedBit | capabilityChange | subsystemScope);  // reset
    return cutPage(data.payload(), request);
}

SimResponse generateLockdown(const SimLogRequest& request) {
    const uint8_t scope = request.lsp & 0x0F;
    const uint8_t content = (request.lsp >> 4) & 0x03;
    const LockdownScope* found = nullptr;
    for (const auto& row : lockdownScopes()) {
        found = row.scope == scope ? &row : found;
    }
    if (found == nullptr || content > 2 || request.lsp > 0x3F) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    // Content 0: what is prohibited now (nothing); 1: what may be prohibited; 2: what is
    // supported and cannot be.
    const std::vector<uint8_t> none;
    const std::vector<uint8_t>& list = content == 1 ? found->lockable : content == 2 ? found->fixed : none;
    SimBytes data(512);
    data.u8(0, request.lsp & 0x3F);
    data.u8(3, list.size());
    data.bytes(4, list.data(), static_cast<uint32_t>(list.size()));
    return cutPage(data.payload(), request);
}

}  // namespace host::sim
