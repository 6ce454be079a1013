#pragma once
// The disk as the storage driver describes it: the bus it hangs on and its names.
#include <cstdint>
#include <string>
#include <vector>

#include "drivekit/core/Status.h"

namespace host::win_drives {

namespace bus_types {
constexpr uint32_t scsi = 0x01;
constexpr uint32_t ata = 0x03;
constexpr uint32_t usb = 0x07;
constexpr uint32_t raid = 0x08;
constexpr uint32_t sas = 0x0A;
constexpr uint32_t sata = 0x0B;
constexpr uint32_t nvme = 0x11;
}  // namespace bus_types

struct DeviceDescriptor {
    uint32_t busType = 0;
    std::string vendor;
    std::string model;
    std::string firmware;
    std::string serial;
};

// The query for the device descriptor.
std::vector<uint8_t> deviceDescriptorQuery();

// Reads the descriptor from the bytes returned. Each name is found by its offset (0: none),
// which must lie within those bytes, and ends at its NUL or at the end of the bytes; blanks
// around it are dropped. An offset outside the bytes fails the whole answer.
drivekit::core::Status decodeDeviceDescriptor(const std::vector<uint8_t>& output, DeviceDescriptor& descriptor);

}  // namespace host::win_drives
