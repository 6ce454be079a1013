#pragma once
#include <cstddef>
#include <string>

#include "plugins/plugin.debug_logs/debug_logs_common/LocalTime.h"

namespace plugin::cli::debug_logs {

// The most copies of one output folder name: a name in use gets "_2" up to this.
constexpr int maxFolderNameCopies = 999;

// The longest output folder name, in bytes: file systems take names of up to 255 bytes, a
// name in use gets "_<copy>" (4 bytes at most), the archive's name adds ".zip" to the folder's,
// and the packer writes the archive first under a temporary name that adds ".part" and then
// 7 more (".XXXXXX").
constexpr std::size_t maxFolderNameBytes = 255 - 4 - 4 - 5 - 7;

// "<serial>_<MM-DD-YYYY_hh-mm-ss-ms>". The serial number comes from the drive: asterisks are
// dropped, and "/", "\\" and control characters become "_" so that the name stays one folder
// inside the destination. The time stamp suffix keeps it from ever being "." or "..". A serial
// number too long for the name is cut (never inside a UTF-8 character) and the cut is logged.
std::string outputFolderName(const std::string& serialNumber, const LocalTime& time);

}  // namespace plugin::cli::debug_logs
