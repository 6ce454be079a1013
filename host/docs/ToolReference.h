#pragma once
// What the manual page and the shell completion are written from: the same registered
// commands, host commands and host options that "ssdtool help" prints, and the values a user
// may type that the commands' texts only name (log types, built-in profiles).
#include <string>
#include <vector>

#include "host/cli/CommandSyntax.h"

namespace host::docs {

struct ToolReference {
    std::string version;
    std::vector<cli::CommandSyntax> commands;
    // The "-type" names that select collectors (beside "all" and "list").
    std::vector<std::string> logTypes;
    // The built-in simulated drives, as --sim=NAME takes them.
    std::vector<std::string> profiles;
    // The plug-in libraries' file names.
    std::vector<std::string> pluginFiles;
    // The installed folder of the plug-ins and profiles ("/usr/lib/ssdtool").
    std::string libraryFolder;
};

}  // namespace host::docs
