#pragma once
// Which collectors a package run can use. The drive collectors run in the order of their
// rows; adding a collector to the package is adding a row to defaultCollectorTable().
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

// What a collector may be built from.
struct CollectorContext {
    std::shared_ptr<drivekit::core::Device> device;
    std::string outputPath;
    bool extended = false;
};

using CollectorFactory = std::function<std::unique_ptr<DebugLogsInterface>(const CollectorContext&)>;

struct DriveCollector {
    std::string title;
    // The "-type" values (any letter case) that select it; "all" selects every row.
    std::vector<std::string> logTypes;
    CollectorFactory create;
};

struct CollectorTable {
    std::vector<DriveCollector> driveCollectors;
    // General logs; an empty factory is skipped.
    CollectorFactory productInfo;
    CollectorFactory systemInfo;
};

// Drive collectors in the order Telemetry, NVMe log pages, SATA logs, Identify (each as far
// as it exists), then the general logs.
CollectorTable defaultCollectorTable();

// The "-type" names that select collectors: every drive collector's, in the table's order, then
// "System" (the general logs alone).
std::vector<std::string> selectableLogTypes(const CollectorTable& table);

}  // namespace plugin::cli::debug_logs
