#include "plugins/plugin.debug_logs/debug_logs_common/CollectorTable.h"

#include "plugins/plugin.debug_logs/debug_logs_common/SystemInfo.h"

namespace plugin::cli::debug_logs {

CollectorTable defaultCollectorTable() {
    CollectorTable table;
    // Rows, in this order: Telemetry ("NvmeLogs", "Telemetry"), NVMe log pages ("NvmeLogs"),
    // SATA logs ("SATALogs"), Identify ("Identify").
    table.driveCollectors = {};
    table.systemInfo = [](const CollectorContext&) -> std::unique_ptr<DebugLogsInterface> {
        return std::make_unique<SystemInfo>("System Info");
    };
    return table;
}

}  // namespace plugin::cli::debug_logs
