#pragma once
#include <string>

#include <boost/filesystem/path.hpp>

namespace plugin::cli::debug_logs {

// Packs the entries of folderPath whose names match pattern (files and sub-folders, with
// paths relative to the folder) into archiveName in the folder's parent. Something of that name
// is never replaced: it fails the packing, which says so. The parent is that of the folder's real path, links and ".." resolved, so the
// archive lands beside the folder however the path was written. With verbose set, prints what
// was done and whether it worked. 0 on success; otherwise problem says why, for the user.
int createZipArchive(const std::string& folderPath, const std::string& pattern,
                     const std::string& archiveName, bool verbose, std::string& problem);

namespace platform {
// Packs with the platform's own means; folder is already a real path. description: what was
// done (the command line, where one is run), for the log and the verbose report. 0 on success;
// otherwise problem says why.
int packFolder(const boost::filesystem::path& folder, const std::string& pattern,
               const boost::filesystem::path& archivePath, std::string& description, std::string& problem);

// Gives the file from the name to in one step unless something has that name already; false with
// error set otherwise (file_exists when the name is taken).
bool renameWithoutReplacing(const boost::filesystem::path& from, const boost::filesystem::path& to,
                            boost::system::error_code& error);
}  // namespace platform

}  // namespace plugin::cli::debug_logs
