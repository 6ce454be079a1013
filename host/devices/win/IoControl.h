#pragma once
// The one place where a real Windows drive's requests leave the process: DeviceIoControl on the
// drive's open handle. Everything sent through it is plain bytes built by the codecs beside it,
// so tests put a fake in its place and see exactly what the storage driver would see.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host::win_drives {

// What one call gave back: the system error code (0 when the call succeeded) and the bytes the
// driver says it wrote, never more than the output size asked for.
struct IoAnswer {
    uint32_t systemError = 0;
    std::vector<uint8_t> output;
};

class IoControl {
public:
    virtual ~IoControl() = default;
    // One DeviceIoControl: the control code, the input bytes and the size of the output buffer.
    virtual IoAnswer call(uint32_t controlCode, const std::vector<uint8_t>& input, std::size_t outputSize) = 0;
    // The drive's path ("\\.\PhysicalDrive0"), for messages.
    virtual const std::string& path() const = 0;
};

// How a drive is opened: with no access rights (enough for the device descriptor, and allowed
// without an administrator's rights), or for reading and writing (every command).
enum class Access { query, readWrite };

// Opens the drive (Windows only). On failure: null, and systemError holds the system's code.
std::unique_ptr<IoControl> openIoControl(const std::string& path, Access access, uint32_t& systemError);

}  // namespace host::win_drives
