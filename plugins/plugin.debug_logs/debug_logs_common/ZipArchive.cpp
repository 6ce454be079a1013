#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <boost/filesystem/operations.hpp>

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"

namespace plugin::cli::debug_logs {

int createZipArchive(const std::string& folderPath, const std::string& pattern,
                     const std::string& archiveName, bool verbose, std::string& problem) {
    LOG_ENTERING();
    problem.clear();
    boost::system::error_code error;
    // The folder's real path: its text may pass through a link and then "..".
    const boost::filesystem::path folder = boost::filesystem::canonical(folderPath, error);
    if (error) {
        // Nothing was run, so there is no command to show.
        problem = "cannot find " + folderPath + ": " + error.message();
        LOG_DEBUG("Zip: " << problem);
        if (verbose) {
            printMessage("Create Zip " + archiveName + "; Result: Failure");
        }
        return 1;
    }
    std::string description;
    const int result = platform::packFolder(folder, pattern, folder.parent_path() / archiveName, description, problem);
    LOG_DEBUG("Zip: " << description);
    if (verbose) {
        printMessage("Zip command: " + description);
        printMessage("Create Zip " + archiveName + "; Result: " + (result == 0 ? "Success" : "Failure"));
    }
    return result;
}

}  // namespace plugin::cli::debug_logs
