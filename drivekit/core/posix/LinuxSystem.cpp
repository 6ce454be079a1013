#include "drivekit/core/posix/LinuxSystem.h"

#include <sys/utsname.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "drivekit/core/TextParsing.h"
#include "drivekit/core/logging/Log.h"

namespace drivekit::core {

std::shared_ptr<System> System::create() { return std::make_shared<posix::LinuxSystem>(); }

namespace posix {

namespace {

std::string unameRelease() {
    struct utsname names {};
    return uname(&names) == 0 ? std::string(names.release) : std::string();
}

// The release is shared by every System object of the process; an empty answer is asked again.
std::string cachedUnameRelease() {
    static std::string release;
    if (release.empty()) {
        release = unameRelease();
    }
    return release;
}

// Shell-style quoting as os-release uses it: '...' verbatim, "..." with backslash escapes
// of $ ` " \ ; an unquoted value is taken as it stands.
std::string unquote(const std::string& raw) {
    if (raw.size() < 2 || (raw.front() != '"' && raw.front() != '\'') || raw.back() != raw.front()) {
        return raw;
    }
    const std::string inner = raw.substr(1, raw.size() - 2);
    if (raw.front() == '\'') {
        return inner;
    }
    std::string value;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const bool escaped = inner[i] == '\\' && i + 1 < inner.size() &&
                             std::string("$`\"\\").find(inner[i + 1]) != std::string::npos;
        value += escaped ? inner[++i] : inner[i];
    }
    return value;
}

}  // namespace

LinuxSystem::LinuxSystem() : LinuxSystem(Paths(), cachedUnameRelease) {}

LinuxSystem::LinuxSystem(Paths paths, ReleaseSource kernelRelease)
    : paths_(std::move(paths)), kernelRelease_(std::move(kernelRelease)) {}

Status LinuxSystem::rescan() {
    LOG_ENTERING();
    std::FILE* file = std::fopen(paths_.pciRescan.c_str(), "w");
    bool written = file != nullptr && std::fputs("1", file) >= 0;
    // The kernel acts on the write when the buffer is flushed, so the close result counts.
    if (file != nullptr && std::fclose(file) != 0) {
        written = false;
    }
    if (!written) {
        LOG_ERROR("Could not write to " << paths_.pciRescan);
        return Status::rescanFailed();
    }
    LOG_EXITING();
    return Status::success();
}

bool LinuxSystem::parseOsReleaseLine(const std::string& line, std::string& key, std::string& value) {
    const std::string text = strings::trim(line);
    const auto equals = text.find('=');
    if (text.empty() || text.front() == '#' || equals == std::string::npos || equals == 0) {
        return false;
    }
    key = text.substr(0, equals);
    value = unquote(text.substr(equals + 1));
    return true;
}

std::string LinuxSystem::distributionDetails(std::string& name, std::string& version) {
    name.clear();
    version.clear();
    for (const auto& path : paths_.osRelease) {
        std::ifstream file(path);
        if (!file) {
            continue;
        }
        std::map<std::string, std::string> fields;
        std::string line, key, value;
        while (std::getline(file, line)) {
            if (parseOsReleaseLine(line, key, value)) {
                fields[key] = value;
            }
        }
        // os-release's own defaults for the names it leaves out.
        name = fields.count("NAME") ? fields["NAME"] : "Linux";
        version = fields["VERSION_ID"];
        return fields.count("PRETTY_NAME") ? fields["PRETTY_NAME"] : "Linux";
    }
    LOG_WARNING("No os-release file could be read");
    return {};
}

std::string LinuxSystem::getVersion() {
    if (version_.empty()) {
        // An empty answer is not cached, so the next call tries again.
        version_ = kernelRelease_ ? kernelRelease_() : std::string();
        LOG_DEBUG("Kernel Version = " << version_);
    }
    return version_;
}

}  // namespace posix
}  // namespace drivekit::core
