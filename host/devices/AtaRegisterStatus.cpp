#include "host/devices/AtaRegisterStatus.h"

#include <cstdio>
#include <string>

namespace host::devices {

namespace core = drivekit::core;

namespace {

// ATA status register: ERR and DF.
constexpr uint8_t statusError = 0x01;
constexpr uint8_t statusDeviceFault = 0x20;

std::string hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value & 0xFFu);
    return text;
}

}  // namespace

core::Status ataRegisterStatus(const drivekit::commands::ata::TaskFile& registers) {
    if ((registers.command & (statusError | statusDeviceFault)) == 0) {
        return core::Status::success();
    }
    core::Status status = core::Status::custom();
    status.setMessage("ATA command aborted (status " + hex2(registers.command) + ", error " +
                      hex2(registers.feature) + ").");
    return status;
}

}  // namespace host::devices
