#pragma once
// Registered commands as a plug-in builds them, seen through the host's syntax model.
#include <vector>

#include "host/cli/CommandSyntax.h"
#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/OptionCommandSpecPart.h"
#include "plugins/plugin.cliframework/PropertyCommandSpecPart.h"
#include "plugins/plugin.cliframework/TargetCommandSpecPart.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace host_test {

namespace cli = plugin::cli;

// The debug-logs command exactly as the plug-in declares it.
inline cli::CommandSpec debugLogsSpec() {
    cli::CommandSpec spec(0, "DebugLogs", cli::verbs::dump, "Collects debug logs and creates ZIP package.");
    spec.addOption(cli::parts::help);
    spec.addOption(cli::parts::destination);
    spec.addOption(cli::CommandSpecPart("-debuglogs", true, "", false, "Package into zip file."));
    spec.addOption(cli::CommandSpecPart("-v", false, "", true, "Display verbose output"));
    spec.addOption(cli::CommandSpecPart("-vv", false, "", true, "Display verbose output (Level 2)"));
    spec.addOption(cli::CommandSpecPart("-extended", false, "", false, "Get extended log data if possible"));
    spec.addTarget(cli::parts::ssdRequiredWithValue);
    spec.addTarget(cli::CommandSpecPart("-type", false, "all|list|LOGNAME", true, "Option to extract specific log."));
    return spec;
}

// A second dump command, told apart from DebugLogs only by its required option.
inline cli::CommandSpec firmwareSpec() {
    cli::CommandSpec spec(1, "DumpFirmware", cli::verbs::dump, "Dumps a firmware slot.");
    spec.addOption(cli::OptionCommandSpecPart("-firmware", true, "", false, "Dump firmware."));
    spec.addOption(cli::parts::output);
    spec.addTarget(cli::parts::ssdRequiredWithValue);
    spec.addProperty(cli::PropertyCommandSpecPart("Slot", true, "1-7", "Firmware slot."));
    spec.addProperty(cli::PropertyCommandSpecPart("Mode", false, "fast|full", "Read mode."));
    return spec;
}

// A command whose -ssd value may be left out.
inline cli::CommandSpec smartSpec() {
    cli::CommandSpec spec(2, "ShowSmart", cli::verbs::show, "Shows SMART values.");
    spec.addOption(cli::OptionCommandSpecPart("-smart", true, "", false, "SMART values."));
    spec.addTarget(cli::parts::ssdOptional);
    return spec;
}

inline std::vector<host::cli::CommandSyntax> commands() {
    return {host::cli::CommandSyntax::fromSpec(debugLogsSpec(), 0),
            host::cli::CommandSyntax::fromSpec(firmwareSpec(), 1),
            host::cli::CommandSyntax::fromSpec(smartSpec(), 2)};
}

}  // namespace host_test
