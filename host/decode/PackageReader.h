#pragma once
// Reads the files of a debug-logs package, a ZIP archive or an unpacked folder, without
// trusting it: entry names are only shown, never used as host paths; every size is checked
// against the limits before bytes are held; folders are walked without following links.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

struct PackageLimits {
    uint64_t entryBytes = 2ULL << 30;   // uncompressed bytes of one file
    uint64_t totalBytes = 8ULL << 30;   // uncompressed bytes of all files read together
    std::size_t entries = 10000;        // files, folders and links of the package
    unsigned folderDepth = 8;           // nested folders under an unpacked package
};

struct PackageEntry {
    std::string path;        // '/'-separated, as the package names it
    std::string unreadable;  // non-empty: why the entry cannot be read (a link, a device, ...)
};

struct EntryContents {
    std::vector<uint8_t> bytes;  // the entry's first bytes, at most the number asked for
    uint64_t size = 0;           // the entry's whole size
    std::string error;           // non-empty: the entry could not be read whole
};

class PackageReader {
public:
    virtual ~PackageReader() = default;

    // A reader for the ZIP archive or folder at path; null with error set when it cannot be
    // opened (missing, not a ZIP archive or folder, a FIFO or device, too many entries).
    static std::unique_ptr<PackageReader> open(const std::string& path, const PackageLimits& limits,
                                               std::string& error);
    // True when path names what open takes as a package (a folder or a name ending in .zip).
    static bool isPackagePath(const std::string& path);

    // The package's files in a stable order (folders themselves are not listed).
    const std::vector<PackageEntry>& entries() const { return entries_; }
    // The first `keep` bytes of entry i. An entry no longer than keep is read whole (a ZIP
    // entry's checksum is checked); of a longer one no more than keep bytes are read.
    virtual EntryContents read(std::size_t index, uint64_t keep) = 0;

    using Piece = std::function<void(const uint8_t* bytes, std::size_t count)>;
    // The first keep bytes of entry i handed to piece as they are read, none of them held
    // here, so that a long entry costs no more memory than a piece. Empty on success, else
    // why the entry could not be read that far (the pieces given may then be short).
    virtual std::string readInPieces(std::size_t index, uint64_t keep, const Piece& piece) = 0;

protected:
    explicit PackageReader(const PackageLimits& limits) : limits_(limits) {}
    // The part of the total that is left; an error when reading size more would exceed it.
    std::string takeFromTotal(uint64_t size);

    PackageLimits limits_;
    std::vector<PackageEntry> entries_;

private:
    uint64_t totalRead_ = 0;
};

}  // namespace host
