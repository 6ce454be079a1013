#include "host/devices/sim/SimPackage.h"

#include "drivekit/core/logging/Log.h"
#include "host/devices/sim/SimReplay.h"

namespace host::sim {

namespace {

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::shared_ptr<SimPackage> SimPackage::open(const std::string& path, std::string& error) {
    PackageLimits limits;
    limits.entryBytes = SimReplay::largestFile;
    auto reader = PackageReader::open(path, limits, error);
    if (!reader) {
        return nullptr;
    }
    return std::shared_ptr<SimPackage>(new SimPackage(path, std::move(reader)));
}

SimPackage::SimPackage(std::string path, std::unique_ptr<PackageReader> reader)
    : path_(std::move(path)), reader_(std::move(reader)) {
    const auto& entries = reader_->entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        byName_.emplace(baseName(entries[i].path), i);
    }
}

std::vector<std::string> SimPackage::names() const {
    std::vector<std::string> all;
    for (const auto& entry : byName_) {
        all.push_back(entry.first);
    }
    return all;
}

std::optional<drivekit::core::Payload> SimPackage::file(const std::string& name) {
    const auto found = byName_.find(name);
    if (found == byName_.end()) {
        return std::nullopt;
    }
    // Each file is asked for once (the replay keeps what it served), so the reader's total
    // bounds the whole replay.
    const EntryContents contents = reader_->read(found->second, SimReplay::largestFile);
    if (!contents.error.empty() || contents.bytes.size() != contents.size) {
        LOG_WARNING("Cannot replay " << reader_->entries()[found->second].path << " of " << path_ << ": "
                                     << (contents.error.empty() ? "it is too large" : contents.error));
        return std::nullopt;
    }
    LOG_DEBUG("Replaying " << reader_->entries()[found->second].path << " (" << contents.size << " bytes)");
    return drivekit::core::Payload(contents.bytes.data(), contents.bytes.size());
}

}  // namespace host::sim
