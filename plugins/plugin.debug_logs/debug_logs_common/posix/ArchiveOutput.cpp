#include "plugins/plugin.debug_logs/debug_logs_common/ArchiveOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "plugins/plugin.debug_logs/debug_logs_common/ZipFunctionSource.h"

// libzip's own file source writes into a temporary file of its own with a random name, and the
// first random number it asks for starts the crypto library's generator: milliseconds a package
// need not spend, as the packer writes under a temporary name already.
namespace plugin::cli::debug_logs::platform {

namespace {

// The archive's file, written from zip_close's begin to its commit; nothing is ever read from it.
class ArchiveFile {
public:
    explicit ArchiveFile(std::string path) : path_(std::move(path)) {}
    ~ArchiveFile() {
        if (file_ != nullptr) {
            rollBack();
        }
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command);

private:
    zip_int64_t fail(int zipError, int systemError) { return error_.fail(zipError, systemError); }
    zip_int64_t begin();
    zip_int64_t write(const void* data, zip_uint64_t length);
    zip_int64_t seek(void* data, zip_uint64_t length);
    zip_int64_t commit();
    zip_int64_t rollBack();

    std::string path_;
    std::FILE* file_ = nullptr;
    ZipSourceError error_;
};

zip_int64_t ArchiveFile::handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE,
                ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE,
                ZIP_SOURCE_REMOVE, ZIP_SOURCE_SUPPORTS, -1);
        case ZIP_SOURCE_STAT:
            // No file yet: zip_open_from_source starts a new archive.
            return fail(ZIP_ER_READ, ENOENT);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_BEGIN_WRITE:
            return begin();
        case ZIP_SOURCE_WRITE:
            return write(data, length);
        case ZIP_SOURCE_SEEK_WRITE:
            return seek(data, length);
        case ZIP_SOURCE_TELL_WRITE: {
            const off_t at = ::ftello(file_);
            return at < 0 ? fail(ZIP_ER_TELL, errno) : static_cast<zip_int64_t>(at);
        }
        case ZIP_SOURCE_COMMIT_WRITE:
            return commit();
        case ZIP_SOURCE_ROLLBACK_WRITE:
            return rollBack();
        case ZIP_SOURCE_REMOVE:
            return ::unlink(path_.c_str()) == 0 || errno == ENOENT ? 0 : fail(ZIP_ER_REMOVE, errno);
        case ZIP_SOURCE_ERROR:
            return error_.toData(data, length);
        default:
            return fail(ZIP_ER_OPNOTSUPP, 0);
    }
}

// A new file under the name: whatever had it before (a link, an earlier run's remains) is taken
// away rather than written through.
zip_int64_t ArchiveFile::begin() {
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
        return fail(ZIP_ER_TMPOPEN, errno);
    }
    const int descriptor = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return fail(ZIP_ER_TMPOPEN, errno);
    }
    file_ = ::fdopen(descriptor, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(path_.c_str());
        return fail(ZIP_ER_TMPOPEN, error);
    }
    return 0;
}

zip_int64_t ArchiveFile::write(const void* data, zip_uint64_t length) {
    if (std::fwrite(data, 1, static_cast<std::size_t>(length), file_) != length) {
        return fail(ZIP_ER_WRITE, errno);
    }
    return static_cast<zip_int64_t>(length);
}

zip_int64_t ArchiveFile::seek(void* data, zip_uint64_t length) {
    auto* args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, length, error_.get());
    if (args == nullptr) {
        return -1;
    }
    return ::fseeko(file_, static_cast<off_t>(args->offset), args->whence) == 0 ? 0 : fail(ZIP_ER_SEEK, errno);
}

zip_int64_t ArchiveFile::commit() {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        const int error = errno;
        ::unlink(path_.c_str());
        return fail(ZIP_ER_WRITE, error);
    }
    return 0;
}

zip_int64_t ArchiveFile::rollBack() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        ::unlink(path_.c_str());
    }
    return 0;
}

}  // namespace

zip_source_t* archiveOutput(const boost::filesystem::path& path, zip_error_t& error) {
    return zipFunctionSource(std::make_unique<ArchiveFile>(path.string()), error);
}

}  // namespace plugin::cli::debug_logs::platform
