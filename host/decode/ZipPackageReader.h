#pragma once
// A debug-logs package as the ZIP archive the tool writes, read in place with libzip.
#include <zip.h>

#include "host/decode/PackageReader.h"

namespace host {

class ZipPackageReader : public PackageReader {
public:
    // Null with error set when path is not a regular file holding a ZIP archive within limits.
    static std::unique_ptr<PackageReader> open(const std::string& path, const PackageLimits& limits,
                                               std::string& error);
    ~ZipPackageReader() override;
    ZipPackageReader(const ZipPackageReader&) = delete;
    ZipPackageReader& operator=(const ZipPackageReader&) = delete;

    EntryContents read(std::size_t index, uint64_t keep) override;
    std::string readInPieces(std::size_t index, uint64_t keep, const Piece& piece) override;

private:
    ZipPackageReader(zip_t* archive, const PackageLimits& limits);
    std::string list();

    zip_t* archive_;
    std::vector<zip_uint64_t> indexes_;  // the archive's index of each entry
    std::vector<uint64_t> sizes_;        // the size each entry declares
};

}  // namespace host
