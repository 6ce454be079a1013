#pragma once
// Where ssdtool finds its plug-ins and the simulated drives' built-in profiles, from the folder
// of its own executable: beside it in a build folder (and on Windows), or in ../lib/ssdtool/
// when it was installed into a prefix's bin/.
#include <boost/filesystem/path.hpp>

namespace host {

struct InstallLayout {
    // The installed layout's folder for plug-ins and profiles, relative to the prefix.
    static constexpr const char* libraryFolder = "lib/ssdtool";

    boost::filesystem::path pluginFolder;
    boost::filesystem::path profileFolder;

    // Beside the executable when a plug-in or a profiles folder is there; otherwise the
    // prefix's lib/ssdtool/ when that exists; otherwise beside (where the messages then point).
    static InstallLayout forExecutableFolder(const boost::filesystem::path& folder);
    // The layout of the running program.
    static InstallLayout ofThisProgram();
};

}  // namespace host
