#pragma once
// One run of ssdtool: the host's options, its log, the plug-ins, the drives, and the command
// the user asked for. Returns the process's exit status: 0 success, 1 a failed run, 2 a
// syntax or usage error, 3 an exception that left a plug-in.
#include <ostream>
#include <string>
#include <vector>

#include <boost/filesystem/path.hpp>

#include "host/DriveList.h"
#include "host/HostLog.h"
#include "host/PluginLoader.h"
#include "host/cli/CommandLineParser.h"
#include "host/cli/HostOptions.h"
#include "plugins/plugin.cliframework/FeatureBase.h"
#include "plugins/plugin.cliframework/FeatureRegistry.h"

namespace host {

class HostApplication {
public:
    // pluginFolder: where the plugin.* libraries are looked for (beside the executable).
    explicit HostApplication(boost::filesystem::path pluginFolder);

    // arguments: the command line without the program name. Never throws.
    int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

private:
    int runGuarded(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
    int runCommand(const std::vector<std::string>& command, std::ostream& out, std::ostream& err);
    // A command's exit status and its result's text ("" when it returned none).
    struct RunOutcome {
        int exitStatus;
        std::string result;
    };

    int runFeature(const cli::CommandLineParser::Outcome& outcome, std::ostream& out, std::ostream& err);
    // Runs the feature on the drive it holds (if any) and prints its result.
    RunOutcome runOnce(plugin::cli::FeatureBase& feature, const cli::CommandLineParser::Outcome& outcome,
                       std::ostream& out, std::ostream& err);
    // "-ssd all": each drive in turn, a line per drive and a summary table; a drive that fails
    // does not stop the others. 0 only when every drive read succeeded.
    int runOnEveryDrive(plugin::cli::FeatureBase& feature, const cli::CommandLineParser::Outcome& outcome,
                        std::ostream& out, std::ostream& err);
    RunOutcome runOnDrive(plugin::cli::FeatureBase& feature, const cli::CommandLineParser::Outcome& outcome,
                          const DriveList::Entry& drive, std::ostream& out, std::ostream& err);
    int showDrives(std::ostream& out, std::ostream& err);
    // Opens a real drive and applies --as-maker; the exit status of a failure, else 0.
    // failure, when given, receives the open error's message alone.
    int prepareDrive(const DriveList::Entry& drive, std::ostream& err, std::string* failure = nullptr);
    // Keeps the maker's own commands from another maker's NVMe drive, unless --vendor-commands.
    void gateVendorCommands(const DriveList::Entry& drive, std::ostream& err);
    // After the run: the commands the gate kept from the drive, if any.
    void reportRefusedCommands(std::ostream& err) const;
    // Opens the simulated drives once; false (and the message printed) when one cannot be.
    bool openDrives(std::ostream& err);
    std::vector<cli::CommandSyntax> commandSyntaxes() const;

    boost::filesystem::path pluginFolder_;
    cli::HostOptions options_;
    HostLog log_;
    // Declared before the registry and the drives: the libraries must stay loaded until every
    // object they made has been released.
    PluginLoader loader_;
    plugin::cli::FeatureRegistry registry_;
    DriveList drives_;
    bool drivesOpened_ = false;
    // The selected drive when its vendor commands are refused.
    const DriveList::Entry* gatedDrive_ = nullptr;
};

}  // namespace host
