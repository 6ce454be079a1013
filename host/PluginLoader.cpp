#include "host/PluginLoader.h"

#include <algorithm>
#include <boost/dll/import.hpp>
#include <boost/filesystem/operations.hpp>
#include <functional>

#include "drivekit/core/logging/Log.h"

namespace host {

namespace fs = boost::filesystem;

namespace {

using InitializeLogger = void(bool, const std::string&);
using RegisterFeatures = bool(plugin::cli::FeatureRegistry&);

drivekit::core::Status loadFailure(const fs::path& library, const std::string& reason) {
    auto status = drivekit::core::Status::custom();
    status.setMessage("Cannot load plug-in " + library.string() + ": " + reason);
    return status;
}

bool isPluginName(const std::string& name) {
    const std::string suffix = boost::dll::shared_library::suffix().string();
    return name.size() > 7 + suffix.size() && name.compare(0, 7, "plugin.") == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::vector<fs::path> PluginLoader::findPlugins(const fs::path& folder) {
    std::vector<fs::path> found;
    boost::system::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (fs::is_regular_file(it->path()) && isPluginName(it->path().filename().string())) {
            found.push_back(it->path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

drivekit::core::Status PluginLoader::load(const fs::path& library, const LoggerSettings& logger,
                                          plugin::cli::FeatureRegistry& registry) {
    LOG_ENTERING();
    boost::dll::shared_library loaded;
    boost::system::error_code error;
    loaded.load(library, boost::dll::load_mode::default_mode, error);
    if (error) {
        return loadFailure(library, error.message());
    }
    std::function<InitializeLogger> initializeLogger;
    std::function<RegisterFeatures> registerFeatures;
    try {
        initializeLogger = boost::dll::import_alias<InitializeLogger>(loaded, "initialize_logger");
        registerFeatures = boost::dll::import_alias<RegisterFeatures>(loaded, "register_features");
    } catch (const std::exception& missing) {
        return loadFailure(library, missing.what());
    }
    initializeLogger(logger.enable, logger.path);
    if (!registerFeatures(registry)) {
        return loadFailure(library, "register_features returned false");
    }
    LOG_INFO("Loaded plug-in " << library.string() << " (" << registry.commandSpecs.size()
                               << " commands registered so far)");
    // Kept loaded: the registry now points into the library.
    libraries_.push_back(std::move(loaded));
    return drivekit::core::Status::success();
}

drivekit::core::Status PluginLoader::loadAll(const fs::path& folder, const LoggerSettings& logger,
                                             plugin::cli::FeatureRegistry& registry) {
    drivekit::core::Status first;
    const auto libraries = findPlugins(folder);
    if (libraries.empty()) {
        // A plug-in removed or never built: say where it was looked for, not only that "dump" is unknown.
        first = drivekit::core::Status::custom();
        first.setMessage("No plug-in (plugin.*" + boost::dll::shared_library::suffix().string() + ") found in " +
                         folder.string() + "; only ssdtool's own commands are available.");
    }
    for (const auto& library : libraries) {
        const auto status = load(library, logger, registry);
        if (!status.isSuccess()) {
            LOG_ERROR(status.message());
            if (first.isSuccess()) {
                first = status;
            }
        }
    }
    return first;
}

}  // namespace host
