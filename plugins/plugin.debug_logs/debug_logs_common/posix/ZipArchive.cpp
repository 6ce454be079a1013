#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <algorithm>
#include <boost/filesystem.hpp>
#include <vector>

#include "drivekit/core/StopRequest.h"

namespace plugin::cli::debug_logs {

namespace {

constexpr zip_uint32_t deflateLevel = 6;

namespace fs = boost::filesystem;

struct Entry {
    std::string name;  // relative to the folder, "/" separated
    fs::path source;
    bool folder = false;
};

// Every file and sub-folder below folder whose first path component matches pattern, in name
// order so that the archive does not depend on the directory's order.
bool collectEntries(const fs::path& folder, const std::string& pattern, std::vector<Entry>& entries,
                    std::string& problem) {
    boost::system::error_code error;
    fs::recursive_directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        const fs::path relative = it->path().lexically_relative(folder);
        if (fnmatch(pattern.c_str(), relative.begin()->string().c_str(), 0) != 0) {
            continue;
        }
        const fs::file_status status = it->symlink_status(error);
        if (fs::is_directory(status)) {
            entries.push_back({relative.generic_string(), it->path(), true});
        } else if (fs::is_regular_file(status)) {
            entries.push_back({relative.generic_string(), it->path(), false});
        }
    }
    if (error) {
        problem = "cannot read " + folder.string() + ": " + error.message();
        return false;
    }
    if (entries.empty()) {
        // libzip writes no file for an archive without entries: there would be no package.
        problem = "nothing to pack in " + folder.string();
        return false;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

bool addEntry(zip_t* archive, const Entry& entry, std::string& problem) {
    if (entry.folder) {
        if (zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_UTF_8) < 0) {
            problem = zip_strerror(archive);
            return false;
        }
        return true;
    }
    zip_source_t* source = zip_source_file(archive, entry.source.c_str(), 0, 0);
    if (source == nullptr) {
        problem = entry.source.string() + ": " + zip_strerror(archive);
        return false;
    }
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        problem = entry.source.string() + ": " + zip_strerror(archive);
        return false;
    }
    // Level 6, the common default of zip tools: libzip's own default is its slowest level,
    // which takes much longer over a large telemetry log for a few percent of size.
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, deflateLevel) < 0) {
        problem = zip_strerror(archive);
        return false;
    }
    return true;
}

// Gives the finished archive its name unless that name is taken, in one step: a package that
// appeared meanwhile is kept. File systems that cannot rename so take a hard link instead.
bool publish(const fs::path& temporary, const fs::path& archivePath, std::string& problem) {
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, archivePath.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if ((errno == EINVAL || errno == ENOSYS) && link(temporary.c_str(), archivePath.c_str()) == 0) {
        unlink(temporary.c_str());
        return true;
    }
    problem = "cannot create " + archivePath.string() + ": " +
              (errno == EEXIST ? "a file of that name exists already" : std::strerror(errno));
    return false;
}

// Writes the archive under a temporary name (it only appears when zip_close succeeds) and then
// gives it its own, never replacing what has that name.
bool writeArchive(const fs::path& archivePath, const std::vector<Entry>& entries, std::string& problem) {
    const fs::path temporary = archivePath.string() + ".part";
    int code = 0;
    zip_t* archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        problem = "cannot create " + temporary.string() + ": " + zip_error_strerror(&error);
        zip_error_fini(&error);
        return false;
    }
    // A stop request makes zip_close give up and take its temporary file away.
    zip_register_cancel_callback_with_state(
        archive, [](zip_t*, void*) { return drivekit::core::StopRequest::requested() ? 1 : 0; }, nullptr, nullptr);
    for (const Entry& entry : entries) {
        if (!addEntry(archive, entry, problem)) {
            zip_discard(archive);
            return false;
        }
    }
    if (zip_close(archive) < 0) {
        problem = "cannot write " + archivePath.string() + ": " + zip_strerror(archive);
        zip_discard(archive);
        return false;
    }
    if (!publish(temporary, archivePath, problem)) {
        boost::system::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

std::string describe(const std::vector<Entry>& entries, const fs::path& folder, const fs::path& archivePath) {
    const auto folders = std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.folder; });
    const auto files = static_cast<long>(entries.size()) - folders;
    return "deflate " + std::to_string(files) + " files and " + std::to_string(folders) +
           " sub-folders of " + folder.string() + " into " + archivePath.string();
}

}  // namespace

namespace platform {

int packFolder(const fs::path& folder, const std::string& pattern, const fs::path& archivePath,
               std::string& description, std::string& problem) {
    std::vector<Entry> entries;
    const bool written = collectEntries(folder, pattern, entries, problem) && writeArchive(archivePath, entries, problem);
    description = describe(entries, folder, archivePath) + (written ? "" : " failed: " + problem);
    return written ? 0 : 1;
}

}  // namespace platform

}  // namespace plugin::cli::debug_logs
