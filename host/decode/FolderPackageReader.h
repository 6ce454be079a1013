#pragma once
// A debug-logs package unpacked into a folder: its regular files, found without following
// links, at most the limits' depth and count.
#include <filesystem>

#include "host/decode/PackageReader.h"

namespace host {

class FolderPackageReader : public PackageReader {
public:
    // Null with error set when the folder cannot be walked or holds too many entries.
    static std::unique_ptr<PackageReader> open(const std::string& path, const PackageLimits& limits,
                                               std::string& error);

    EntryContents read(std::size_t index, uint64_t keep) override;
    std::string readInPieces(std::size_t index, uint64_t keep, const Piece& piece) override;

private:
    FolderPackageReader(std::filesystem::path root, const PackageLimits& limits);
    std::string list();

    std::filesystem::path root_;
};

}  // namespace host
