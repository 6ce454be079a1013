#include "plugins/plugin.debug_logs/debug_logs_common/FolderName.h"

namespace plugin::cli::debug_logs {

namespace {
bool leavesTheFolder(unsigned char c) { return c == '/' || c == '\\' || c < 0x20 || c == 0x7F; }
}  // namespace

std::string outputFolderName(const std::string& serialNumber, const LocalTime& time) {
    std::string name;
    for (const char c : serialNumber) {
        if (c != '*') {
            name += leavesTheFolder(static_cast<unsigned char>(c)) ? '_' : c;
        }
    }
    return name + "_" + fileNameTimeStamp(time);
}

}  // namespace plugin::cli::debug_logs
