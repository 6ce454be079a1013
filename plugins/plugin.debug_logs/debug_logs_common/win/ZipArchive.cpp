#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <boost/filesystem.hpp>
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
                     const std::string& archiveName, bool verbose, std::string& problem) {
    LOG_ENTERING();
    problem.clear();
    // The archive goes beside the folder's real path, links and ".." resolved.
    boost::system::error_code error;
    const boost::filesystem::path folder = boost::filesystem::canonical(folderPath, error);
    if (error) {
        problem = "cannot find " + folderPath + ": " + error.message();
        if (verbose) {
            printMessage("Create Zip " + archiveName + "; Result: Failure");
        }
        return 1;
    }
    const std::string archivePath = (folder.parent_path() / archiveName).string();
    // The whole PowerShell part sits in double quotes so that the command interpreter leaves
    // characters such as "&" or ";" in the folder's name alone.
    const std::string commandLine = "powershell -NoProfile -Command \"cd -LiteralPath " + quoted(folder.string()) +
                                    "; Compress-Archive -Force " + pattern + " " + quoted(archivePath) + "\"";
    const int result = std::system(commandLine.c_str());
    if (result != 0) {
        problem = "Compress-Archive could not write " + archivePath + " (result " + std::to_string(result) + ")";
    }
    if (verbose) {
        printMessage("Zip command: " + commandLine);
        printMessage("Create Zip " + archiveName + "; Result: " + (result == 0 ? "Success" : "Failure"));
    }
    return result;
}

}  // namespace plugin::cli::debug_logs
