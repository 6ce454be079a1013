#pragma once
// Finds every plugin.* library beside the executable, loads it, and calls its two exports:
// initialize_logger (logging on or off, and the file it appends to) and register_features
// (which fills the host's registry). The libraries stay loaded as long as the loader lives;
// the registry only borrows the plug-ins' objects, so the loader must outlive the registry's use.
#include <boost/dll/shared_library.hpp>
#include <boost/filesystem/path.hpp>
#include <string>
#include <vector>

#include "drivekit/core/Status.h"
#include "plugins/plugin.cliframework/FeatureRegistry.h"

namespace host {

class PluginLoader {
public:
    struct LoggerSettings {
        bool enable = false;
        std::string path;
    };

    // Every regular file in folder whose name starts with "plugin." and ends with the
    // platform's library suffix, sorted by name so that the load order does not depend on
    // the file system.
    static std::vector<boost::filesystem::path> findPlugins(const boost::filesystem::path& folder);

    // Loads one library and calls both exports. A library that cannot be loaded or lacks an
    // export is reported and left out; the others are still loaded.
    drivekit::core::Status load(const boost::filesystem::path& library,
                                const LoggerSettings& logger,
                                plugin::cli::FeatureRegistry& registry);

    // Loads every plug-in of findPlugins(folder); the first failure is returned, the rest are
    // logged. A folder without any plug-in is a failure too.
    drivekit::core::Status loadAll(const boost::filesystem::path& folder,
                                   const LoggerSettings& logger,
                                   plugin::cli::FeatureRegistry& registry);

private:
    std::vector<boost::dll::shared_library> libraries_;
};

}  // namespace host
