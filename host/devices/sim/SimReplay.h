#pragma once
// A folder of binaries named as a debug-logs package names them, served for the commands
// that produced them, or a whole package (its archive or folder) that answers alone. Files are
// read once and then handed out shared. Each must be a regular file of at most largestFile
// bytes; the profile loader refuses a folder that holds another, and one that changes after
// that is served as absent (with a warning).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "host/devices/sim/SimPackage.h"

namespace host::sim {

class SimReplay {
public:
    SimReplay() = default;
    explicit SimReplay(std::string folder) : folder_(std::move(folder)) {}
    explicit SimReplay(std::shared_ptr<SimPackage> package) : package_(std::move(package)) {}

    bool enabled() const { return !folder_.empty() || package_ != nullptr; }
    // True for a package: what it lacks the drive does not have, rather than building it.
    bool answersAlone() const { return package_ != nullptr; }
    // A log page by the package's file name, which for telemetry and the persistent event log
    // is one whatever log-specific field reads them.
    std::optional<drivekit::core::Payload> logPage(uint8_t logId, uint8_t lsp, uint16_t lsi);
    std::optional<drivekit::core::Payload> identify(uint8_t cns, uint32_t nsid);
    // One of the package's two SMART sector files.
    std::optional<drivekit::core::Payload> sataFile(const std::string& fileName);

    // The largest telemetry log the drive builds (128 MiB), the largest binary a package holds.
    static constexpr uint64_t largestFile = 128ULL * 1024 * 1024;
    // The sub-folders of a package that hold replayed binaries (the folder itself does too).
    static const std::vector<std::string>& subFolders();
    // Empty when every binary (".bin") in folder and its sub-folders can be replayed,
    // otherwise one line naming the first that cannot and why.
    static std::string checkFolder(const std::string& folder);

private:
    // The file in the folder itself or in the package's sub-folder.
    std::optional<drivekit::core::Payload> load(const std::string& subFolder, const std::string& fileName);

    std::string folder_;
    std::shared_ptr<SimPackage> package_;
    std::map<std::string, std::optional<drivekit::core::Payload>> cache_;
};

}  // namespace host::sim
