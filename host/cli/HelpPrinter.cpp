#include "host/cli/HelpPrinter.h"

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <iomanip>

#include "host/ExitStatus.h"
#include "host/cli/HostOptions.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace host::cli {

namespace labels = plugin::cli::labels;
using boost::algorithm::iequals;

namespace {

// Every command accepts -output: the host prints the result.
const PartSyntax hostOutputPart{"-output", "", false, "text|json|xml|csv", true,
                                "Change the output format of the result. One of \"text\", "
                                "\"json\", \"xml\", or \"csv\"."};

const std::string& flag(bool value) { return value ? labels::trueText : labels::falseText; }

bool contains(const std::vector<std::string>& words, const std::string& word) {
    return std::any_of(words.begin(), words.end(), [&](const std::string& w) { return iequals(w, word); });
}

std::string synopsisOf(const PartSyntax& part) {
    return part.required ? HelpPrinter::partUsage(part) : "[" + HelpPrinter::partUsage(part) + "]";
}

// Two columns: a usage that fills its column gets a line of its own, the description stays aligned.
void printRow(const std::string& usage, const std::string& description, std::ostream& out) {
    constexpr std::size_t usageWidth = 48;
    out << "  " << std::left << std::setw(static_cast<int>(usageWidth)) << usage;
    if (usage.size() >= usageWidth) {
        out << "\n" << std::string(usageWidth + 2, ' ');
    }
    out << description << "\n";
}

bool declares(const std::vector<PartSyntax>& parts, const std::string& name) {
    return std::any_of(parts.begin(), parts.end(), [&](const PartSyntax& p) { return p.matches(name); });
}

}  // namespace

const std::vector<HelpPrinter::HostCommand>& HelpPrinter::ownCommands() {
    static const std::vector<HostCommand> commands{
        {"help", "help [<verb>|<name>|Verb=<verb>|Name=<name>]", "Display help on the commands."},
        {"show", "show -ssd", "List the drives (index, serial number, model, path, protocol)."},
        {"decode", "decode FILE|PACKAGE [-output text|json|xml] [-family NAME]",
         "Decode one file of a debug-logs package, or every file of a package (ZIP or folder), checking each "
         "against the package's manifest; JSON output follows share/ssdtool/schema/decode-output.schema.json."},
        {"redact", "redact PACKAGE [-output FILE]",
         "Copy a package with host names, addresses and users in its text files replaced by placeholders."},
    };
    return commands;
}

std::string HelpPrinter::partUsage(const PartSyntax& part) {
    std::string usage = part.name;
    if (part.takesValue()) {
        usage += part.valueRequired ? " <" + part.valueName + ">" : " [<" + part.valueName + ">]";
    }
    return usage;
}

std::string HelpPrinter::partFlags(const PartSyntax& part) {
    std::string flags = labels::required + ": " + flag(part.required);
    // A part without a value name is a flag whatever its value-required bit says.
    if (part.takesValue()) {
        flags += "  " + labels::value + ": " + part.valueName + "  " + labels::valueRequired + ": " +
                 flag(part.valueRequired);
    }
    return flags;
}

std::string HelpPrinter::overviewSynopsis() {
    std::string text = "ssdtool ";
    for (const auto& option : HostOptions::described()) {
        text += "[" + option.usage + "]" + (option.repeatable ? "... " : " ");
    }
    return text + labels::synopsisTemplate;
}

std::vector<PartSyntax> HelpPrinter::optionsOf(const CommandSyntax& command) {
    std::vector<PartSyntax> options = command.options;
    if (!declares(options, hostOutputPart.name)) {
        options.push_back(hostOutputPart);
    }
    return options;
}

bool HelpPrinter::Filter::accepts(const CommandSyntax& command) const {
    return (verbs.empty() || contains(verbs, command.verb)) &&
           (names.empty() || contains(names, command.name)) &&
           (verbsOrNames.empty() || contains(verbsOrNames, command.verb) ||
            contains(verbsOrNames, command.name));
}

int HelpPrinter::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const {
    Filter filter;
    for (const auto& argument : arguments) {
        const auto equals = argument.find('=');
        const std::string key = argument.substr(0, equals);
        if (equals != std::string::npos && iequals(key, plugin::cli::parts::verb.name())) {
            filter.verbs.push_back(argument.substr(equals + 1));
        } else if (equals != std::string::npos && iequals(key, plugin::cli::parts::name.name())) {
            filter.names.push_back(argument.substr(equals + 1));
        } else if (equals == std::string::npos && !argument.empty() && argument[0] != '-') {
            filter.verbsOrNames.push_back(argument);
        } else if (arguments.size() == 1 && (iequals(argument, "-help") || iequals(argument, "-h"))) {
            printOverview(out);
            return ExitStatus::success;
        } else {
            err << "ssdtool: syntax error: help takes a verb, a command name, Verb=<verb> or "
                   "Name=<name>, not "
                << argument << "\n";
            return ExitStatus::usage;
        }
    }
    if (arguments.empty()) {
        printOverview(out);
        return ExitStatus::success;
    }
    std::vector<const CommandSyntax*> selected;
    for (const auto& command : commands_) {
        if (filter.accepts(command)) {
            selected.push_back(&command);
        }
    }
    const auto hostSelected = filter.hostCommands();
    if (selected.empty() && hostSelected.empty()) {
        out << labels::noCommands << "\n";
        return ExitStatus::usage;
    }
    printCommands(selected, out);
    for (std::size_t i = 0; i < hostSelected.size(); ++i) {
        out << (selected.empty() && i == 0 ? "" : "\n") << hostSelected[i];
    }
    return ExitStatus::success;
}

std::vector<std::string> HelpPrinter::Filter::hostCommands() const {
    std::vector<std::string> help;
    if (!names.empty()) {
        return help;
    }
    for (const auto& command : ownCommands()) {
        if ((verbs.empty() || contains(verbs, command.verb)) &&
            (verbsOrNames.empty() || contains(verbsOrNames, command.verb))) {
            help.push_back(labels::command + ": " + command.verb + "\n" + labels::description + ": " +
                           command.description + "\n" + labels::synopsis + ": ssdtool " + command.usage + "\n");
        }
    }
    return help;
}

void HelpPrinter::printOverview(std::ostream& out) const {
    out << labels::usage << ": " << overviewSynopsis() << "\n\n";
    if (commands_.empty()) {
        out << labels::noCommands << "\n";
    } else {
        std::size_t nameWidth = labels::command.size();
        std::size_t verbWidth = plugin::cli::parts::verb.name().size();
        for (const auto& command : commands_) {
            nameWidth = std::max(nameWidth, command.name.size());
            verbWidth = std::max(verbWidth, command.verb.size());
        }
        out << std::left << std::setw(static_cast<int>(nameWidth + 2)) << labels::command
            << std::setw(static_cast<int>(verbWidth + 2)) << plugin::cli::parts::verb.name()
            << labels::description << "\n";
        for (const auto& command : commands_) {
            out << std::setw(static_cast<int>(nameWidth + 2)) << command.name
                << std::setw(static_cast<int>(verbWidth + 2)) << command.verb << command.description
                << "\n";
        }
    }
    out << "\nHost commands:\n";
    for (const auto& command : ownCommands()) {
        printRow(command.usage, command.description, out);
    }
    out << "\nHost options (before the verb):\n";
    for (const auto& option : HostOptions::described()) {
        printRow(option.usage, option.description, out);
    }
    out << "\n" << labels::help << ": ssdtool help <verb>|<name>\n";
}

void HelpPrinter::printCommands(const std::vector<const CommandSyntax*>& commands, std::ostream& out) const {
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (i > 0) {
            out << "\n";
        }
        printCommand(*commands[i], out);
    }
}

void HelpPrinter::printCommand(const CommandSyntax& command, std::ostream& out) const {
    out << labels::command << ": " << command.name << "\n";
    out << labels::description << ": " << command.description << "\n";
    out << labels::synopsis << ": " << synopsis(command) << "\n";
    printParts(labels::options, optionsOf(command), out);
    printParts(labels::targets, command.targets, out);
    printParts(labels::properties, command.properties, out);
}

std::string HelpPrinter::synopsis(const CommandSyntax& command) {
    std::string text = "ssdtool " + command.verb;
    for (const auto* list : {&command.options, &command.targets}) {
        for (const auto& part : *list) {
            text += " " + synopsisOf(part);
        }
    }
    if (!declares(command.options, hostOutputPart.name)) {
        text += " " + synopsisOf(hostOutputPart);
    }
    for (const auto& part : command.properties) {
        const std::string assignment = part.name + "=<" + part.valueName + ">";
        text += " " + (part.required ? assignment : "[" + assignment + "]");
    }
    return text;
}

void HelpPrinter::printParts(const std::string& heading, const std::vector<PartSyntax>& parts,
                             std::ostream& out) const {
    out << heading << ":\n";
    if (parts.empty()) {
        out << "  (none)\n";
        return;
    }
    for (const auto& part : parts) {
        std::string usage = partUsage(part);
        if (!part.alias.empty()) {
            usage += ", " + part.alias;
        }
        out << "  " << usage << "\n";
        out << "      " << part.description << "\n";
        out << "      " << partFlags(part) << "\n";
        if (part.matches("-ssd") && part.takesValue()) {
            // The host's own selector, which no plug-in's text names.
            out << "      -ssd all: every drive in turn, one package each, then a table of the outcomes.\n";
        }
    }
}

}  // namespace host::cli
