#include "host/docs/ManPage.h"

#include "host/ExitStatus.h"
#include "host/cli/HelpPrinter.h"
#include "host/cli/HostOptions.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace host::docs {

namespace labels = plugin::cli::labels;
using cli::HelpPrinter;

namespace {

std::string bold(const std::string& text) { return "\\fB" + ManPage::escape(text) + "\\fR"; }

// A macro's argument in double quotes, which roff then reads as one argument.
std::string quoted(const std::string& text) {
    std::string argument;
    for (const char c : ManPage::escape(text)) {
        argument += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return "\"" + argument + "\"";
}

// A synopsis line, its program name and verb in bold: "ssdtool dump [-help] ...".
void synopsisLine(const std::string& synopsis, const std::string& verb, std::ostream& out) {
    const std::string head = "ssdtool " + verb;
    const bool headed = synopsis.compare(0, head.size(), head) == 0;
    out << ".PP\n" << bold(headed ? head : "ssdtool") << ManPage::escape(synopsis.substr(headed ? head.size() : 7))
        << "\n";
}

void tagged(const std::string& tag, const std::vector<std::string>& body, std::ostream& out) {
    out << ".TP\n" << tag << "\n";
    for (std::size_t i = 0; i < body.size(); ++i) {
        out << (i > 0 ? ".br\n" : "") << ManPage::escape(body[i]) << "\n";
    }
}

void parts(const std::string& heading, const std::vector<cli::PartSyntax>& list, bool assignments,
           std::ostream& out) {
    if (list.empty()) {
        return;
    }
    out << ".PP\n" << ManPage::escape(heading + ":") << "\n";
    for (const auto& part : list) {
        std::string usage = assignments ? part.name + "=<" + part.valueName + ">" : HelpPrinter::partUsage(part);
        if (!part.alias.empty()) {
            usage += ", " + part.alias;
        }
        tagged(bold(usage), {part.description, HelpPrinter::partFlags(part)}, out);
    }
}

void header(const ToolReference& tool, std::ostream& out) {
    out << ".\\\" Generated from ssdtool's help texts when ssdtool is built; changes belong there.\n"
        << ".TH SSDTOOL 1 \"\" " << quoted("ssdtool " + tool.version) << " \"User Commands\"\n"
        << ".SH NAME\nssdtool \\- collect an SSD's diagnostic data into one package\n"
        // Names and options are never broken at a hyphen or stretched apart.
        << ".nh\n.ad l\n";
}

void synopsis(const ToolReference& tool, std::ostream& out) {
    out << ".SH SYNOPSIS\n";
    synopsisLine(HelpPrinter::overviewSynopsis(), "", out);
    for (const auto& command : tool.commands) {
        synopsisLine(HelpPrinter::synopsis(command), command.verb, out);
    }
    for (const auto& command : HelpPrinter::ownCommands()) {
        synopsisLine("ssdtool " + command.usage, command.verb, out);
    }
}

void description(std::ostream& out) {
    out << ".SH DESCRIPTION\n"
        << ManPage::escape("ssdtool collects an SSD's diagnostic data (NVMe log pages, telemetry, Identify "
                           "structures, SATA SMART sectors) into one ZIP package per drive, through the commands "
                           "its plug-ins register. It also lists the drives and decodes the files of a package.")
        << "\n.PP\n"
        << ManPage::escape("The host's options come first, then the verb. A command is chosen by its verb and "
                           "its required options; -ssd selects the drive by index, serial number or path, as "
                           "\"ssdtool show -ssd\" lists them. \"ssdtool help <verb>\" prints a command's help.")
        << "\n";
}

void commands(const ToolReference& tool, std::ostream& out) {
    out << ".SH COMMANDS\n";
    for (const auto& command : tool.commands) {
        out << ".SS " << quoted(command.name + " (" + command.verb + ")") << "\n"
            << ManPage::escape(command.description) << "\n";
        synopsisLine(HelpPrinter::synopsis(command), command.verb, out);
        parts(labels::options, HelpPrinter::optionsOf(command), false, out);
        parts(labels::targets, command.targets, false, out);
        parts(labels::properties, command.properties, true, out);
    }
    for (const auto& command : HelpPrinter::ownCommands()) {
        out << ".SS " << quoted(command.verb) << "\n" << ManPage::escape(command.description) << "\n";
        synopsisLine("ssdtool " + command.usage, command.verb, out);
    }
}

void options(std::ostream& out) {
    out << ".SH OPTIONS\n" << ManPage::escape("The host's own options, before the verb:") << "\n";
    for (const auto& option : cli::HostOptions::described()) {
        tagged(bold(option.usage) + (option.repeatable ? " ..." : ""), {option.description}, out);
    }
}

void exitStatus(std::ostream& out) {
    const std::vector<std::pair<std::string, std::string>> statuses{
        {std::to_string(ExitStatus::success), "Success."},
        {std::to_string(ExitStatus::failed),
         "The command ran and failed (for a decode of a package: a file in it is damaged)."},
        {std::to_string(ExitStatus::usage),
         "A command-line or usage error, or a drive or package that cannot be opened at all."},
        {std::to_string(ExitStatus::pluginError), "An error left the plug-in; it is reported as one line."},
        {std::to_string(ExitStatus::interruptedBase) + "+N",
         "Stopped by signal N (" + std::to_string(ExitStatus::interruptedBase + 2) +
             " for Ctrl-C): the drive is put back as it was and the collected files stay unpacked in their folder."},
    };
    out << ".SH \"EXIT STATUS\"\n";
    for (const auto& [status, meaning] : statuses) {
        tagged(bold(status), {meaning}, out);
    }
}

void files(const ToolReference& tool, std::ostream& out) {
    out << ".SH FILES\n";
    for (const auto& plugin : tool.pluginFiles) {
        tagged(bold(tool.libraryFolder + "/" + plugin),
               {"The plug-in, found from ssdtool's own location: beside it in a build folder, else in "
                "lib/ssdtool/ of the prefix it is installed in (/usr/lib/ssdtool/ for the Debian package)."},
               out);
    }
    std::string names;
    for (const auto& profile : tool.profiles) {
        names += (names.empty() ? "" : ", ") + profile;
    }
    tagged(bold(tool.libraryFolder + "/profiles/"), {"The built-in simulated drives for --sim=NAME: " + names + "."},
           out);
    tagged(bold("<serial>_<time>/, <serial>_<time>.zip"),
           {"The folder a debug-logs run collects into and the package made of it, in the current folder or "
            "the one -destination names; a name taken already gets _2, _3 and so on."},
           out);
}

void examples(std::ostream& out) {
    const std::vector<std::pair<std::string, std::string>> examples{
        {"List the drives:", "ssdtool show -ssd"},
        {"Collect a package of drive 0 in the current folder:", "ssdtool dump -debuglogs -ssd 0"},
        {"Only the telemetry, into another folder:",
         "ssdtool dump -debuglogs -ssd 0 -type Telemetry -destination /var/tmp"},
        {"The log types a run can select:", "ssdtool dump -debuglogs -ssd 0 -type list"},
        {"One package per drive, every drive in turn:", "ssdtool dump -debuglogs -ssd all"},
        {"Try it on the built-in simulated drive:", "ssdtool --sim dump -debuglogs -ssd 0"},
        {"Read every file of a package back:", "ssdtool decode SERIAL_TIME.zip"},
    };
    out << ".SH EXAMPLES\n";
    for (const auto& [what, command] : examples) {
        out << ".PP\n" << ManPage::escape(what) << "\n.PP\n.RS\n.nf\n" << ManPage::escape(command) << "\n.fi\n.RE\n";
    }
}

}  // namespace

std::string ManPage::escape(const std::string& text) {
    std::string escaped;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            escaped += "\\&";
        }
        escaped += c == '\\' ? std::string("\\e") : c == '-' ? std::string("\\-") : std::string(1, c);
        lineStart = c == '\n';
    }
    return escaped;
}

void ManPage::write(const ToolReference& tool, std::ostream& out) {
    header(tool, out);
    synopsis(tool, out);
    description(out);
    commands(tool, out);
    options(out);
    exitStatus(out);
    files(tool, out);
    examples(out);
    out << ".SH \"SEE ALSO\"\n.BR nvme (1),\n.BR smartctl (8)\n";
}

}  // namespace host::docs
