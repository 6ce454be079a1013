#pragma once
// The decode command for the SMART sectors of a package: "SMART_DATA.bin", decoded together
// with "SMART_THRESHOLDS.bin" when that file lies beside it.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace host {

inline const std::string smartDataFileName = "SMART_DATA.bin";
inline const std::string smartThresholdsFileName = "SMART_THRESHOLDS.bin";

// Nothing when the command line names no "SMART_DATA.bin"; otherwise the exit status of its
// decode: 0 when decoded, 1 when the file cannot be read or decoded and when a checksum is
// wrong (the tree is printed after a warning line then), 2 for a bad command line. Takes
// "-output text|json|xml" and "-product NAME" (the drive's product family: attribute names
// and skipped ids follow it).
std::optional<int> decodeSmartFiles(const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err);

}  // namespace host
