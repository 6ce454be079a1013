#pragma once
// Lets the generator's collector table run the Identify collector like any other drive
// collector: its report is the Identify collection, its file count the collector's.
#include <memory>
#include <string>

#include "plugins/plugin.debug_logs/debug_logs_common/Identify.h"

namespace plugin::cli::debug_logs {

class IdentifyCollectorRun : public DebugLogsInterface {
public:
    IdentifyCollectorRun(std::shared_ptr<drivekit::core::Device> device, const std::string& outputPath)
        : collector_(std::move(device), outputPath) {}

    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

    const Identify& collector() const { return collector_; }

private:
    Identify collector_;
};

}  // namespace plugin::cli::debug_logs
