#include "host/devices/sim/SimReplay.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <boost/filesystem.hpp>

#include "drivekit/core/logging/Log.h"

namespace host::sim {

namespace fs = boost::filesystem;

std::string SimReplay::logPageFileName(uint8_t logId, uint8_t lsp, uint16_t lsi) {
    char name[64];
    std::snprintf(name, sizeof(name), "lid_0x%02x_lsp_0x%02x_lsi_0x%04x.bin", logId, lsp, lsi);
    return name;
}

std::string SimReplay::identifyFileName(uint8_t cns, uint32_t nsid) {
    return "cntid_0_cns_" + std::to_string(cns) + "_nsid_" + std::to_string(nsid) +
           "_nvmsetid_0_csi_0.bin";
}

std::optional<drivekit::core::Payload> SimReplay::logPage(uint8_t logId, uint8_t lsp, uint16_t lsi) {
    // A package keeps one file per telemetry log and one for the persistent event log,
    // whatever log-specific field was used to read them.
    constexpr uint8_t hostTelemetry = 0x07;
    constexpr uint8_t controllerTelemetry = 0x08;
    constexpr uint8_t persistentEventLog = 0x0D;
    if (logId == hostTelemetry) {
        lsp = 0x01;
    } else if (logId == controllerTelemetry || logId == persistentEventLog) {
        lsp = 0x00;
    }
    return load("log_pages", logPageFileName(logId, lsp, lsi));
}

std::optional<drivekit::core::Payload> SimReplay::identify(uint8_t cns, uint32_t nsid) {
    return load("identify", identifyFileName(cns, nsid));
}

std::optional<drivekit::core::Payload> SimReplay::sataFile(const std::string& fileName) {
    return load("SATA_logs", fileName);
}

std::optional<drivekit::core::Payload> SimReplay::load(const std::string& subFolder,
                                                       const std::string& fileName) {
    if (!enabled()) {
        return std::nullopt;
    }
    const std::string key = subFolder + "/" + fileName;
    const auto cached = cache_.find(key);
    if (cached != cache_.end()) {
        return cached->second;
    }
    std::optional<drivekit::core::Payload> found;
    for (const fs::path& candidate : {fs::path(folder_) / fileName, fs::path(folder_) / subFolder / fileName}) {
        boost::system::error_code error;
        if (!fs::is_regular_file(candidate, error)) {
            continue;
        }
        std::ifstream in(candidate.string(), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.bad()) {
            LOG_DEBUG("Replaying " << candidate.string() << " (" << bytes.size() << " bytes)");
            found = drivekit::core::Payload(bytes.data(), bytes.size());
            break;
        }
        LOG_WARNING("Cannot read replay file " << candidate.string());
    }
    cache_[key] = found;
    return found;
}

}  // namespace host::sim
