#pragma once
// What a Windows system error code means to the user of a drive: the numbers are the system's
// own, kept here as numbers so that the mapping is the same (and tested) on every platform.
#include <cstdint>
#include <string>

#include "drivekit/core/Status.h"

namespace host::win_drives {

namespace system_errors {
constexpr uint32_t invalidFunction = 1;
constexpr uint32_t fileNotFound = 2;
constexpr uint32_t pathNotFound = 3;
constexpr uint32_t accessDenied = 5;
constexpr uint32_t notReady = 21;
constexpr uint32_t generalFailure = 31;
constexpr uint32_t notSupported = 50;
constexpr uint32_t invalidParameter = 87;
constexpr uint32_t semaphoreTimeout = 121;
constexpr uint32_t insufficientBuffer = 122;
constexpr uint32_t noSuchDevice = 433;
constexpr uint32_t ioDevice = 1117;
constexpr uint32_t deviceNotConnected = 1167;
constexpr uint32_t timeout = 1460;
}  // namespace system_errors

// The status of a request the system refused: access denied ("needs administrator rights for
// <path>"), the drive gone, a time-out, a request or transfer the driver does not take, or the
// code itself. what names the request ("Get Log Page", "opening it").
drivekit::core::Status systemErrorStatus(uint32_t error, const std::string& path, const std::string& what);

}  // namespace host::win_drives
