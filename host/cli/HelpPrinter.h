#pragma once
// Help built from the registered commands, in the labels of the shared vocabulary: the list
// of commands, and per command its synopsis, options, targets and properties.
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/CommandSyntax.h"

namespace host::cli {

class HelpPrinter {
public:
    // A command that ssdtool runs itself, without a plug-in.
    struct HostCommand {
        std::string verb;
        std::string usage;
        std::string description;
    };

    explicit HelpPrinter(const std::vector<CommandSyntax>& commands) : commands_(commands) {}

    // "help" and what follows it: nothing or -help (the list of commands), verbs or command
    // names, Verb=<verb>, Name=<name>; ssdtool's own verbs select their own help. Returns the
    // exit status: 2 when the arguments are not understood or select no command.
    int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const;

    void printOverview(std::ostream& out) const;
    void printCommand(const CommandSyntax& command, std::ostream& out) const;
    // Full help of each command, one after another.
    void printCommands(const std::vector<const CommandSyntax*>& commands, std::ostream& out) const;

    // "ssdtool dump -debuglogs [-destination <path>] ..." (required parts bare, optional
    // ones in brackets).
    static std::string synopsis(const CommandSyntax& command);
    // "ssdtool [--sim[=PROFILE]]... ... <verb>[<options>][<targets>][<properties>]": the host's
    // options, then any command.
    static std::string overviewSynopsis();
    // The command's options as help lists them: -output added when the command lacks it.
    static std::vector<PartSyntax> optionsOf(const CommandSyntax& command);
    // "-type <all|list|LOGNAME>": the part and its value.
    static std::string partUsage(const PartSyntax& part);
    // "Required: False  Value: path  Value required: True".
    static std::string partFlags(const PartSyntax& part);
    // help, show, decode and redact.
    static const std::vector<HostCommand>& ownCommands();

private:
    struct Filter {
        std::vector<std::string> verbs;
        std::vector<std::string> names;
        std::vector<std::string> verbsOrNames;
        bool accepts(const CommandSyntax& command) const;
        // The help of each of ssdtool's own commands (help, show, decode) the filter selects.
        std::vector<std::string> hostCommands() const;
    };

    void printParts(const std::string& heading, const std::vector<PartSyntax>& parts,
                    std::ostream& out) const;

    const std::vector<CommandSyntax>& commands_;
};

}  // namespace host::cli
