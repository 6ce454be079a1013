#pragma once
// A folder of binaries named as a debug-logs package names them, served for the commands
// that produced them. Files are read once and then handed out shared.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "drivekit/core/Payload.h"

namespace host::sim {

class SimReplay {
public:
    SimReplay() = default;
    explicit SimReplay(std::string folder) : folder_(std::move(folder)) {}

    bool enabled() const { return !folder_.empty(); }
    // A log page by the package's file name; telemetry and the persistent event log are
    // stored under one fixed name whatever log-specific field read them.
    std::optional<drivekit::core::Payload> logPage(uint8_t logId, uint8_t lsp, uint16_t lsi);
    std::optional<drivekit::core::Payload> identify(uint8_t cns, uint32_t nsid);
    // "SMART_DATA.bin" or "SMART_THRESHOLDS.bin".
    std::optional<drivekit::core::Payload> sataFile(const std::string& fileName);

    static std::string logPageFileName(uint8_t logId, uint8_t lsp, uint16_t lsi);
    static std::string identifyFileName(uint8_t cns, uint32_t nsid);

private:
    // The file in the folder itself or in the package's sub-folder.
    std::optional<drivekit::core::Payload> load(const std::string& subFolder, const std::string& fileName);

    std::string folder_;
    std::map<std::string, std::optional<drivekit::core::Payload>> cache_;
};

}  // namespace host::sim
