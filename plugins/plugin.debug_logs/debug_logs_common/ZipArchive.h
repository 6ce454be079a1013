#pragma once
#include <string>

namespace plugin::cli::debug_logs {

// Packs the entries of folderPath whose names match pattern (files and sub-folders, with
// paths relative to the folder) into archiveName in the folder's parent, replacing an archive
// of that name. With verbose set, prints what was done and whether it worked. 0 on success.
int createZipArchive(const std::string& folderPath, const std::string& pattern,
                     const std::string& archiveName, bool verbose);

}  // namespace plugin::cli::debug_logs
