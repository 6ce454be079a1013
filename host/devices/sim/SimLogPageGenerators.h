#pragma once
// The generators of the log-page table, one group per file.
#include "host/devices/sim/SimLogPages.h"

namespace host::sim {

SimResponse generateSupportedLogPages(const SimLogRequest& request);
SimResponse generateErrorInformation(const SimLogRequest& request);
SimResponse generateSmartHealth(const SimLogRequest& request);
SimResponse generateFirmwareSlots(const SimLogRequest& request);
SimResponse generateCommandEffects(const SimLogRequest& request);
// Host-initiated (0x07) and controller-initiated (0x08) telemetry: header and data areas.
SimResponse generateTelemetry(const SimLogRequest& request);

bool supportsTelemetry(const SimProfile& profile);

}  // namespace host::sim
