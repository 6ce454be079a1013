#include <gtest/gtest.h>

#include <boost/dll/import.hpp>
#include <boost/dll/shared_library.hpp>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>

#include "plugins/plugin.cliframework/FeatureRegistry.h"

// The plug-in as the host sees it: the shared library beside the host and its two aliases.
// What registration gives the host is run end to end; the refusal without a drive is the
// feature base's own test.
namespace {

const boost::dll::fs::path pluginPath =
    boost::dll::fs::path(SSDTOOL_BIN_DIR) / ("plugin.debug_logs" + boost::dll::shared_library::suffix().string());

// The library's export table as the loader sees it: "nm -D --defined-only -S" gives address,
// size, kind and name of every symbol the library defines for other modules.
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

TEST(PluginRegistration, ExportsOnlyTheTwoAliasesOnePointerApart) {
    const auto exported = exportedSymbols(pluginPath);
    std::vector<std::string> names;
    for (const auto& [name, symbol] : exported) {
        names.push_back(name);
        EXPECT_EQ(symbol.second, sizeof(void*)) << name;
    }
    ASSERT_EQ(names, (std::vector<std::string>{"initialize_logger", "register_features"}));
    EXPECT_EQ(exported.at("initialize_logger").first, exported.at("register_features").first + sizeof(void*));
    // The library stays loaded: what the aliases point to lives in it.
    static const boost::dll::shared_library library(pluginPath);
    EXPECT_NO_THROW(boost::dll::import_alias<void(bool, const std::string&)>(library, "initialize_logger"));
    EXPECT_NO_THROW(boost::dll::import_alias<bool(plugin::cli::FeatureRegistry&)>(library, "register_features"));
}
