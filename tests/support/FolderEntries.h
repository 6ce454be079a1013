#pragma once
// Lists what the code under test left in a folder.
#include <algorithm>
#include <boost/filesystem.hpp>
#include <string>
#include <vector>

namespace test_support {

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
