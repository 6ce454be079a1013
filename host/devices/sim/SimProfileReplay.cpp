#include "host/devices/sim/SimProfileReplay.h"

#include <boost/filesystem.hpp>

#include "host/devices/sim/SimReplay.h"

namespace host::sim {

namespace fs = boost::filesystem;

void SimProfileReplay::read(const SimJsonReader& top, const std::string& file, SimProfile& profile) {
    if (!top.has("replay")) {
        return;
    }
    fs::path folder(top.stringOr("replay", ""));
    if (folder.is_relative()) {
        folder = fs::absolute(fs::path(file).parent_path()) / folder;
    }
    boost::system::error_code error;
    if (!fs::is_directory(folder, error)) {
        top.fail("replay", "names the folder \"" + folder.string() + "\", which does not exist");
    }
    profile.replayFolder = folder.lexically_normal().string();
    const std::string problem = SimReplay::checkFolder(profile.replayFolder);
    if (!problem.empty()) {
        top.fail("replay", "names a folder where " + problem);
    }
}

}  // namespace host::sim
