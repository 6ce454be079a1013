// A whole package decode from ZIP bytes: the archive is handed over as an in-memory file, so
// the reader takes it by path exactly as it takes a user's file. Small limits keep each
// run short; the limits' checks are what is fuzzed, not the machine's memory.
#include <sys/mman.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "fuzz/FuzzInput.h"
#include "host/decode/PackageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const int fd = ::memfd_create("package.zip", MFD_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t step = ::write(fd, data + written, size - written);
        if (step <= 0) {
            break;
        }
        written += static_cast<std::size_t>(step);
    }
    host::DecodeSettings settings;
    settings.limits.entryBytes = 1 << 20;
    settings.limits.totalBytes = 4 << 20;
    settings.limits.entries = 256;
    std::ostringstream out;
    std::ostringstream err;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    // The path does not end in .zip: the package decoder is called directly.
    host::decodePackage(path, settings, out, err);
    ::close(fd);
    return 0;
}
