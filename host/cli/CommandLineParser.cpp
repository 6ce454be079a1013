#include "host/cli/CommandLineParser.h"

#include <algorithm>
#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/predicate.hpp>
#include <set>

namespace host::cli {

namespace {

using boost::algorithm::iequals;

const char* const outputOption = "-output";

bool isHelpToken(const std::string& token) {
    return iequals(token, "-help") || iequals(token, "-h");
}

bool isProperty(const std::string& token) {
    const auto equals = token.find('=');
    return equals != std::string::npos && equals > 0 && token[0] != '-';
}

bool looksLikeOption(const std::string& token) { return token.size() > 1 && token[0] == '-'; }

bool namesAPart(const CommandSyntax& command, const std::string& token) {
    return command.findOptionOrTarget(token) != nullptr || iequals(token, outputOption) || isHelpToken(token);
}

bool given(const std::vector<plugin::cli::ParsedCommand::Argument>& list,
           const std::string& name) {
    return plugin::cli::ParsedCommand::find(list, name) != nullptr;
}

std::string quotedList(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) {
            text += ", ";
        }
        if (i + 1 == words.size() && words.size() > 1) {
            text += "or ";
        }
        text += "'" + words[i] + "'";
    }
    return text;
}

std::vector<const PartSyntax*> requiredOptions(const CommandSyntax& command) {
    std::vector<const PartSyntax*> required;
    for (const auto& part : command.options) {
        if (part.required) {
            required.push_back(&part);
        }
    }
    return required;
}

bool anyTokenNames(const PartSyntax& part, const std::vector<std::string>& tokens) {
    return std::any_of(tokens.begin(), tokens.end(),
                       [&part](const std::string& token) { return part.matches(token); });
}

}  // namespace

const std::vector<std::string>& CommandLineParser::outputFormats() {
    static const std::vector<std::string> formats{"text", "json", "xml", "csv"};
    return formats;
}

CommandLineParser::CommandLineParser(std::vector<CommandSyntax> commands)
    : commands_(std::move(commands)) {}

std::vector<const CommandSyntax*> CommandLineParser::commandsOfVerb(const std::string& verb) const {
    std::vector<const CommandSyntax*> found;
    for (const auto& command : commands_) {
        if (iequals(command.verb, verb)) {
            found.push_back(&command);
        }
    }
    return found;
}

CommandLineParser::Outcome CommandLineParser::parse(const std::vector<std::string>& arguments) const {
    Outcome outcome;
    if (arguments.empty()) {
        outcome.error = "No command given.";
        return outcome;
    }
    const std::vector<std::string> tokens(arguments.begin() + 1, arguments.end());
    const auto candidates = commandsOfVerb(arguments.front());
    if (candidates.empty()) {
        outcome.error = "Unknown command: " + arguments.front();
        return outcome;
    }
    outcome.command = choose(candidates, tokens, outcome.error);
    if (outcome.command == nullptr) {
        // "dump -help" names no single command: help on every command of the verb.
        if (std::any_of(tokens.begin(), tokens.end(), isHelpToken)) {
            outcome.error.clear();
            outcome.helpRequested = true;
        }
        return outcome;
    }
    outcome.parsed.verb = outcome.command->verb;
    outcome.parsed.commandName = outcome.command->name;
    parseTokens(*outcome.command, tokens, outcome);
    if (outcome.ok() && !outcome.helpRequested) {
        checkRequired(*outcome.command, outcome);
    }
    if (outcome.ok() && !outcome.helpRequested) {
        checkOutputFormat(outcome);
    }
    return outcome;
}

const CommandSyntax* CommandLineParser::choose(const std::vector<const CommandSyntax*>& candidates,
                                               const std::vector<std::string>& tokens,
                                               std::string& error) const {
    const CommandSyntax* best = nullptr;
    std::size_t bestCount = 0;
    for (const auto* command : candidates) {
        const auto required = requiredOptions(*command);
        const bool allGiven = std::all_of(required.begin(), required.end(), [&](const PartSyntax* part) {
            return anyTokenNames(*part, tokens);
        });
        // The command with the most required options given is the most specific match.
        if (allGiven && (best == nullptr || required.size() > bestCount)) {
            best = command;
            bestCount = required.size();
        }
    }
    if (best != nullptr) {
        return best;
    }
    if (candidates.size() == 1) {
        for (const auto* part : requiredOptions(*candidates.front())) {
            if (!anyTokenNames(*part, tokens)) {
                error = "Missing required option " + part->name + " for command " +
                        candidates.front()->name + ".";
                break;
            }
        }
        return nullptr;
    }
    std::vector<std::string> choices;
    for (const auto* command : candidates) {
        std::string names;
        for (const auto* part : requiredOptions(*command)) {
            names += (names.empty() ? "" : " ") + part->name;
        }
        choices.push_back(names.empty() ? command->name : names);
    }
    error = "No " + candidates.front()->verb + " command matches; give one of " + quotedList(choices) + ".";
    return nullptr;
}

void CommandLineParser::parseTokens(const CommandSyntax& command, const std::vector<std::string>& tokens,
                                    Outcome& outcome) const {
    // Each part at most once: the host and the feature would otherwise each pick one of the
    // values ("-ssd 0 -ssd 1"), and not necessarily the same one.
    std::set<std::string> seen;
    const auto once = [&](const std::string& name) {
        if (!seen.insert(boost::algorithm::to_lower_copy(name)).second) {
            outcome.error = name + " is given more than once.";
        }
        return outcome.ok();
    };
    for (std::size_t i = 0; i < tokens.size() && outcome.ok(); ++i) {
        const std::string& token = tokens[i];
        const bool hasNext = i + 1 < tokens.size();
        // "-ssd -type list": the value was left out, -type is not the drive's name.
        const bool valueFollows = hasNext && !namesAPart(command, tokens[i + 1]);
        bool isTarget = false;
        if (const auto* part = command.findOptionOrTarget(token, &isTarget)) {
            if (!once(part->name)) {
                return;
            }
            std::string value;
            if (part->takesValue() && part->valueRequired) {
                if (!valueFollows) {
                    outcome.error = "Option " + part->name + " expects a value (" + part->valueName + ").";
                    return;
                }
                value = tokens[++i];
            } else if (part->takesValue() && hasNext && !looksLikeOption(tokens[i + 1]) &&
                       !isProperty(tokens[i + 1])) {
                value = tokens[++i];
            }
            outcome.helpRequested = outcome.helpRequested || isHelpToken(part->name);
            if (iequals(part->name, outputOption)) {
                outcome.outputFormat = value;
            }
            (isTarget ? outcome.parsed.targets : outcome.parsed.options).push_back({part->name, value});
        } else if (iequals(token, outputOption)) {
            // The host prints every result, so every command accepts -output; it stays the
            // host's own unless the command declares it.
            if (!once(outputOption)) {
                return;
            }
            if (!valueFollows) {
                outcome.error = "Option -output expects a value (text|json|xml|csv).";
                return;
            }
            outcome.outputFormat = tokens[++i];
        } else if (isHelpToken(token)) {
            outcome.helpRequested = true;
        } else if (isProperty(token)) {
            const auto equals = token.find('=');
            const auto* property = command.findProperty(token.substr(0, equals));
            if (!once(property ? property->name : token.substr(0, equals))) {
                return;
            }
            // An undeclared property goes on to the feature, which names it in its own message.
            outcome.parsed.properties.push_back(
                {property ? property->name : token.substr(0, equals), token.substr(equals + 1)});
        } else if (looksLikeOption(token)) {
            outcome.error = "Unknown option " + token + " for command " + command.name + ".";
        } else {
            outcome.error = "Unexpected argument: " + token;
        }
    }
}

void CommandLineParser::checkRequired(const CommandSyntax& command, Outcome& outcome) const {
    const auto& parsed = outcome.parsed;
    for (const auto& part : command.options) {
        if (part.required && !given(parsed.options, part.name)) {
            outcome.error = "Missing required option " + part.name + " for command " + command.name + ".";
            return;
        }
    }
    for (const auto& part : command.targets) {
        if (part.required && !given(parsed.targets, part.name)) {
            outcome.error = "Missing required target " + part.name +
                            (part.takesValue() ? " <" + part.valueName + ">" : std::string()) +
                            " for command " + command.name + ".";
            return;
        }
    }
    for (const auto& part : command.properties) {
        if (part.required && !given(parsed.properties, part.name)) {
            outcome.error = "Missing required property " + part.name + "=<" + part.valueName +
                            "> for command " + command.name + ".";
            return;
        }
    }
}

void CommandLineParser::checkOutputFormat(Outcome& outcome) const {
    const auto& formats = outputFormats();
    const std::string format = boost::algorithm::to_lower_copy(outcome.outputFormat);
    if (std::find(formats.begin(), formats.end(), format) == formats.end()) {
        outcome.error = "Option -output expects " + quotedList(formats) + ".";
        return;
    }
    outcome.outputFormat = format;
}

}  // namespace host::cli
