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
#include "tests/debug_logs/DebugLogsTestSupport.h"

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
struct ExportedSymbol {
    uint64_t address = 0;
    uint64_t size = 0;
};

std::map<std::string, ExportedSymbol> exportedSymbols(const boost::dll::fs::path& library) {
    std::map<std::string, ExportedSymbol> exported;
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

std::vector<std::string> partNames(const plugin::cli::CommandSpecPartList& parts) {
    std::vector<std::string> names;
    for (const auto& part : parts) {
        names.push_back(part->name());
    }
    return names;
}

}  // namespace

TEST_F(PluginRegistration, ExportsOnlyTheTwoAliasesOnePointerApart) {
    const auto exported = exportedSymbols(pluginPath);
    std::vector<std::string> names;
    for (const auto& [name, symbol] : exported) {
        names.push_back(name);
        EXPECT_EQ(symbol.size, sizeof(void*)) << name;
    }
    ASSERT_EQ(names, (std::vector<std::string>{"initialize_logger", "register_features"}));
    EXPECT_EQ(exported.at("initialize_logger").address, exported.at("register_features").address + sizeof(void*));
    EXPECT_NO_THROW(boost::dll::import_alias<InitializeLogger>(*library_, "initialize_logger"));
}

TEST_F(PluginRegistration, EveryRegistrationEntersTheOnePluginObjectAndItsOneSpecification) {
    plugin::cli::FeatureRegistry registry;
    plugin::cli::FeatureRegistry other;
    EXPECT_TRUE(registerFeatures_(registry));
    EXPECT_TRUE(registerFeatures_(registry));
    registerFeatures_(other);
    ASSERT_EQ(registry.features.size(), 2u);
    EXPECT_EQ(registry.features[0], registry.features[1]);
    ASSERT_EQ(registry.commandSpecs.size(), 1u);
    ASSERT_EQ(registry.featureBySpec.size(), 1u);
    EXPECT_EQ(registry.featureBySpec.begin()->first, registry.commandSpecs[0].get());
    EXPECT_EQ(registry.featureBySpec.begin()->second, registry.features[0]);
    EXPECT_EQ(registry.features[0]->name(), "IncidentReportPlugin");
    ASSERT_EQ(other.features.size(), 1u);
    EXPECT_EQ(other.features[0], registry.features[0]);
    EXPECT_EQ(other.commandSpecs.at(0), registry.commandSpecs[0]);
}

TEST_F(PluginRegistration, DebugLogsSpecificationHasItsPartsInOrder) {
    plugin::cli::FeatureRegistry registry;
    registerFeatures_(registry);
    const auto& spec = *registry.commandSpecs.at(0);
    EXPECT_EQ(spec.id(), 0u);
    EXPECT_EQ(spec.name(), "DebugLogs");
    EXPECT_EQ(spec.verb(), "dump");
    EXPECT_EQ(spec.description(), "Collects debug logs and creates ZIP package.");
    EXPECT_EQ(partNames(spec.options()),
              (std::vector<std::string>{"-help", "-destination", "-debuglogs", "-v", "-vv", "-extended"}));
    EXPECT_EQ(partNames(spec.targets()), (std::vector<std::string>{"-ssd", "-type"}));
    EXPECT_TRUE(spec.properties().empty());
    const auto type = spec.targets().find("-type");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->valueName(), "all|list|LOGNAME");
    EXPECT_TRUE(type->valueRequired());
    EXPECT_FALSE(type->required());
    const auto debuglogs = spec.options().find("-debuglogs");
    ASSERT_NE(debuglogs, nullptr);
    EXPECT_TRUE(debuglogs->required());
    EXPECT_EQ(debuglogs->kind(), 0u);
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

TEST_F(PluginRegistration, CommandSettingsReachThePackage) {
    // "-v" with "-vv" is level 2 (the clean-up line shows), the type's letter case does not
    // matter and the destination is where the archive lands.
    using namespace debug_logs_test;
    plugin::cli::FeatureRegistry registry;
    registerFeatures_(registry);
    ScratchFolder destination;
    plugin::cli::ParsedCommand command;
    command.verb = "dump";
    command.options = {{"-debuglogs", ""}, {"-v", ""}, {"-vv", ""}, {"-destination", destination.path().string()}};
    command.targets = {{"-ssd", "0"}, {"-type", "SYSTEM"}};
    registry.features.at(0)->registerDevice(silentDevice("PLUG*IN"));
    std::shared_ptr<plugin::cli::ResultBase> result;
    ConsoleCapture console;
    registry.features.at(0)->run(result, 0, command);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->value(), "Completed successfully.");
    EXPECT_NE(console.text().find("\nSYSTEM LOG \n"), std::string::npos);
    EXPECT_NE(console.text().find("Cleanup: Removed " + destination.path().string() + "/PLUGIN_"), std::string::npos);
    const auto entries = folderEntries(destination.path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].substr(0, 7), "PLUGIN_");
    EXPECT_EQ(fs::path(entries[0]).extension(), ".zip");
}
