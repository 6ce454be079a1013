#include <gtest/gtest.h>

#include <boost/dll/import.hpp>
#include <boost/dll/shared_library.hpp>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>

#include "plugins/plugin.cliframework/FeatureBase.h"
#include "plugins/plugin.cliframework/FeatureRegistry.h"
#include "plugins/plugin.cliframework/SSDFeatureBase.h"

// The plug-in as the host sees it: the shared library beside the host, its two aliases, and
// what registration leaves in the host's registry.
namespace {

using RegisterFeatures = bool(plugin::cli::FeatureRegistry&);
using InitializeLogger = void(bool, const std::string&);

const boost::dll::fs::path pluginPath =
    boost::dll::fs::path(SSDTOOL_BIN_DIR) / ("plugin.debug_logs" + boost::dll::shared_library::suffix().string());

class PluginRegistration : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library_ = new boost::dll::shared_library(pluginPath);
        registerFeatures_ = boost::dll::import_alias<RegisterFeatures>(*library_, "register_features");
    }
    // The library stays loaded: the registries point into it.

    static boost::dll::shared_library* library_;
    static std::function<RegisterFeatures> registerFeatures_;
};

boost::dll::shared_library* PluginRegistration::library_ = nullptr;
std::function<RegisterFeatures> PluginRegistration::registerFeatures_;

// The library's export table as the loader sees it: "nm -D --defined-only -S" gives address,
// size, kind and name of every symbol the library defines for other modules.
// Each name maps to its address and size.
std::map<std::string, std::pair<uint64_t, uint64_t>> exportedSymbols(const boost::dll::fs::path& library) {
    std::map<std::string, std::pair<uint64_t, uint64_t>> exported;
    FILE* pipe = popen(("nm -D --defined-only -S '" + library.string() + "'").c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run nm");
    }
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, size, kind, name;
        if (fields >> address >> size >> kind >> name) {
            exported[name] = {std::stoull(address, nullptr, 16), std::stoull(size, nullptr, 16)};
        } else {
            exported[line];  // a symbol without a size still counts as exported
        }
    }
    if (pclose(pipe) != 0) {
        throw std::runtime_error("nm failed on " + library.string());
    }
    return exported;
}

}  // namespace

TEST_F(PluginRegistration, ExportsOnlyTheTwoAliasesOnePointerApart) {
    const auto exported = exportedSymbols(pluginPath);
    std::vector<std::string> names;
    for (const auto& [name, symbol] : exported) {
        names.push_back(name);
        EXPECT_EQ(symbol.second, sizeof(void*)) << name;
    }
    ASSERT_EQ(names, (std::vector<std::string>{"initialize_logger", "register_features"}));
    EXPECT_EQ(exported.at("initialize_logger").first, exported.at("register_features").first + sizeof(void*));
    EXPECT_NO_THROW(boost::dll::import_alias<InitializeLogger>(*library_, "initialize_logger"));
}

TEST_F(PluginRegistration, RunWithoutADriveIsRefusedAsAResult) {
    plugin::cli::FeatureRegistry registry;
    registerFeatures_(registry);
    plugin::cli::ParsedCommand command;
    command.verb = "dump";
    command.options = {{"-debuglogs", ""}};
    command.targets = {{"-type", "list"}};
    std::shared_ptr<plugin::cli::ResultBase> result;
    registry.features.at(0)->run(result, 0, command);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->value(), "No device selected.");
}
