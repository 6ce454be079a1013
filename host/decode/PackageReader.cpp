#include "host/decode/PackageReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "host/decode/FolderPackageReader.h"
#include "host/decode/ZipPackageReader.h"

namespace host {

bool PackageReader::isPackagePath(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return true;
    }
    const std::string end = ".zip";
    return path.size() >= end.size() &&
           std::equal(end.begin(), end.end(), path.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::unique_ptr<PackageReader> PackageReader::open(const std::string& path, const PackageLimits& limits,
                                                   std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return FolderPackageReader::open(path, limits, error);
    }
    return ZipPackageReader::open(path, limits, error);
}

std::string PackageReader::takeFromTotal(uint64_t size) {
    if (size > limits_.totalBytes - std::min(totalRead_, limits_.totalBytes)) {
        return "the package's files together hold more than " + std::to_string(limits_.totalBytes) +
               " bytes; the rest is not read";
    }
    totalRead_ += size;
    return {};
}

}  // namespace host
