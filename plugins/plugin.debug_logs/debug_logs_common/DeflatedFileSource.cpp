#include "plugins/plugin.debug_logs/debug_logs_common/DeflatedFileSource.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include <boost/filesystem/operations.hpp>

#include "drivekit/core/StopRequest.h"
#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/BlockDeflater.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ZipFunctionSource.h"

namespace plugin::cli::debug_logs {

namespace {

namespace fs = boost::filesystem;

std::FILE* openForReading(const fs::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// The file, what is known of it before it is read, and, once libzip has read the whole stream,
// what it turned out to be.
class DeflatedFile {
public:
    DeflatedFile(fs::path path, unsigned threads, int level, DeflateStream* stream, std::uint64_t size,
                 std::time_t modified, fs::perms permissions)
        : path_(std::move(path)),
          threads_(threads),
          level_(level),
          stream_(stream),
          size_(size),
          modified_(modified),
          permissions_(permissions) {}
    ~DeflatedFile() { close(); }
    DeflatedFile(const DeflatedFile&) = delete;
    DeflatedFile& operator=(const DeflatedFile&) = delete;

    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command);

private:
    bool open();
    zip_int64_t read(void* data, zip_uint64_t length);
    void close();
    zip_int64_t stat(void* data, zip_uint64_t length);
    zip_int64_t attributes(void* data, zip_uint64_t length);
    std::int64_t readInput(unsigned char* buffer, std::size_t size, std::string& problem);

    fs::path path_;
    unsigned threads_;
    int level_;
    DeflateStream* stream_;
    std::uint64_t size_;
    std::time_t modified_;
    fs::perms permissions_;
    std::FILE* file_ = nullptr;
    int readError_ = 0;
    std::unique_ptr<BlockDeflater> deflater_;
    bool complete_ = false;
    std::uint64_t compressedBytes_ = 0;
    std::uint32_t crc_ = 0;
    ZipSourceError error_;
};

zip_int64_t DeflatedFile::handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_GET_FILE_ATTRIBUTES,
                                                  -1);
        case ZIP_SOURCE_OPEN:
            return open() ? 0 : -1;
        case ZIP_SOURCE_READ:
            return read(data, length);
        case ZIP_SOURCE_CLOSE:
            close();
            return 0;
        case ZIP_SOURCE_STAT:
            return stat(data, length);
        case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
            return attributes(data, length);
        case ZIP_SOURCE_ERROR:
            return error_.toData(data, length);
        default:
            return error_.fail(ZIP_ER_OPNOTSUPP, 0);
    }
}

bool DeflatedFile::open() {
    close();
    file_ = openForReading(path_);
    if (file_ == nullptr) {
        error_.fail(ZIP_ER_OPEN, errno);
        return false;
    }
    complete_ = false;
    compressedBytes_ = 0;
    readError_ = 0;
    // A file smaller than a block is read into a block of its size (one more byte sees its end):
    // a whole block would be cleared for every small file.
    const std::size_t blockBytes = size_ < BlockDeflater::defaultBlockBytes ? static_cast<std::size_t>(size_) + 1
                                                                            : BlockDeflater::defaultBlockBytes;
    deflater_ = std::make_unique<BlockDeflater>(
        [this](unsigned char* buffer, std::size_t size, std::string& problem) {
            return readInput(buffer, size, problem);
        },
        threads_, [] { return drivekit::core::StopRequest::requested(); }, blockBytes, level_, stream_);
    if (size_ >= parallelDeflateFromBytes) {
        LOG_DEBUG("Deflating " << path_.string() << " (" << size_ << " bytes) in blocks on " << threads_
                               << " thread" << (threads_ == 1 ? "" : "s"));
    }
    return true;
}

// Large reads straight into the block being filled.
std::int64_t DeflatedFile::readInput(unsigned char* buffer, std::size_t size, std::string& problem) {
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count < size && std::ferror(file_) != 0) {
        readError_ = errno != 0 ? errno : EIO;
        problem = "cannot read " + path_.string();
        return -1;
    }
    return static_cast<std::int64_t>(count);
}

zip_int64_t DeflatedFile::read(void* data, zip_uint64_t length) {
    const std::int64_t count = deflater_->read(static_cast<unsigned char*>(data), static_cast<std::size_t>(length));
    if (count < 0) {
        if (drivekit::core::StopRequest::requested()) {
            error_.fail(ZIP_ER_CANCELLED, 0);
        } else {
            LOG_WARNING("Packing " << path_.string() << " failed: " << deflater_->problem());
            error_.fail(readError_ != 0 ? ZIP_ER_READ : ZIP_ER_INTERNAL, readError_);
        }
        return -1;
    }
    compressedBytes_ += static_cast<std::uint64_t>(count);
    if (count == 0 && !complete_) {
        complete_ = true;
        size_ = deflater_->inputBytes();
        crc_ = deflater_->crc();
    }
    return count;
}

// The workers end with the deflater, before libzip goes on.
void DeflatedFile::close() {
    deflater_.reset();
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

// The stream is deflate data; its CRC-32 and compressed size are known once it was read whole.
zip_int64_t DeflatedFile::stat(void* data, zip_uint64_t length) {
    auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, error_.get());
    if (st == nullptr) {
        return -1;
    }
    zip_stat_init(st);
    st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_MTIME | ZIP_STAT_ENCRYPTION_METHOD;
    st->size = size_;
    st->comp_method = ZIP_CM_DEFLATE;
    st->encryption_method = ZIP_EM_NONE;
    st->mtime = modified_;
    if (complete_) {
        st->valid |= ZIP_STAT_CRC | ZIP_STAT_COMP_SIZE;
        st->crc = crc_;
        st->comp_size = compressedBytes_;
    }
    return sizeof(*st);
}

// As libzip describes a file it reads itself: made on Unix with the file's mode, on Windows with
// its defaults.
zip_int64_t DeflatedFile::attributes(void* data, zip_uint64_t length) {
    auto* attributes = ZIP_SOURCE_GET_ARGS(zip_file_attributes_t, data, length, error_.get());
    if (attributes == nullptr) {
        return -1;
    }
#ifndef _WIN32
    constexpr zip_uint32_t regularFile = 0100000;
    const auto mode = regularFile | (static_cast<zip_uint32_t>(permissions_) & 07777);
    attributes->valid |= ZIP_FILE_ATTRIBUTES_HOST_SYSTEM | ZIP_FILE_ATTRIBUTES_EXTERNAL_FILE_ATTRIBUTES;
    attributes->host_system = ZIP_OPSYS_UNIX;
    attributes->external_file_attributes = (mode << 16) | ((mode & 0200) != 0 ? 0 : 1);
#endif
    return 0;
}

}  // namespace

zip_source_t* deflatedFileSource(const fs::path& path, unsigned threads, zip_error_t& error, int level,
                                 DeflateStream* stream) {
    boost::system::error_code failure;
    const fs::file_status status = fs::status(path, failure);
    const std::uintmax_t size = failure ? 0 : fs::file_size(path, failure);
    const std::time_t modified = failure ? 0 : fs::last_write_time(path, failure);
    if (failure) {
        zip_error_set(&error, ZIP_ER_OPEN, failure.value());
        return nullptr;
    }
    return zipFunctionSource(
        std::make_unique<DeflatedFile>(path, threads, level, stream, size, modified, status.permissions()), error);
}

}  // namespace plugin::cli::debug_logs
