#include "plugins/plugin.debug_logs/debug_logs_common/LibzipPacker.h"

#include <zip.h>

#include <algorithm>
#include <boost/filesystem.hpp>
#include <vector>

#include "drivekit/core/StopRequest.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ArchiveOutput.h"
#include "plugins/plugin.debug_logs/debug_logs_common/BlockDeflater.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DeflateStream.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DeflatedFileSource.h"
#include "plugins/plugin.debug_logs/debug_logs_common/NamePattern.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

namespace plugin::cli::debug_logs {

namespace {

constexpr int deflateLevel = 6;

namespace fs = boost::filesystem;

struct Entry {
    std::string name;  // relative to the folder, "/" separated
    fs::path source;
    bool folder = false;
    std::uintmax_t bytes = 0;
};

// Every file and sub-folder below folder whose first path component matches pattern, in name
// order so that the archive does not depend on the directory's order.
bool collectEntries(const fs::path& folder, const std::string& pattern, std::vector<Entry>& entries,
                    std::string& problem) {
    boost::system::error_code error;
    fs::recursive_directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        const fs::path relative = it->path().lexically_relative(folder);
        if (!matchesNamePattern(pattern, relative.begin()->string())) {
            continue;
        }
        const fs::file_status status = it->symlink_status(error);
        if (fs::is_directory(status)) {
            entries.push_back({relative.generic_string(), it->path(), true});
        } else if (fs::is_regular_file(status)) {
            boost::system::error_code unknown;  // a size not known is a small file's
            const std::uintmax_t bytes = fs::file_size(it->path(), unknown);
            entries.push_back({relative.generic_string(), it->path(), false, unknown ? 0 : bytes});
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

zip_t* openArchive(const fs::path& path, zip_error_t& error) {
    zip_source_t* source = platform::archiveOutput(path, error);
    if (source == nullptr) {
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        zip_source_free(source);
    }
    return archive;
}

// Every file is deflated before libzip sees it: a large one in blocks on several threads, a small
// one on this thread with the stream it lends every small file. At level 6, the common default of
// zip tools: libzip's own default is its slowest level, which takes much longer over a large
// telemetry log for a few percent of size.
bool addEntry(zip_t* archive, const Entry& entry, unsigned threads, DeflateStream& stream, std::string& problem) {
    if (entry.folder) {
        if (zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_UTF_8) < 0) {
            problem = zip_strerror(archive);
            return false;
        }
        return true;
    }
    const bool large = entry.bytes >= parallelDeflateFromBytes;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = deflatedFileSource(entry.source, large ? threads : 1, error, deflateLevel, &stream);
    if (source == nullptr) {
        problem = entry.source.string() + ": " + zip_error_strerror(&error);
        zip_error_fini(&error);
        return false;
    }
    zip_error_fini(&error);
    if (zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        problem = entry.source.string() + ": " + zip_strerror(archive);
        return false;
    }
    return true;
}

// Gives the finished archive its name unless that name is taken, in one step: a package that
// appeared meanwhile is kept.
bool publish(const fs::path& temporary, const fs::path& archivePath, std::string& problem) {
    boost::system::error_code error;
    if (platform::renameWithoutReplacing(temporary, archivePath, error)) {
        return true;
    }
    problem = "cannot create " + archivePath.string() + ": " +
              (error == boost::system::errc::file_exists ? "a file of that name exists already" : error.message());
    return false;
}

// Writes the archive under a temporary name (it only appears when zip_close succeeds) and then
// gives it its own, never replacing what has that name.
bool writeArchive(const fs::path& archivePath, const std::vector<Entry>& entries, std::string& problem) {
    fs::path temporary = archivePath;
    temporary += ".part";
    zip_error_t error;
    zip_error_init(&error);
    zip_t* archive = openArchive(temporary, error);
    if (archive == nullptr) {
        problem = "cannot create " + temporary.string() + ": " + zip_error_strerror(&error);
    }
    zip_error_fini(&error);
    if (archive == nullptr) {
        return false;
    }
    // A stop request makes zip_close give up and take its temporary file away.
    zip_register_cancel_callback_with_state(
        archive, [](zip_t*, void*) { return drivekit::core::StopRequest::requested() ? 1 : 0; }, nullptr, nullptr);
    const unsigned threads = BlockDeflater::threadsToUse();
    // libzip reads the sources one after the other in zip_close, all on this thread.
    DeflateStream stream(deflateLevel);
    for (const Entry& entry : entries) {
        if (!addEntry(archive, entry, threads, stream, problem)) {
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

int packWithLibzip(const fs::path& folder, const std::string& pattern, const fs::path& archivePath,
                   std::string& description, std::string& problem) {
    std::vector<Entry> entries;
    const bool written =
        collectEntries(folder, pattern, entries, problem) && writeArchive(archivePath, entries, problem);
    description = describe(entries, folder, archivePath) + (written ? "" : " failed: " + problem);
    return written ? 0 : 1;
}

}  // namespace plugin::cli::debug_logs

