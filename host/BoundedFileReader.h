#pragma once
// Reads a file that a user names (a profile, a replayed binary, a file to decode) without
// trusting it: only a regular file is read, never more than the caller's limit plus one
// byte, and a FIFO or device is refused without waiting for a writer.
#include <cstdint>
#include <string>
#include <vector>

namespace host {

class BoundedFileReader {
public:
    struct Contents {
        std::vector<uint8_t> bytes;  // at most limit bytes
        bool longer = false;         // the file holds more than limit bytes
        uint64_t size = 0;           // the file's size as the system reports it
        // Empty on success, otherwise why the file cannot be read: the system's reason or
        // "not a regular file but a FIFO" (a folder, a device, ...).
        std::string error;
    };

    static Contents read(const std::string& path, uint64_t limit);

    // Opens path for reading only when it is a regular file, without waiting for a FIFO's
    // writer. On success returns empty text, fd is the open descriptor (the caller closes it)
    // and size the file's size as the system reports it; otherwise returns why, fd is -1.
    static std::string openRegularFile(const std::string& path, int& fd, uint64_t& size);
};

}  // namespace host
