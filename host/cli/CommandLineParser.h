#pragma once
// Matches a user's command line (the verb and what follows it) against the registered
// commands and builds the parsed command that the plug-in's feature reads.
//
// A command is chosen by its verb and by its required options being present: "dump
// -debuglogs -ssd 0" picks the dump command whose required option is -debuglogs. Names are
// compared without regard to letter case and the parsed command carries each part's own
// spelling, because the feature looks its arguments up by exact name.
#include <string>
#include <vector>

#include "host/cli/CommandSyntax.h"
#include "plugins/plugin.cliframework/ParsedCommand.h"

namespace host::cli {

class CommandLineParser {
public:
    // The formats the host can print a result in, in the order help lists them.
    static const std::vector<std::string>& outputFormats();

    struct Outcome {
        // Empty when the command line is sound.
        std::string error;
        const CommandSyntax* command = nullptr;
        plugin::cli::ParsedCommand parsed;
        // "-help" (or its alias) was given: show the command's help instead of running it.
        bool helpRequested = false;
        // The result format in lower case; "text" unless -output chose another.
        std::string outputFormat = "text";

        bool ok() const { return error.empty(); }
    };

    explicit CommandLineParser(std::vector<CommandSyntax> commands);

    // arguments[0] is the verb.
    Outcome parse(const std::vector<std::string>& arguments) const;

    const std::vector<CommandSyntax>& commands() const { return commands_; }
    // Every command of the verb, in registration order.
    std::vector<const CommandSyntax*> commandsOfVerb(const std::string& verb) const;

private:
    const CommandSyntax* choose(const std::vector<const CommandSyntax*>& candidates,
                                const std::vector<std::string>& tokens, std::string& error) const;
    void parseTokens(const CommandSyntax& command, const std::vector<std::string>& tokens,
                     Outcome& outcome) const;
    void checkRequired(const CommandSyntax& command, Outcome& outcome) const;
    void checkOutputFormat(Outcome& outcome) const;

    std::vector<CommandSyntax> commands_;
};

}  // namespace host::cli
