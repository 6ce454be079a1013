#pragma once
// Reads back a ZIP archive that the package steps wrote.
#include <gtest/gtest.h>
#include <zip.h>

#include <boost/filesystem/path.hpp>
#include <map>
#include <string>

namespace test_support {

// Entry name -> bytes ("/"-ending names are folders and map to empty text); every entry with
// content must be deflated.
inline std::map<std::string, std::string> readZip(const boost::filesystem::path& archivePath) {
    std::map<std::string, std::string> entries;
    int error = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        ADD_FAILURE() << "cannot open " << archivePath << " (libzip error " << error << ")";
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string content(stat.size, '\0');
        if (stat.size > 0) {
            zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
            EXPECT_EQ(zip_fread(file, content.data(), stat.size), static_cast<zip_int64_t>(stat.size));
            zip_fclose(file);
            EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE) << stat.name;
        }
        entries[stat.name] = content;
    }
    zip_close(archive);
    return entries;
}

}  // namespace test_support
