#pragma once
// Packing inside this process with libzip: the Linux build's only way, and the Windows build's
// when PowerShell cannot be started.
#include <string>

#include <boost/filesystem/path.hpp>

namespace plugin::cli::debug_logs {

// Packs every file and sub-folder of folder whose first path component matches pattern into
// archivePath, in name order, whole or not at all: the archive appears under its name only when
// complete, never replacing what has that name, and a stop request abandons it. description: what
// was packed, for the log and the verbose report. 0 on success; otherwise problem says why.
int packWithLibzip(const boost::filesystem::path& folder, const std::string& pattern,
                   const boost::filesystem::path& archivePath, std::string& description, std::string& problem);

}  // namespace plugin::cli::debug_logs
