#pragma once
// The host's own options, which come before the verb and start with two dashes:
// --sim[=PROFILE] (repeatable), --sim-trace=FILE, --log=FILE, --host-log=FILE,
// --as-maker[=FAMILY], --vendor-commands, --version.
#include <string>
#include <vector>

namespace host::cli {

struct HostOptions {
    // One option as help, the manual page and the shell completion describe it.
    struct Described {
        // "--sim[=PROFILE]": the name, then its value (in brackets when it may be left out).
        std::string usage;
        bool repeatable = false;
        std::string description;

        // "--sim": what the user types before any "=".
        std::string name() const { return usage.substr(0, usage.find_first_of("[=")); }
    };

    // Every option of the host, in the order help lists them: the one place they are described.
    static const std::vector<Described>& described();

    // One entry per --sim, in order; "" for a bare --sim (the built-in default drive).
    std::vector<std::string> simulatedDrives;
    std::string simTraceFile;
    // --log=FILE: the plug-ins' log file; logging stays off without it.
    std::string pluginLogFile;
    std::string hostLogFile;
    // --as-maker[=FAMILY]: the selected drive is treated as one of the maker's, of this
    // product family (spelt as the product table spells it; "" for the drive's default).
    bool asMaker = false;
    std::string asMakerFamily;
    // --vendor-commands: with --as-maker, another maker's NVMe drive is sent the maker's own
    // vendor commands too; without it they are refused before they reach the drive.
    bool vendorCommands = false;
    // --version: print the tool's version and stop, whatever follows.
    bool version = false;
    // What follows the host's options: the verb and its arguments.
    std::vector<std::string> command;
    // Empty when the host's options are sound.
    std::string error;

    bool useSimulatedDrives() const { return !simulatedDrives.empty(); }

    // The token is one of the host's options (given anywhere, for a hint when it is misplaced).
    static bool isHostOption(const std::string& token);

    // arguments: the command line without the program name.
    static HostOptions parse(const std::vector<std::string>& arguments);
};

}  // namespace host::cli
