#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <cstdlib>

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"

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

int createZipArchive(const std::string& folderPath, const std::string& pattern,
                     const std::string& archiveName, bool verbose) {
    LOG_ENTERING();
    // The whole PowerShell part sits in double quotes so that the command interpreter leaves
    // characters such as "&" or ";" in the folder's name alone.
    const std::string commandLine = "powershell -NoProfile -Command \"cd -LiteralPath " + quoted(folderPath) +
                                    "; Compress-Archive -Force " + pattern + " " +
                                    quoted("../" + archiveName) + "\"";
    const int result = std::system(commandLine.c_str());
    if (verbose) {
        printMessage("Zip command: " + commandLine);
        printMessage("Create Zip " + archiveName + "; Result: " + (result == 0 ? "Success" : "Failure"));
    }
    return result;
}

}  // namespace plugin::cli::debug_logs
