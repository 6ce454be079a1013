#include "host/devices/sim/SimLogPages.h"

#include "host/devices/sim/SimLogPageGenerators.h"

namespace host::sim {

const std::vector<SimLogPageRow>& SimLogPages::table() {
    static const std::vector<SimLogPageRow> rows = {
        {0x00, "Supported Log Pages", generateSupportedLogPages, nullptr},
        {0x01, "Error Information", generateErrorInformation, nullptr},
        {0x02, "SMART / Health Information", generateSmartHealth, nullptr},
        {0x03, "Firmware Slot Information", generateFirmwareSlots, nullptr},
        {0x04, "Changed Namespace List", generateChangedNamespaces, nullptr},
        {0x05, "Commands Supported and Effects", generateCommandEffects, nullptr},
        {0x06, "Device Self-test", generateSelfTest, nullptr},
        {0x07, "Telemetry Host-Initiated", generateTelemetry, supportsTelemetry},
        {0x08, "Telemetry Controller-Initiated", generateTelemetry, supportsTelemetry},
        {0x09, "Endurance Group Information", generateEnduranceGroupInformation, hasEnduranceGroups},
        {0x0D, "Persistent Event Log", generatePersistentEventLog, nullptr},
        {0x0E, "LBA Status Information", generateLbaStatus, nullptr},
        {0x0F, "Endurance Group Event Aggregate", generateEnduranceGroupEvents, hasEnduranceGroups},
        {0x12, "Supported Features", generateSupportedFeatures, nullptr},
        {0x13, "NVMe-MI Commands Supported and Effects", generateMiCommandEffects, nullptr},
        {0x14, "Command and Feature Lockdown", generateLockdown, nullptr},
        {0x19, "Eye Opening Measurement", generateEyeOpening, nullptr},
        {0x81, "Sanitize Status", generateSanitizeStatus, nullptr},
        {0xC0, "SMART / Health Information Extended", generateOcpSmart, supportsOcp},
        {0xC1, "Error Recovery", generateOcpErrorRecovery, supportsOcp1},
        {0xC2, "Firmware Activation History", generateOcpFirmwareHistory, supportsOcp1},
        {0xC3, "Latency Monitor", generateOcpLatencyMonitor, supportsOcp2},
        {0xC4, "Device Capabilities", generateOcpDeviceCapabilities, supportsOcp2},
        {0xC5, "Unsupported Requirements", generateOcpUnsupportedRequirements, supportsOcp2},
        {0xCA, "SMART Attributes", generateSmartAttributes, isMakersNvmeDrive},
        {0xD5, "Temperature Statistics", generateTemperatureStatistics, isMakersProductFamily},
        {0xF2, "Power Usage", generatePowerUsage, isMakersProductFamily},
        {0xF4, "NAND Statistics", generateNandStatistics, isMakersProductFamily},
        {0xF5, "Defects Count", generateDefectsCount, isMakersProductFamily},
        {0xFA, "Performance Debug", generatePerformanceDebug, isMakersProductFamily},
        {0xFE, "Extended SMART", generateExtendedSmart, isMakersProductFamily},
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
        return SimResponse::nvmeFailure(CompletionStatus::invalidLogPage());
    }
    return row->generate(request);
}

}  // namespace host::sim
