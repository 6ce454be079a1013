#pragma once
// The generators of the log-page table, one group per file, and the tests of which drives
// have a page.
#include "host/devices/sim/SimLogPages.h"

namespace host::sim {

// Standard fixed-size pages.
SimResponse generateSupportedLogPages(const SimLogRequest& request);
SimResponse generateErrorInformation(const SimLogRequest& request);
SimResponse generateSmartHealth(const SimLogRequest& request);
SimResponse generateFirmwareSlots(const SimLogRequest& request);
SimResponse generateChangedNamespaces(const SimLogRequest& request);
SimResponse generateCommandEffects(const SimLogRequest& request);
SimResponse generateSelfTest(const SimLogRequest& request);
SimResponse generateEnduranceGroupInformation(const SimLogRequest& request);
SimResponse generateSanitizeStatus(const SimLogRequest& request);

// What the drive supports and what is locked down: supported features (0x12), NVMe-MI
// command effects (0x13), command and feature lockdown (0x14).
SimResponse generateSupportedFeatures(const SimLogRequest& request);
SimResponse generateMiCommandEffects(const SimLogRequest& request);
SimResponse generateLockdown(const SimLogRequest& request);

// Pages whose header gives their length: LBA status (0x0E), endurance group event
// aggregate (0x0F), eye opening measurement (0x19).
SimResponse generateLbaStatus(const SimLogRequest& request);
SimResponse generateEnduranceGroupEvents(const SimLogRequest& request);
SimResponse generateEyeOpening(const SimLogRequest& request);

// The persistent event log (0x0D).
SimResponse generatePersistentEventLog(const SimLogRequest& request);

// Host-initiated (0x07) and controller-initiated (0x08) telemetry: header and data areas.
SimResponse generateTelemetry(const SimLogRequest& request);

// The cloud SSD pages 0xC0 to 0xC5.
SimResponse generateOcpSmart(const SimLogRequest& request);
SimResponse generateOcpErrorRecovery(const SimLogRequest& request);
SimResponse generateOcpFirmwareHistory(const SimLogRequest& request);
SimResponse generateOcpLatencyMonitor(const SimLogRequest& request);
SimResponse generateOcpDeviceCapabilities(const SimLogRequest& request);
SimResponse generateOcpUnsupportedRequirements(const SimLogRequest& request);

// The maker's pages: SMART attributes (0xCA) on its NVMe drives; on its product family
// temperature statistics (0xD5), power usage (0xF2), NAND statistics (0xF4), defects count
// (0xF5), performance debug (0xFA) and extended SMART (0xFE).
SimResponse generateSmartAttributes(const SimLogRequest& request);
SimResponse generateTemperatureStatistics(const SimLogRequest& request);
SimResponse generatePowerUsage(const SimLogRequest& request);
SimResponse generateNandStatistics(const SimLogRequest& request);
SimResponse generateDefectsCount(const SimLogRequest& request);
SimResponse generatePerformanceDebug(const SimLogRequest& request);
SimResponse generateExtendedSmart(const SimLogRequest& request);

bool supportsTelemetry(const SimProfile& profile);
bool hasEnduranceGroups(const SimProfile& profile);
bool supportsOcp(const SimProfile& profile);
bool supportsOcp1(const SimProfile& profile);
bool supportsOcp2(const SimProfile& profile);
bool isMakersNvmeDrive(const SimProfile& profile);
bool isMakersProductFamily(const SimProfile& profile);

}  // namespace host::sim
