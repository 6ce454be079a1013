#include "host/decode/FolderPackageReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host/BoundedFileReader.h"

namespace host {

namespace fs = std::filesystem;

std::unique_ptr<PackageReader> FolderPackageReader::open(const std::string& path, const PackageLimits& limits,
                                                         std::string& error) {
    std::unique_ptr<FolderPackageReader> reader(new FolderPackageReader(fs::path(path), limits));
    error = reader->list();
    return error.empty() ? std::move(reader) : nullptr;
}

FolderPackageReader::FolderPackageReader(fs::path root, const PackageLimits& limits)
    : PackageReader(limits), root_(std::move(root)) {}

std::string FolderPackageReader::list() {
    std::error_code error;
    // Links to folders are not entered: the walk stays inside the package.
    fs::recursive_directory_iterator walk(root_, fs::directory_options::none, error);
    std::size_t seen = 0;
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        if (++seen > limits_.entries) {
            return "the folder holds more than " + std::to_string(limits_.entries) + " entries";
        }
        const std::string path = walk->path().lexically_relative(root_).generic_string();
        const fs::file_status status = walk->symlink_status(error);
        if (error) {
            break;
        }
        if (fs::is_symlink(status)) {
            entries_.push_back({path, "a symbolic link; links are not followed"});
        } else if (fs::is_directory(status)) {
            if (static_cast<unsigned>(walk.depth()) + 1 >= limits_.folderDepth) {
                walk.disable_recursion_pending();
                entries_.push_back({path, "a folder nested more than " + std::to_string(limits_.folderDepth) +
                                              " levels deep; not entered"});
            }
        } else if (fs::is_regular_file(status)) {
            entries_.push_back({path, {}});
        } else {
            entries_.push_back({path, "not a regular file"});
        }
    }
    if (error) {
        return "cannot read the folder: " + error.message();
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const PackageEntry& a, const PackageEntry& b) { return a.path < b.path; });
    return {};
}

EntryContents FolderPackageReader::read(std::size_t index, uint64_t keep) {
    EntryContents contents;
    contents.error = entries_.at(index).unreadable;
    if (!contents.error.empty()) {
        return contents;
    }
    auto file = BoundedFileReader::read((root_ / entries_[index].path).string(), keep);
    contents.size = file.size;
    contents.error = file.error;
    if (contents.error.empty() && file.size > limits_.entryBytes) {
        contents.error = "it holds " + std::to_string(file.size) + " bytes, more than the " +
                         std::to_string(limits_.entryBytes) + " that one file may hold";
    }
    if (contents.error.empty()) {
        contents.error = takeFromTotal(file.bytes.size());
    }
    if (contents.error.empty()) {
        contents.bytes = std::move(file.bytes);
    }
    return contents;
}

std::string FolderPackageReader::readInPieces(std::size_t index, uint64_t keep, const Piece& piece) {
    if (!entries_.at(index).unreadable.empty()) {
        return entries_[index].unreadable;
    }
    int fd = -1;
    uint64_t size = 0;
    std::string error = BoundedFileReader::openRegularFile((root_ / entries_[index].path).string(), fd, size);
    if (error.empty() && size > limits_.entryBytes) {
        error = "it holds " + std::to_string(size) + " bytes, more than the " + std::to_string(limits_.entryBytes) +
                " that one file may hold";
    }
    const uint64_t wanted = std::min(size, keep);
    if (error.empty()) {
        error = takeFromTotal(wanted);
    }
    std::vector<uint8_t> chunk(64 * 1024);
    uint64_t total = 0;
    while (error.empty() && total < wanted) {
        const auto ask = static_cast<std::size_t>(std::min<uint64_t>(chunk.size(), wanted - total));
        const ssize_t got = ::read(fd, chunk.data(), ask);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? std::strerror(errno)
                            : "it holds " + std::to_string(total) + " bytes, fewer than the " + std::to_string(size) +
                                  " its folder declares";
            break;
        }
        piece(chunk.data(), static_cast<std::size_t>(got));
        total += static_cast<uint64_t>(got);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return error;
}

}  // namespace host
