// ssdtool-docs: writes the manual page and the bash completion of ssdtool at build time, from
// the built plug-ins' registered commands and the host's own help texts. Not installed.
// Usage: ssdtool-docs PLUGIN_FOLDER LIBRARY_FOLDER MAN_PAGE COMPLETION_FILE
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/PluginLoader.h"
#include "host/devices/sim/SimulatedDrive.h"
#include "host/docs/BashCompletion.h"
#include "host/docs/ManPage.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CollectorTable.h"

namespace {

// Written whole or not at all: a failed build must not leave a half page behind for the next.
bool writeFile(const std::string& path, const std::string& text) {
    const std::string partial = path + ".part";
    std::ofstream file(partial, std::ios::binary);
    file << text;
    file.close();
    return file && std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: ssdtool-docs PLUGIN_FOLDER LIBRARY_FOLDER MAN_PAGE COMPLETION_FILE\n";
        return 2;
    }
    host::PluginLoader loader;
    plugin::cli::FeatureRegistry registry;
    const auto loaded = loader.loadAll(argv[1], {}, registry);
    if (!loaded.isSuccess() || registry.commandSpecs.empty()) {
        std::cerr << "ssdtool-docs: no plug-in command found in " << argv[1] << ": " << loaded.message() << "\n";
        return 1;
    }
    host::docs::ToolReference tool;
    tool.version = SSDTOOL_VERSION;
    tool.commands = host::cli::CommandSyntax::fromRegistry(registry);
    tool.logTypes = plugin::cli::debug_logs::selectableLogTypes(plugin::cli::debug_logs::defaultCollectorTable());
    tool.profiles = host::sim::builtInProfileNames();
    for (const auto& plugin : host::PluginLoader::findPlugins(argv[1])) {
        tool.pluginFiles.push_back(plugin.filename().string());
    }
    tool.libraryFolder = argv[2];
    std::ostringstream page;
    std::ostringstream completion;
    host::docs::ManPage::write(tool, page);
    host::docs::BashCompletion::write(tool, completion);
    if (!writeFile(argv[3], page.str()) || !writeFile(argv[4], completion.str())) {
        std::cerr << "ssdtool-docs: cannot write " << argv[3] << " or " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
