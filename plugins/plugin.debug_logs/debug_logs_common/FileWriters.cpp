#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

#include <boost/filesystem/operations.hpp>

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

namespace {
// The bytes a text-mode stream would write: Windows ends each line with "\r\n".
std::string textBytes(const std::string& content) {
#ifdef _WIN32
    std::string bytes;
    bytes.reserve(content.size() + content.size() / 16);
    for (const char c : content) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    return bytes;
#else
    return content;
#endif
}
}  // namespace

bool writeTextFile(const std::string& path, const std::string& content, bool append) {
    // Through WholeFile: a full disk leaves no empty or cut text file that looks written.
    const std::string bytes = textBytes(content);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto status = append ? drivekit::core::WholeFile::appendWhole(path, data, bytes.size())
                               : drivekit::core::WholeFile::write(path, data, bytes.size());
    return status.isSuccess();
}

bool writeBinaryFile(const std::string& path, const drivekit::core::Payload& payload) {
    // An empty payload still leaves its (empty) file, and still fails.
    return drivekit::core::WholeFile::write(path, payload.data(), payload.size()).isSuccess() && !payload.empty();
}

}  // namespace plugin::cli::debug_logs
