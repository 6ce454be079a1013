#pragma once
// A folder of its own for each test, and what the code under test left in one.
#include <algorithm>
#include <boost/filesystem.hpp>
#include <string>
#include <vector>

namespace test_support {

// A fresh empty folder, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder()
        : path_(boost::filesystem::temp_directory_path() / boost::filesystem::unique_path("ssdtool-test-%%%%-%%%%")) {
        boost::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(path_, ignored);
    }
    const boost::filesystem::path& path() const { return path_; }

private:
    boost::filesystem::path path_;
};

// The names (not paths) of the folder's entries, sorted.
inline std::vector<std::string> folderEntries(const boost::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : boost::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace test_support
