#include "host/decode/ZipPackageReader.h"

#include <unistd.h>

#include <algorithm>

#include "host/BoundedFileReader.h"

namespace host {

namespace {

std::string libzipReason(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

}  // namespace

std::unique_ptr<PackageReader> ZipPackageReader::open(const std::string& path, const PackageLimits& limits,
                                                      std::string& error) {
    int fd = -1;
    uint64_t size = 0;
    error = BoundedFileReader::openRegularFile(path, fd, size);
    if (!error.empty()) {
        return nullptr;
    }
    int code = 0;
    zip_t* archive = zip_fdopen(fd, ZIP_RDONLY, &code);
    if (archive == nullptr) {
        ::close(fd);
        error = "not a readable ZIP archive: " + libzipReason(code);
        return nullptr;
    }
    std::unique_ptr<ZipPackageReader> reader(new ZipPackageReader(archive, limits));
    error = reader->list();
    return error.empty() ? std::move(reader) : nullptr;
}

ZipPackageReader::ZipPackageReader(zip_t* archive, const PackageLimits& limits)
    : PackageReader(limits), archive_(archive) {}

ZipPackageReader::~ZipPackageReader() { zip_discard(archive_); }

std::string ZipPackageReader::list() {
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0 || static_cast<uint64_t>(count) > limits_.entries) {
        return "the archive holds " + std::to_string(count) + " entries, more than " +
               std::to_string(limits_.entries);
    }
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive_, i, 0, &stat) != 0 || (stat.valid & ZIP_STAT_NAME) == 0) {
            entries_.push_back({"entry " + std::to_string(i), "its directory record cannot be read"});
        } else if (std::string name = stat.name; !name.empty() && name.back() == '/') {
            continue;  // a folder
        } else if ((stat.valid & ZIP_STAT_SIZE) == 0) {
            entries_.push_back({name, "its size is not recorded"});
        } else if (stat.size > limits_.entryBytes) {
            entries_.push_back({name, "it declares " + std::to_string(stat.size) + " bytes, more than the " +
                                          std::to_string(limits_.entryBytes) + " that one file may hold"});
        } else if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
            entries_.push_back({name, "it is encrypted"});
        } else {
            entries_.push_back({name, {}});
        }
        indexes_.push_back(i);
        sizes_.push_back((stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0);
    }
    return {};
}

EntryContents ZipPackageReader::read(std::size_t index, uint64_t keep) {
    EntryContents contents;
    contents.size = sizes_.at(index);
    contents.error = readInPieces(index, keep, [&contents](const uint8_t* bytes, std::size_t count) {
        contents.bytes.insert(contents.bytes.end(), bytes, bytes + count);
    });
    if (!contents.error.empty()) {
        contents.bytes.clear();
    }
    return contents;
}

std::string ZipPackageReader::readInPieces(std::size_t index, uint64_t keep, const Piece& piece) {
    const uint64_t size = sizes_.at(index);
    // An entry longer than what is kept is read only that far: its checksum, which covers the
    // whole entry, is then not checked, and no more than keep bytes are inflated.
    const bool whole = keep >= size;
    std::string error = entries_.at(index).unreadable;
    if (error.empty()) {
        error = takeFromTotal(whole ? size : keep);
    }
    if (!error.empty()) {
        return error;
    }
    zip_file_t* file = zip_fopen_index(archive_, indexes_[index], 0);
    if (file == nullptr) {
        return zip_strerror(archive_);
    }
    std::vector<uint8_t> chunk(64 * 1024);
    uint64_t total = 0;
    while (whole || total < keep) {
        const uint64_t ask = whole ? chunk.size() : std::min<uint64_t>(chunk.size(), keep - total);
        const zip_int64_t got = zip_fread(file, chunk.data(), ask);
        if (got < 0) {
            error = zip_file_strerror(file);
            break;
        }
        if (got == 0) {
            break;
        }
        piece(chunk.data(), static_cast<std::size_t>(std::min<uint64_t>(static_cast<uint64_t>(got),
                                                                        keep - std::min(keep, total))));
        total += static_cast<uint64_t>(got);
        if (total > size) {
            break;
        }
    }
    zip_fclose(file);
    const uint64_t expected = whole ? size : keep;
    if (error.empty() && total != expected) {
        const std::string held = total > size ? "more than " + std::to_string(total) : std::to_string(total);
        error = "it holds " + held + " bytes, not the " + std::to_string(size) + " its directory record declares";
    }
    return error;
}

}  // namespace host
