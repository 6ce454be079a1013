#include "host/BoundedFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace host {

namespace {

#ifdef _WIN32
// Binary: the C runtime's text mode would drop every "\r" before a "\n" and stop at a 0x1A.
constexpr int openFlags = O_RDONLY | O_BINARY;
#else
// O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
constexpr int openFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#endif

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
#ifdef S_ISSOCK
    if (S_ISSOCK(mode)) return "a socket";
#endif
    return "a special file";
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

std::string BoundedFileReader::openRegularFile(const std::string& path, int& fd, uint64_t& size) {
    Descriptor file{::open(path.c_str(), openFlags)};
    struct stat status {};
    fd = -1;
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return "not a regular file but " + kindOf(status.st_mode);
    }
    size = static_cast<uint64_t>(status.st_size);
    std::swap(fd, file.fd);
    return {};
}

BoundedFileReader::Contents BoundedFileReader::read(const std::string& path, uint64_t limit) {
    Contents contents;
    Descriptor file{-1};
    contents.error = openRegularFile(path, file.fd, contents.size);
    if (!contents.error.empty()) {
        return contents;
    }
    // One byte past the limit tells whether there is more; the file's reported size only
    // sizes the buffer, it is never trusted to end the read.
    const uint64_t wanted = limit + 1;
    constexpr uint64_t chunk = 64 * 1024;
    std::vector<uint8_t>& bytes = contents.bytes;
    bytes.reserve(static_cast<std::size_t>(std::min<uint64_t>(wanted, contents.size + 1)));
    while (bytes.size() < wanted) {
        const std::size_t had = bytes.size();
        const auto step = static_cast<std::size_t>(std::min<uint64_t>(chunk, wanted - had));
        bytes.resize(had + step);
        const ssize_t got = ::read(file.fd, bytes.data() + had, step);
        if (got < 0 && errno == EINTR) {
            bytes.resize(had);
            continue;
        }
        if (got < 0) {
            contents.error = std::strerror(errno);
            bytes.clear();
            return contents;
        }
        bytes.resize(had + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
    }
    contents.longer = bytes.size() > limit;
    if (contents.longer) {
        bytes.resize(static_cast<std::size_t>(limit));
    }
    return contents;
}

}  // namespace host
