#include "plugins/plugin.debug_logs/debug_logs_common/FolderName.h"

#include "drivekit/core/logging/Log.h"

namespace plugin::cli::debug_logs {

namespace {
bool leavesTheFolder(unsigned char c) { return c == '/' || c == '\\' || c < 0x20 || c == 0x7F; }
bool continuesACharacter(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

std::string outputFolderName(const std::string& serialNumber, const LocalTime& time) {
    std::string name;
    for (const char c : serialNumber) {
        if (c != '*') {
            name += leavesTheFolder(static_cast<unsigned char>(c)) ? '_' : c;
        }
    }
    const std::string suffix = "_" + fileNameTimeStamp(time);
    const std::size_t room = maxFolderNameBytes - suffix.size();
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && continuesACharacter(static_cast<unsigned char>(name[cut]))) {
            --cut;
        }
        LOG_WARNING("The serial number (" << name.size() << " bytes in the folder name) is cut to its first "
                                          << cut << " bytes so that the folder's name fits the file system");
        name.resize(cut);
    }
    return name + suffix;
}

}  // namespace plugin::cli::debug_logs
