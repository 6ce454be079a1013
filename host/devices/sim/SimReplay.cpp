#include "host/devices/sim/SimReplay.h"

#include <boost/filesystem.hpp>

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/PackageFileNames.h"
#include "host/BoundedFileReader.h"

namespace host::sim {

namespace fs = boost::filesystem;
using drivekit::features::PackageFileNames;

namespace {

std::string tooLarge() {
    return "larger than the " + std::to_string(SimReplay::largestFile / (1024 * 1024)) +
           " MiB a replayed binary may hold";
}

// Why the entry cannot be replayed; empty when it can.
std::string problemOf(const fs::path& file) {
    boost::system::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error) {
        return "unreadable (" + error.message() + ")";
    }
    if (!fs::is_regular_file(status)) {
        return "not a regular file";
    }
    const uintmax_t size = fs::file_size(file, error);
    return error ? "unreadable (" + error.message() + ")"
                 : size > SimReplay::largestFile ? tooLarge() : std::string();
}

// The file in the folder itself or in the package's sub-folder; none without a folder.
std::vector<fs::path> candidates(const std::string& folder, const std::string& subFolder, const std::string& name) {
    if (folder.empty()) {
        return {};
    }
    return {fs::path(folder) / name, fs::path(folder) / subFolder / name};
}

}  // namespace

const std::vector<std::string>& SimReplay::subFolders() {
    static const std::vector<std::string> names{PackageFileNames::logPagesFolder, PackageFileNames::identifyFolder,
                                                  PackageFileNames::sataLogsFolder};
    return names;
}

std::string SimReplay::checkFolder(const std::string& folder) {
    std::vector<fs::path> folders{fs::path(folder)};
    for (const auto& name : subFolders()) {
        folders.push_back(fs::path(folder) / name);
    }
    for (const auto& each : folders) {
        boost::system::error_code error;
        for (fs::directory_iterator it(each, error), end; !error && it != end; it.increment(error)) {
            if (it->path().extension() != ".bin") {
                continue;
            }
            const std::string problem = problemOf(it->path());
            if (!problem.empty()) {
                return "the replayed binary \"" + it->path().string() + "\" is " + problem;
            }
        }
    }
    return {};
}

std::optional<drivekit::core::Payload> SimReplay::logPage(uint8_t logId, uint8_t lsp, uint16_t lsi) {
    const uint8_t kept = PackageFileNames::keptLogSpecificField(logId, lsp);
    return load(PackageFileNames::logPagesFolder, PackageFileNames::logPage({logId, kept, lsi}));
}

std::optional<drivekit::core::Payload> SimReplay::identify(uint8_t cns, uint32_t nsid) {
    return load(PackageFileNames::identifyFolder, PackageFileNames::identify({0, cns, nsid, 0, 0}));
}

std::optional<drivekit::core::Payload> SimReplay::sataFile(const std::string& fileName) {
    return load(PackageFileNames::sataLogsFolder, fileName);
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
    if (package_) {
        found = package_->file(fileName);
    }
    for (const fs::path& candidate : candidates(folder_, subFolder, fileName)) {
        boost::system::error_code error;
        if (!fs::exists(candidate, error)) {
            continue;
        }
        const auto contents = BoundedFileReader::read(candidate.string(), largestFile);
        if (contents.error.empty() && !contents.longer) {
            LOG_DEBUG("Replaying " << candidate.string() << " (" << contents.bytes.size() << " bytes)");
            found = drivekit::core::Payload(contents.bytes.data(), contents.bytes.size());
            break;
        }
        LOG_WARNING("Cannot replay " << candidate.string() << ": "
                                     << (contents.longer ? tooLarge() : contents.error));
    }
    cache_[key] = found;
    return found;
}

}  // namespace host::sim
