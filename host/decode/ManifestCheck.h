#pragma once
// Checks a package's files against the SHA-256 its manifest.json gives each of them, so that
// a package damaged on its way (a flipped byte, a cut copy) names the files that differ. A
// package without a manifest, or with one that cannot be read, checks nothing.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "host/decode/PackageReader.h"

namespace host {

class ManifestCheck {
public:
    explicit ManifestCheck(PackageReader& reader);

    // Why entry index differs from the manifest; empty when it matches or is not listed.
    std::string damage(std::size_t index) const;
    // The files the manifest lists that the package does not hold, sorted by path.
    std::vector<std::string> missing() const;

private:
    PackageReader& reader_;
    std::map<std::string, std::string> digests_;  // path in the package -> SHA-256
};

}  // namespace host
