#include "host/InstallLayout.h"

#include <boost/dll/runtime_symbol_info.hpp>
#include <boost/filesystem/operations.hpp>

#include "host/PluginLoader.h"

namespace host {

namespace fs = boost::filesystem;

namespace {

InstallLayout inFolder(const fs::path& folder) { return {folder, folder / "profiles"}; }

bool holdsTheTool(const fs::path& folder) {
    boost::system::error_code error;
    return !PluginLoader::findPlugins(folder).empty() || fs::is_directory(folder / "profiles", error);
}

}  // namespace

InstallLayout InstallLayout::forExecutableFolder(const fs::path& folder) {
    if (holdsTheTool(folder)) {
        return inFolder(folder);
    }
    const fs::path installed = folder.parent_path() / libraryFolder;
    boost::system::error_code error;
    if (folder.filename() == "bin" && fs::is_directory(installed, error)) {
        return inFolder(installed);
    }
    return inFolder(folder);
}

InstallLayout InstallLayout::ofThisProgram() {
    boost::system::error_code error;
    const fs::path executable = boost::dll::program_location(error);
    return forExecutableFolder(error ? fs::path(".") : executable.parent_path());
}

}  // namespace host
