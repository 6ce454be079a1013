#include "host/HostApplication.h"

#include <boost/algorithm/string/predicate.hpp>
#include <fstream>
#include <utility>

#include "drivekit/core/StopRequest.h"
#include "drivekit/core/StopSignalScope.h"
#include "drivekit/core/logging/Log.h"
#include "host/EveryDriveReport.h"
#include "host/ExceptionReport.h"
#include "host/ExitStatus.h"
#include "host/cli/HelpPrinter.h"
#include "host/cli/ResultPrinter.h"
#include "host/decode/DecodeCommand.h"
#include "host/redact/RedactCommand.h"
#include "drivekit/core/DeviceAttributes.h"
#include "host/devices/MakerAttributes.h"
#include "host/devices/VendorCommandGate.h"
#include "host/devices/sim/SimulatedDrive.h"
#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/FeatureBase.h"
#include "plugins/plugin.cliframework/ResultBase.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace host {

using boost::algorithm::iequals;

namespace {

const char* const helpHint = "Run \"ssdtool help\" for the commands and their options.";

int syntaxError(std::ostream& err, const std::string& message) {
    err << "ssdtool: syntax error: " << message << "\n" << helpHint << "\n";
    return ExitStatus::usage;
}

// The plug-in's log and the simulated drives' trace are written by code that cannot report a
// file it fails to open, so the host makes sure each one can be appended to before the run.
std::string unwritableFile(const cli::HostOptions& options) {
    for (const auto& [path, what] : {std::make_pair(options.pluginLogFile, "the plug-in log file"),
                                     std::make_pair(options.simTraceFile, "the trace file")}) {
        if (!path.empty() && !std::ofstream(path, std::ios::out | std::ios::app).is_open()) {
            return std::string("Cannot open ") + what + ": " + path;
        }
    }
    return {};
}

// A host option typed after the verb reaches the command's parser as an unknown option; say
// where it belongs.
std::string misplacedHostOption(const std::vector<std::string>& command, const std::string& error) {
    for (auto token = command.begin() + 1; token != command.end(); ++token) {
        if (cli::HostOptions::isHostOption(*token) && error.find(*token) != std::string::npos) {
            return " Host options such as " + *token + " go before the verb: ssdtool " + *token + " " +
                   command.front() + " ...";
        }
    }
    return {};
}

// "-ssd all": every drive in turn.
const char* const everyDrive = "all";

bool isShowDrives(const std::vector<std::string>& command) {
    return command.size() == 2 && iequals(command[0], "show") && iequals(command[1], "-ssd");
}

}  // namespace

HostApplication::HostApplication(boost::filesystem::path pluginFolder)
    : pluginFolder_(std::move(pluginFolder)) {}

int HostApplication::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    // Whatever a plug-in throws ends here as one line, never as a crash.
    try {
        return runGuarded(arguments, out, err);
    } catch (...) {
        out.flush();
        return ExceptionReport::report(std::current_exception(), err);
    }
}

int HostApplication::runGuarded(const std::vector<std::string>& arguments, std::ostream& out,
                                std::ostream& err) {
    options_ = cli::HostOptions::parse(arguments);
    if (!options_.error.empty()) {
        return syntaxError(err, options_.error);
    }
    if (options_.version) {
        out << "ssdtool " << SSDTOOL_VERSION << "\n";
        return ExitStatus::success;
    }
    if (!options_.hostLogFile.empty()) {
        const auto status = log_.open(options_.hostLogFile);
        if (!status.isSuccess()) {
            err << "ssdtool: error: " << status.message() << "\n";
            return ExitStatus::usage;
        }
    }
    LOG_INFO("ssdtool started with " << arguments.size() << " arguments");
    if (const auto error = unwritableFile(options_); !error.empty()) {
        LOG_ERROR(error);
        err << "ssdtool: error: " << error << "\n";
        return ExitStatus::usage;
    }
    if (!options_.simTraceFile.empty()) {
        sim::setTraceFile(options_.simTraceFile);
    }
    if (options_.command.empty()) {
        return syntaxError(err, "No command given.");
    }
    return runCommand(options_.command, out, err);
}

int HostApplication::runCommand(const std::vector<std::string>& command, std::ostream& out,
                                std::ostream& err) {
    const std::string& verb = command.front();
    if (iequals(verb, "decode")) {
        LOG_INFO("Running decode");
        return runDecode({command.begin() + 1, command.end()}, out, err);
    }
    if (iequals(verb, "redact")) {
        LOG_INFO("Running redact");
        return runRedact({command.begin() + 1, command.end()}, out, err);
    }
    const auto loaded = loader_.loadAll(pluginFolder_, {!options_.pluginLogFile.empty(), options_.pluginLogFile},
                                        registry_);
    if (!loaded.isSuccess()) {
        err << "ssdtool: warning: " << loaded.message() << "\n";
    }
    if (iequals(verb, "help")) {
        const auto syntaxes = commandSyntaxes();
        return cli::HelpPrinter(syntaxes).run({command.begin() + 1, command.end()}, out, err);
    }
    if (isShowDrives(command)) {
        return showDrives(out, err);
    }
    const cli::CommandLineParser parser(commandSyntaxes());
    if (iequals(verb, "show") && parser.commandsOfVerb(verb).empty()) {
        // No plug-in shows anything: "show" is only the drive list.
        return syntaxError(err, "show lists the drives and takes nothing but -ssd: ssdtool show -ssd");
    }
    const auto outcome = parser.parse(command);
    if (!outcome.ok()) {
        LOG_WARNING("Syntax error: " << outcome.error);
        return syntaxError(err, outcome.error + misplacedHostOption(command, outcome.error));
    }
    if (outcome.helpRequested) {
        const cli::HelpPrinter help(parser.commands());
        if (outcome.command != nullptr) {
            help.printCommand(*outcome.command, out);
        } else {
            help.printCommands(parser.commandsOfVerb(verb), out);
        }
        return ExitStatus::success;
    }
    return runFeature(outcome, out, err);
}

int HostApplication::runFeature(const cli::CommandLineParser::Outcome& outcome, std::ostream& out,
                                std::ostream& err) {
    const auto& spec = registry_.commandSpecs.at(outcome.command->registryIndex);
    const auto found = registry_.featureBySpec.find(spec.get());
    if (found == registry_.featureBySpec.end() || found->second == nullptr) {
        err << "ssdtool: error: no feature is registered for the command " << outcome.command->name << "\n";
        return ExitStatus::failed;
    }
    plugin::cli::FeatureBase& feature = *found->second;
    if (outcome.parsed.hasTarget("-ssd")) {
        if (!openDrives(err)) {
            return ExitStatus::usage;
        }
        std::string error;
        const std::string selector = outcome.parsed.targetValue("-ssd");
        if (iequals(selector, everyDrive)) {
            return runOnEveryDrive(feature, outcome, out, err);
        }
        const auto* drive = drives_.select(selector, error);
        if (drive == nullptr) {
            if (drives_.empty() && !options_.useSimulatedDrives()) {
                error += " Add a simulated drive with --sim.";
            }
            err << "ssdtool: error: " << error << "\n";
            return ExitStatus::usage;
        }
        LOG_INFO("Selected drive " << drive->path);
        if (const std::string notice = drives_.indexNotice(selector); !notice.empty()) {
            err << "ssdtool: " << notice << "\n";
        }
        if (const int status = prepareDrive(*drive, err); status != ExitStatus::success) {
            return status;
        }
        feature.registerDevice(drive->device);
    }
    return runOnce(feature, outcome, out, err).exitStatus;
}

HostApplication::RunOutcome HostApplication::runOnce(plugin::cli::FeatureBase& feature,
                                                     const cli::CommandLineParser::Outcome& outcome,
                                                     std::ostream& out, std::ostream& err) {
    LOG_INFO("Running command " << outcome.command->name << " (verb " << outcome.command->verb << ")");
    std::shared_ptr<plugin::cli::ResultBase> result;
    feature.run(result, outcome.command->id, outcome.parsed);
    out.flush();
    reportRefusedCommands(err);
    if (!result) {
        LOG_WARNING("Command " << outcome.command->name << " returned no result");
        return {ExitStatus::success, {}};
    }
    const int status = cli::ResultPrinter::exitStatus(*result);
    // A stopped run has said its one line on standard error already.
    const bool interrupted = status > ExitStatus::interruptedBase;
    if (!interrupted || outcome.outputFormat != "text") {
        out << cli::ResultPrinter::render(*result, outcome.outputFormat);
    }
    LOG_INFO("Command " << outcome.command->name << " finished with exit status " << status);
    return {status, result->value()};
}

int HostApplication::runOnEveryDrive(plugin::cli::FeatureBase& feature,
                                     const cli::CommandLineParser::Outcome& outcome, std::ostream& out,
                                     std::ostream& err) {
    const auto& entries = drives_.entries();
    if (entries.empty()) {
        err << "ssdtool: error: No drive found. Add a simulated drive with --sim.\n";
        return ExitStatus::usage;
    }
    using Outcome = EveryDriveReport::Outcome;
    EveryDriveReport report(outcome.parsed.optionValue(plugin::cli::parts::destination.name()), entries.size());
    // A stop between two drives' runs ends the loop too (each run holds its own scope inside).
    const drivekit::core::StopSignalScope stopSignals;
    int stoppedBy = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& drive = entries[i];
        if (stoppedBy == 0 && drivekit::core::StopRequest::requested()) {
            stoppedBy = ExitStatus::interruptedBase + drivekit::core::StopRequest::signalNumber();
        }
        if (stoppedBy != 0) {
            report.pass(i, drive, Outcome::notRun, "", out);
        } else if (!drive.unsupported.empty()) {
            report.pass(i, drive, Outcome::skipped, drive.unsupported, out);
        } else if (!drive.selectableByIndex) {
            // Like an index, "all" does not reach a remote target or a controller in recovery.
            report.pass(i, drive, Outcome::skipped, drive.attachment + "; select it by path: -ssd " + drive.path, out);
        } else {
            out << (i == 0 ? "" : "\n");
            report.start(i, drive, out);
            out.flush();
            const RunOutcome run = runOnDrive(feature, outcome, drive, out, err);
            if (run.exitStatus == ExitStatus::usage) {
                return run.exitStatus;  // the command itself is wrong, on every drive alike
            }
            if (run.exitStatus > ExitStatus::interruptedBase) {
                stoppedBy = run.exitStatus;
            }
            report.finish(run.exitStatus == ExitStatus::success ? Outcome::succeeded
                          : stoppedBy != 0                      ? Outcome::stopped
                                                                : Outcome::failed,
                          run.result, out);
        }
    }
    report.printSummary(out);
    return stoppedBy != 0 ? stoppedBy : report.exitStatus();
}

HostApplication::RunOutcome HostApplication::runOnDrive(plugin::cli::FeatureBase& feature,
                                                        const cli::CommandLineParser::Outcome& outcome,
                                                        const DriveList::Entry& drive, std::ostream& out,
                                                        std::ostream& err) {
    LOG_INFO("Selected drive " << drive.path << " (every drive in turn)");
    gatedDrive_ = nullptr;
    std::string openError;
    if (prepareDrive(drive, err, &openError) != ExitStatus::success) {
        return {ExitStatus::failed, "cannot open: " + openError};
    }
    feature.registerDevice(drive.device);
    // What one drive's run throws ends that drive's run, not the others'.
    try {
        return runOnce(feature, outcome, out, err);
    } catch (...) {
        out.flush();
        const std::string what = ExceptionReport::describe(std::current_exception());
        ExceptionReport::report(std::current_exception(), err);
        return {ExitStatus::pluginError, "error: " + what};
    }
}

int HostApplication::showDrives(std::ostream& out, std::ostream& err) {
    if (!openDrives(err)) {
        return ExitStatus::usage;
    }
    drives_.print(out);
    if (drives_.empty() && !options_.useSimulatedDrives()) {
        err << "ssdtool: no NVMe controller or SATA disk found; add a simulated drive with --sim, e.g. "
               "ssdtool --sim show -ssd\n";
    }
    return ExitStatus::success;
}

int HostApplication::prepareDrive(const DriveList::Entry& drive, std::ostream& err, std::string* failure) {
    if (drive.open) {
        const auto outcome = drive.open();
        if (!outcome.status.isSuccess()) {
            LOG_ERROR(outcome.status.message());
            err << "ssdtool: error: " << outcome.status.message() << "\n";
            if (failure != nullptr) {
                *failure = outcome.status.message();
            }
            return outcome.accessDenied ? ExitStatus::usage : ExitStatus::failed;
        }
    }
    if (options_.asMaker) {
        namespace products = drivekit::core::products;
        const auto bus = drive.device->isProtocolSupported("NVME") ? products::Bus::nvme : products::Bus::sata;
        const std::string& family =
            options_.asMakerFamily.empty() ? products::defaultFamilyFor(bus) : options_.asMakerFamily;
        // What the product table made of the drive, before --as-maker overrides it.
        const bool makers = drive.device->attributes.readBool(drivekit::core::attributes::kestrova().key());
        devices::applyMakerAttributes(drive.device->attributes, bus, 0, family);
        // The maker's own commands (vendor pages and the vendor channel) now reach this drive.
        err << "ssdtool: treating " << drive.path << " as a " << products::makerName << " drive of the " << family
            << " family\n";
        LOG_INFO("Treating " << drive.path << " as a drive of the " << family << " family");
        if (!makers && bus == products::Bus::nvme) {
            gateVendorCommands(drive, err);
        }
    }
    return ExitStatus::success;
}

void HostApplication::gateVendorCommands(const DriveList::Entry& drive, std::ostream& err) {
    // Another maker's firmware does not know the maker's vendor commands: what they would do
    // there is unknown, so only the user's explicit word sends them.
    auto* gate = dynamic_cast<devices::VendorCommandGate*>(drive.device.get());
    if (options_.vendorCommands || gate == nullptr) {
        return;
    }
    gate->closeToVendorCommands();
    gatedDrive_ = &drive;
    err << "ssdtool: the maker's vendor commands (0xF1/0xF2, Set Features 0xFA) are not sent to " << drive.path
        << " unless --vendor-commands is given\n";
    LOG_INFO("Vendor commands are not sent to " << drive.path);
}

void HostApplication::reportRefusedCommands(std::ostream& err) const {
    const auto* gate =
        gatedDrive_ == nullptr ? nullptr : dynamic_cast<const devices::VendorCommandGate*>(gatedDrive_->device.get());
    if (gate == nullptr || gate->refusedCommands().empty()) {
        return;
    }
    std::string names;
    for (const std::string& name : gate->refusedCommands()) {
        names += (names.empty() ? "" : ", ") + name;
    }
    err << "ssdtool: skipped on " << gatedDrive_->path << ", not sent without --vendor-commands: " << names << "\n";
    LOG_INFO("Vendor commands not sent to " << gatedDrive_->path << ": " << names);
}

bool HostApplication::openDrives(std::ostream& err) {
    if (drivesOpened_) {
        return true;
    }
    drivesOpened_ = true;
    // With --sim only the simulated drives are listed, never this machine's.
    if (!options_.useSimulatedDrives()) {
        drives_.addSystemDrives();
        return true;
    }
    const std::string error = drives_.addSimulated(options_.simulatedDrives);
    if (!error.empty()) {
        LOG_ERROR(error);
        err << "ssdtool: error: " << error << "\n";
        return false;
    }
    return true;
}

std::vector<cli::CommandSyntax> HostApplication::commandSyntaxes() const {
    return cli::CommandSyntax::fromRegistry(registry_);
}

}  // namespace host
