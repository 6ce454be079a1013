#pragma once
// Where the packer writes a new archive: a libzip source for the archive's file.
#include <zip.h>

#include <boost/filesystem/path.hpp>

namespace plugin::cli::debug_logs::platform {

// A source that zip_open_from_source takes as a new archive and zip_close writes into path, which
// is the packer's own temporary name: on Linux straight into that file, with nothing else of
// libzip's beside it; on Windows through libzip's file source. Null when the source cannot be
// made (error says why).
zip_source_t* archiveOutput(const boost::filesystem::path& path, zip_error_t& error);

}  // namespace plugin::cli::debug_logs::platform
