#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "plugins/plugin.debug_logs/debug_logs_common/LibzipPacker.h"

namespace plugin::cli::debug_logs::platform {

int packFolder(const boost::filesystem::path& folder, const std::string& pattern,
               const boost::filesystem::path& archivePath, std::string& description, std::string& problem) {
    return packWithLibzip(folder, pattern, archivePath, description, problem);
}

// File systems that cannot rename without replacing take a hard link instead.
bool renameWithoutReplacing(const boost::filesystem::path& from, const boost::filesystem::path& to,
                            boost::system::error_code& error) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if ((errno == EINVAL || errno == ENOSYS) && link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return true;
    }
    error.assign(errno, boost::system::system_category());
    return false;
}

}  // namespace plugin::cli::debug_logs::platform
