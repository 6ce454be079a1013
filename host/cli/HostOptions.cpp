#include "host/cli/HostOptions.h"

#include <algorithm>

#include "drivekit/core/ProductTable.h"

namespace host::cli {

namespace {

// "--name=value" with a non-empty value into value; false when the token has another name.
bool valueOf(const std::string& token, const std::string& name, std::string& value, std::string& error) {
    if (token == name) {
        error = "Option " + name + " expects a value: " + name + "=FILE";
        return true;
    }
    const std::string prefix = name + "=";
    if (token.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    value = token.substr(prefix.size());
    if (value.empty()) {
        error = "Option " + name + " expects a value: " + name + "=FILE";
    }
    return true;
}

// The families a user may name, for the error message.
std::string familyNames() {
    std::string names;
    for (const auto& row : drivekit::core::products::productTable()) {
        if (names.find(row.family) == std::string::npos) {
            names += (names.empty() ? "" : ", ") + row.family;
        }
    }
    return names;
}

void parseAsMaker(const std::string& token, HostOptions& options) {
    options.asMaker = true;
    if (token == "--as-maker") {
        return;
    }
    const auto* row = drivekit::core::products::findFamily(token.substr(std::string("--as-maker=").size()));
    if (row == nullptr) {
        options.error = "Option --as-maker= expects a product family: " + familyNames();
        return;
    }
    options.asMakerFamily = row->family;
}

}  // namespace

const std::vector<HostOptions::Described>& HostOptions::described() {
    static const std::vector<Described> options{
        {"--sim[=PROFILE]", true,
         "Add a simulated drive: the built-in default for a bare --sim, else PROFILE, a built-in profile's name, "
         "a profile file or a package to replay. With any --sim, real drives are not listed."},
        {"--sim-trace=FILE", false, "Append one line per command a simulated drive receives to FILE."},
        {"--log=FILE", false, "Turn the plug-in's logging on, appending to FILE."},
        {"--host-log=FILE", false, "Write ssdtool's own log to FILE."},
        {"--as-maker[=FAMILY]", false,
         "Treat the selected drive as one of the maker's, of the product family FAMILY (the bus's default family "
         "without it), so the collectors run on it."},
        {"--vendor-commands", false,
         "With --as-maker, send the maker's vendor commands to another maker's NVMe drive too."},
        {"--version", false, "Print the version of ssdtool and stop."},
    };
    return options;
}

bool HostOptions::isHostOption(const std::string& token) {
    const std::string name = token.substr(0, token.find('='));
    const auto& options = described();
    return std::any_of(options.begin(), options.end(), [&](const Described& option) { return option.name() == name; });
}

HostOptions HostOptions::parse(const std::vector<std::string>& arguments) {
    HostOptions options;
    std::size_t i = 0;
    for (; i < arguments.size() && options.error.empty(); ++i) {
        const std::string& token = arguments[i];
        if (token.compare(0, 2, "--") != 0) {
            break;
        }
        if (token == "--sim") {
            options.simulatedDrives.emplace_back();
        } else if (token.compare(0, 6, "--sim=") == 0) {
            if (token.size() == 6) {
                options.error = "Option --sim= expects a profile name or file: --sim=PROFILE";
            }
            options.simulatedDrives.push_back(token.substr(6));
        } else if (token == "--as-maker" || token.compare(0, 11, "--as-maker=") == 0) {
            parseAsMaker(token, options);
        } else if (token == "--vendor-commands") {
            options.vendorCommands = true;
        } else if (token == "--version") {
            options.version = true;
        } else if (!valueOf(token, "--sim-trace", options.simTraceFile, options.error) &&
                   !valueOf(token, "--log", options.pluginLogFile, options.error) &&
                   !valueOf(token, "--host-log", options.hostLogFile, options.error)) {
            options.error = "Unknown host option " + token + ".";
        }
    }
    if (options.error.empty()) {
        options.command.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
    }
    return options;
}

}  // namespace host::cli
