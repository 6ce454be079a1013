#include "plugins/plugin.debug_logs/debug_logs_common/CollectorTable.h"

#include <algorithm>

#include "plugins/plugin.debug_logs/debug_logs_common/IdentifyCollectorRun.h"
#include "plugins/plugin.debug_logs/debug_logs_common/NVMeLogs.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ProductInfo.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SATALogs.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemInfo.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Telemetry.h"

namespace plugin::cli::debug_logs {

CollectorTable defaultCollectorTable() {
    CollectorTable table;
    // Rows, in this order: Telemetry ("NvmeLogs", "Telemetry"), NVMe log pages ("NvmeLogs"),
    // SATA logs ("SATALogs"), Identify ("Identify").
    table.driveCollectors = {};
    table.driveCollectors.push_back(
        {"Telemetry", {"NvmeLogs", "Telemetry"},
         [](const CollectorContext& context) -> std::unique_ptr<DebugLogsInterface> {
             auto telemetry = std::make_unique<Telemetry>();
             telemetry->dataArea4Wanted = context.extended;
             return telemetry;
         }});
    table.driveCollectors.push_back(
        {"NVMe Logs", {"NvmeLogs"}, [](const CollectorContext&) -> std::unique_ptr<DebugLogsInterface> {
             return std::make_unique<NVMeLogs>();
         }});
    table.driveCollectors.push_back(
        {"SATA Logs", {"SATALogs"}, [](const CollectorContext&) -> std::unique_ptr<DebugLogsInterface> {
             return std::make_unique<SATALogs>();
         }});
    table.driveCollectors.push_back(
        {"Identify", {"Identify"}, [](const CollectorContext& context) -> std::unique_ptr<DebugLogsInterface> {
             return std::make_unique<IdentifyCollectorRun>(context.device, context.outputPath);
         }});
    table.productInfo = [](const CollectorContext&) -> std::unique_ptr<DebugLogsInterface> {
        return std::make_unique<ProductInfo>("Product");
    };
    table.systemInfo = [](const CollectorContext&) -> std::unique_ptr<DebugLogsInterface> {
        return std::make_unique<SystemInfo>("System Info");
    };
    return table;
}

std::vector<std::string> selectableLogTypes(const CollectorTable& table) {
    std::vector<std::string> types;
    for (const DriveCollector& collector : table.driveCollectors) {
        for (const std::string& type : collector.logTypes) {
            if (std::find(types.begin(), types.end(), type) == types.end()) {
                types.push_back(type);
            }
        }
    }
    types.push_back("System");
    return types;
}

}  // namespace plugin::cli::debug_logs
