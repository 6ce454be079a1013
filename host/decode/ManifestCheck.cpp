#include "host/decode/ManifestCheck.h"

#include <nlohmann/json.hpp>
#include <set>

#include "drivekit/core/Sha256.h"

namespace host {

namespace {
constexpr const char* manifestName = "manifest.json";
// Far above the manifest of the largest package the plug-in makes.
constexpr uint64_t largestManifest = 64ULL << 20;
}  // namespace

ManifestCheck::ManifestCheck(PackageReader& reader) : reader_(reader) {
    const auto& entries = reader.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].path != manifestName || !entries[i].unreadable.empty()) {
            continue;
        }
        const EntryContents contents = reader.read(i, largestManifest);
        const auto manifest = nlohmann::json::parse(contents.bytes.begin(), contents.bytes.end(), nullptr, false);
        if (!contents.error.empty() || !manifest.is_object() || !manifest["files"].is_array()) {
            return;
        }
        for (const auto& file : manifest["files"]) {
            if (file.is_object() && file.value("path", nlohmann::json()).is_string() &&
                file.value("sha256", nlohmann::json()).is_string()) {
                digests_[file["path"].get<std::string>()] = file["sha256"].get<std::string>();
            }
        }
    }
}

std::string ManifestCheck::damage(std::size_t index) const {
    const PackageEntry& entry = reader_.entries()[index];
    const auto listed = digests_.find(entry.path);
    if (listed == digests_.end() || !entry.unreadable.empty()) {
        return {};
    }
    drivekit::core::Sha256 digest;
    const auto add = [&digest](const uint8_t* bytes, std::size_t count) { digest.add(bytes, count); };
    const std::string error = reader_.readInPieces(index, UINT64_MAX, add);
    if (!error.empty()) {
        return "cannot read it: " + error;
    }
    return digest.hexDigest() == listed->second ? std::string() : "its SHA-256 differs from the manifest's";
}

std::vector<std::string> ManifestCheck::missing() const {
    std::set<std::string> held;
    for (const PackageEntry& entry : reader_.entries()) {
        held.insert(entry.path);
    }
    std::vector<std::string> gone;
    for (const auto& [path, digest] : digests_) {
        if (held.count(path) == 0) {
            gone.push_back(path);
        }
    }
    return gone;
}

}  // namespace host
