#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <cstdlib>

namespace plugin::cli::debug_logs {

namespace {
// A PowerShell literal string: single quotes, with each quote inside doubled.
std::string quoted(const std::string& text) {
    std::string result = "'";
    for (const char c : text) {
        result += c;
        if (c == '\'') {
            result += '\'';
        }
    }
    return result + "'";
}
}  // namespace

namespace platform {

int packFolder(const boost::filesystem::path& folder, const std::string& pattern,
               const boost::filesystem::path& archivePath, std::string& description, std::string& problem) {
    // The whole PowerShell part sits in double quotes so that the command interpreter leaves
    // characters such as "&" or ";" in the folder's name alone. Without -Force, Compress-Archive
    // fails rather than replace an archive that appeared meanwhile.
    description = "powershell -NoProfile -Command \"cd -LiteralPath " + quoted(folder.string()) +
                  "; Compress-Archive " + pattern + " " + quoted(archivePath.string()) + "\"";
    const int result = std::system(description.c_str());
    if (result != 0) {
        problem = "Compress-Archive could not write " + archivePath.string() + " (result " +
                  std::to_string(result) + ")";
    }
    return result;
}

}  // namespace platform

}  // namespace plugin::cli::debug_logs
