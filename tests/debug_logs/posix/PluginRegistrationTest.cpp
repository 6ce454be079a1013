#include <gtest/gtest.h>

#include <boost/dll/shared_library.hpp>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>

// The plug-in as the host sees it: the shared library beside the host and its two aliases.
namespace {

const boost::dll::fs::path pluginPath =
    boost::dll::fs::path(SSDTOOL_BIN_DIR) / ("plugin.debug_logs" + boost::dll::shared_library::suffix().string());

// The library's export table as the loader sees it: "nm -D --defined-only -S" gives address,
// size, kind and name of every symbol the library defines for other modules; name -> size.
std::map<std::string, uint64_t> exportedSymbols(const boost::dll::fs::path& library) {
    std::map<std::string, uint64_t> exported;
    FILE* pipe = popen(("nm -D --defined-only -S '" + library.string() + "'").c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run nm");
    }
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, size, kind, name;
        if (fields >> address >> size >> kind >> name) {
            exported[name] = std::stoull(size, nullptr, 16);
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

// The host loading the aliases is run end to end; here, that nothing else leaks out.
TEST(PluginRegistration, ExportsOnlyTheTwoAliases) {
    std::vector<std::string> names;
    for (const auto& [name, size] : exportedSymbols(pluginPath)) {
        names.push_back(name);
        EXPECT_EQ(size, sizeof(void*)) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"initialize_logger", "register_features"}));
}
