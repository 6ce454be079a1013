#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

#include <boost/filesystem/operations.hpp>
#include <fstream>

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
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!file.is_open() || payload.empty()) {
        return false;
    }
    file.write(reinterpret_cast<const char*>(payload.data()), payload.size());
    file.flush();
    return file.good();
}

}  // namespace plugin::cli::debug_logs
