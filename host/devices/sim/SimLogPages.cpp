#include "host/devices/sim/SimLogPages.h"

#include "host/devices/sim/SimLogPageGenerators.h"

namespace host::sim {

const std::vector<SimLogPageRow>& SimLogPages::table() {
    static const std::vector<SimLogPageRow> rows = {
        {0x00, "Supported Log Pages", generateSupportedLogPages, nullptr},
        {0x01, "Error Information", generateErrorInformation, nullptr},
        {0x02, "SMART / Health Information", generateSmartHealth, nullptr},
        {0x03, "Firmware Slot Information", generateFirmwareSlots, nullptr},
        {0x05, "Commands Supported and Effects", generateCommandEffects, nullptr},
        {0x07, "Telemetry Host-Initiated", generateTelemetry, supportsTelemetry},
        {0x08, "Telemetry Controller-Initiated", generateTelemetry, supportsTelemetry},
    };
    return rows;
}

const SimLogPageRow* SimLogPages::find(const SimProfile& profile, uint8_t logId) {
    for (const auto& row : table()) {
        if (row.logId == logId) {
            return row.supported == nullptr || row.supported(profile) ? &row : nullptr;
        }
    }
    return nullptr;
}

SimResponse SimLogPages::generate(const SimLogRequest& request) {
    const SimLogPageRow* row = find(request.profile, request.logId);
    if (row == nullptr) {
        return SimResponse::nvmeFailure(SimNvmeStatus::invalidLogPage());
    }
    return row->generate(request);
}

}  // namespace host::sim
