#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <boost/filesystem/operations.hpp>

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"

namespace plugin::cli::debug_logs {

namespace {

namespace fs = boost::filesystem;

// Why nothing can be packed before anything was run: no folder, or an archive's name in use.
std::string refusal(const std::string& folderPath, const fs::path& archivePath,
                    const boost::system::error_code& folderError) {
    if (folderError) {
        return "cannot find " + folderPath + ": " + folderError.message();
    }
    boost::system::error_code error;
    if (fs::symlink_status(archivePath, error).type() != fs::file_not_found) {
        return "cannot create " + archivePath.string() + ": " +
               (error ? error.message() : "a file of that name exists already");
    }
    return {};
}

}  // namespace

int createZipArchive(const std::string& folderPath, const std::string& pattern,
                     const std::string& archiveName, bool verbose, std::string& problem) {
    LOG_ENTERING();
    problem.clear();
    boost::system::error_code error;
    // The folder's real path: its text may pass through a link and then "..".
    const fs::path folder = fs::canonical(folderPath, error);
    const fs::path archivePath = folder.parent_path() / archiveName;
    problem = refusal(folderPath, archivePath, error);
    if (!problem.empty()) {
        // Nothing was run, so there is no command to show.
        LOG_DEBUG("Zip: " << problem);
        if (verbose) {
            printMessage("Create Zip " + archiveName + "; Result: Failure");
        }
        return 1;
    }
    std::string description;
    const int result = platform::packFolder(folder, pattern, archivePath, description, problem);
    LOG_DEBUG("Zip: " << description);
    if (verbose) {
        printMessage("Zip command: " + description);
        printMessage("Create Zip " + archiveName + "; Result: " + (result == 0 ? "Success" : "Failure"));
    }
    return result;
}

}  // namespace plugin::cli::debug_logs
