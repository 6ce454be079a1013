#pragma once
// A debug-logs package (its ZIP archive or unpacked folder) read as a drive's content: its
// files by name, each read whole once and within the limits of a replayed binary. A file the
// package holds twice is taken from its first place; one that cannot be read whole (cut,
// damaged, too large) is absent, with a warning.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "host/decode/PackageReader.h"

namespace host::sim {

class SimPackage {
public:
    // Null with error set when path is not a package that can be opened.
    static std::shared_ptr<SimPackage> open(const std::string& path, std::string& error);

    const std::string& path() const { return path_; }
    bool holds(const std::string& name) const { return byName_.count(name) != 0; }
    // The names of the package's files, sorted.
    std::vector<std::string> names() const;
    // The whole file of that name (the last part of its path in the package).
    std::optional<drivekit::core::Payload> file(const std::string& name);

private:
    SimPackage(std::string path, std::unique_ptr<PackageReader> reader);

    std::string path_;
    std::unique_ptr<PackageReader> reader_;
    std::map<std::string, std::size_t> byName_;  // entry index by file name
};

}  // namespace host::sim
