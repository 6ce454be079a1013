#include "plugins/plugin.debug_logs/debug_logs_common/ArchiveOutput.h"

namespace plugin::cli::debug_logs::platform {

// The path's wide text: its narrow one goes through the ANSI code page and loses what that cannot
// spell.
zip_source_t* archiveOutput(const boost::filesystem::path& path, zip_error_t& error) {
    return zip_source_win32w_create(path.c_str(), 0, 0, &error);
}

}  // namespace plugin::cli::debug_logs::platform
