#pragma once
// Reads back a ZIP archive that the package steps wrote, and writes one as a test needs it.
#include <gtest/gtest.h>
#include <zip.h>

#include <boost/filesystem/path.hpp>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// Entry name -> bytes ("/"-ending names are folders and map to empty text), read through
// libzip's consistency check and each to its end, so that its CRC is compared. An archive that
// does not open, an entry that does not read back whole and one with content that is not
// deflated are added to problems.
inline std::map<std::string, std::string> zipEntries(const boost::filesystem::path& archivePath,
                                                     std::vector<std::string>& problems) {
    std::map<std::string, std::string> entries;
    int error = 0;
    zip_t* archive = zip_open(archivePath.string().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) {
        problems.push_back("the archive does not open (libzip error " + std::to_string(error) + ")");
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string content(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        const zip_int64_t got = file == nullptr ? -1 : zip_fread(file, content.data(), stat.size);
        char more = 0;
        if (got != static_cast<zip_int64_t>(stat.size) || (file != nullptr && zip_fread(file, &more, 1) != 0)) {
            problems.push_back(std::string("entry ") + stat.name + " does not read back whole");
        }
        if (file != nullptr) {
            zip_fclose(file);
        }
        if (stat.size > 0 && stat.comp_method != ZIP_CM_DEFLATE) {
            problems.push_back(std::string("entry ") + stat.name + " is not deflated");
        }
        entries[stat.name] = content;
    }
    zip_close(archive);
    return entries;
}

// The same, with each problem a failure of the test.
inline std::map<std::string, std::string> readZip(const boost::filesystem::path& archivePath) {
    std::vector<std::string> problems;
    auto entries = zipEntries(archivePath, problems);
    for (const auto& problem : problems) {
        ADD_FAILURE() << archivePath << ": " << problem;
    }
    return entries;
}

// A ZIP archive of stored (uncompressed) entries, so that each entry's bytes stand as they are
// in the archive's file.
inline void writeStoredZip(const boost::filesystem::path& file,
                           const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(file.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(nullptr, archive);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
        ASSERT_GE(index, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(0, zip_close(archive));
}

}  // namespace test_support
