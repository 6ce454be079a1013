#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

#include <boost/filesystem/operations.hpp>
#include <fstream>

#include "drivekit/core/WholeFile.h"

namespace plugin::cli::debug_logs {

std::string filePathIn(const std::string& folder, const std::string& fileName) {
    namespace fs = boost::filesystem;
    boost::system::error_code error;
    fs::path base = fs::absolute(folder, fs::current_path(error));
    if (error) {
        base = folder;
    }
    return (base / fileName).string();
}

bool writeTextFile(const std::string& path, const std::string& content, bool append) {
    std::ofstream file(path, append ? std::ios::out | std::ios::app : std::ios::out | std::ios::trunc);
    file << content;
    file.flush();
    return file.good();
}

bool writeBinaryFile(const std::string& path, const drivekit::core::Payload& payload) {
    // An empty payload still leaves its (empty) file, and still fails.
    return drivekit::core::WholeFile::write(path, payload.data(), payload.size()).isSuccess() && !payload.empty();
}

}  // namespace plugin::cli::debug_logs
