#include "host/docs/BashCompletion.h"

#include <algorithm>
#include <boost/algorithm/string.hpp>
#include <cctype>
#include <utility>

#include "host/cli/HelpPrinter.h"
#include "host/cli/HostOptions.h"

namespace host::docs {

using cli::HelpPrinter;

namespace {

// The case arms of _ssdtool_words: "verb/part" (lower case) and what follows it, or no list
// for a value that is a file name or the user's own word.
struct Arm {
    std::string key;
    std::vector<std::string> words;
    bool fileValue = false;
};

std::string lower(const std::string& text) { return boost::algorithm::to_lower_copy(text); }

void addUnique(std::vector<std::string>& words, const std::string& word) {
    if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end()) {
        words.push_back(word);
    }
}

// "all|list|LOGNAME": of a list of alternatives, those typed as they are (lower case or
// digits); the others ("LOGNAME", "Index"), and a lone value text ("path"), only name what the
// user fills in.
std::vector<std::string> literalValues(const std::string& valueText) {
    std::vector<std::string> alternatives;
    std::vector<std::string> values;
    boost::algorithm::split(alternatives, valueText, boost::algorithm::is_any_of("|"));
    if (alternatives.size() < 2) {
        return values;
    }
    for (const auto& value : alternatives) {
        if (!value.empty() && (std::islower(static_cast<unsigned char>(value[0])) != 0 ||
                               std::isdigit(static_cast<unsigned char>(value[0])) != 0)) {
            values.push_back(value);
        }
    }
    return values;
}

Arm& armFor(std::vector<Arm>& arms, const std::string& key) {
    const auto found = std::find_if(arms.begin(), arms.end(), [&](const Arm& arm) { return arm.key == key; });
    return found != arms.end() ? *found : arms.emplace_back(Arm{key, {}});
}

void addValues(std::vector<Arm>& arms, const std::string& verb, const std::string& part,
               std::vector<std::string> values) {
    Arm& arm = armFor(arms, lower(verb) + "/" + lower(part));
    for (const auto& value : values) {
        addUnique(arm.words, value);
    }
    arm.fileValue = arm.words.empty();
}

void addPluginCommand(const ToolReference& tool, const cli::CommandSyntax& command, std::vector<Arm>& arms) {
    auto parts = HelpPrinter::optionsOf(command);
    parts.insert(parts.end(), command.targets.begin(), command.targets.end());
    Arm& verbArm = armFor(arms, lower(command.verb) + "/");
    for (const auto& part : parts) {
        addUnique(verbArm.words, part.name);
        addUnique(verbArm.words, part.alias);
    }
    for (const auto& part : command.properties) {
        addUnique(verbArm.words, part.name + "=");
    }
    for (const auto& part : parts) {
        if (!part.takesValue()) {
            continue;
        }
        auto values = literalValues(part.valueName);
        // The -type text names the log types only as a placeholder.
        if (lower(part.name) == "-type") {
            values.insert(values.end(), tool.logTypes.begin(), tool.logTypes.end());
        }
        for (const auto& name : {part.name, part.alias}) {
            if (!name.empty()) {
                addValues(arms, command.verb, name, values);
            }
        }
    }
}

// A host command's parts from its usage: "decode FILE|PACKAGE [-output text|json|xml] [-family NAME]".
void addHostCommand(const HelpPrinter::HostCommand& command, std::vector<Arm>& arms) {
    std::vector<std::string> tokens;
    const std::string usage = boost::algorithm::replace_all_copy(
        boost::algorithm::replace_all_copy(command.usage, "[", " "), "]", " ");
    boost::algorithm::split(tokens, usage, boost::algorithm::is_space(), boost::algorithm::token_compress_on);
    Arm& verbArm = armFor(arms, lower(command.verb) + "/");
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].empty() || tokens[i][0] != '-') {
            continue;
        }
        addUnique(verbArm.words, tokens[i]);
        const bool takesValue = i + 1 < tokens.size() && !tokens[i + 1].empty() && tokens[i + 1][0] != '-';
        if (takesValue) {
            addValues(arms, command.verb, tokens[i], literalValues(tokens[i + 1]));
        }
    }
}

std::string quoted(const std::vector<std::string>& words) {
    std::string text = boost::algorithm::join(words, " ");
    boost::algorithm::replace_all(text, "'", "'\\''");
    return "'" + text + "'";
}

std::vector<Arm> arms(const ToolReference& tool) {
    std::vector<Arm> arms{{"/", {}}, {"--/", {}}, {"--sim=/", tool.profiles}};
    std::vector<std::string> names;
    for (const auto& command : tool.commands) {
        addUnique(arms[0].words, command.verb);
        addUnique(names, command.name);
        addPluginCommand(tool, command, arms);
    }
    for (const auto& command : HelpPrinter::ownCommands()) {
        addUnique(arms[0].words, command.verb);
        addHostCommand(command, arms);
    }
    // help takes a verb or a command's name.
    Arm& help = armFor(arms, "help/");
    help.words = arms[0].words;
    help.words.insert(help.words.end(), names.begin(), names.end());
    for (const auto& option : cli::HostOptions::described()) {
        const bool valueOptional = option.usage.find("[=") != std::string::npos;
        const bool value = option.usage.find('=') != std::string::npos;
        if (!value || valueOptional) {
            addUnique(arms[1].words, option.name());
        }
        if (value) {
            addUnique(arms[1].words, option.name() + "=");
        }
    }
    return arms;
}

// The verbs whose first argument is a file ("decode FILE|PACKAGE").
std::vector<std::string> fileVerbs() {
    std::vector<std::string> verbs;
    for (const auto& command : HelpPrinter::ownCommands()) {
        const std::string argument = command.usage.substr(command.verb.size() + 1);
        if (!argument.empty() && std::isupper(static_cast<unsigned char>(argument[0])) != 0) {
            verbs.push_back(lower(command.verb));
        }
    }
    return verbs;
}

const char* const completionFunction = R"bash(
# Readline splits "--sim=k" at "="; the word is put back together, and completions replace
# only what follows the "=" when it was split.
_ssdtool() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} verb="" words i
    local joined=$cur split=""
    if [[ $cur == "=" ]]; then
        joined="$prev=" cur="" split=1
    elif [[ $prev == "=" && COMP_CWORD -ge 2 ]]; then
        joined="${COMP_WORDS[COMP_CWORD-2]}=$cur" split=1
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    COMPREPLY=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            =) ((i++)) ;;
            *) verb=${COMP_WORDS[i],,}; break ;;
        esac
    done
    if [[ -z $verb ]]; then
        case $joined in
            --sim=*)
                COMPREPLY=($(compgen -W "$(_ssdtool_words --sim= '')" -- "${joined#*=}")
                           $(compgen -f -- "${joined#*=}")) ;;
            --*=*) COMPREPLY=($(compgen -f -- "${joined#*=}")) ;;
            -*) COMPREPLY=($(compgen -W "$(_ssdtool_words -- '')" -- "$cur")) ;;
            *) COMPREPLY=($(compgen -W "$(_ssdtool_words '' '')" -- "$cur")) ;;
        esac
        if [[ $joined == *=* && -z $split ]]; then
            COMPREPLY=("${COMPREPLY[@]/#/${joined%%=*}=}")
        fi
    elif [[ $prev == -* && $prev != -*=* ]] && ! words=$(_ssdtool_words "$verb" "${prev,,}"); then
        COMPREPLY=($(compgen -f -- "$cur"))
    elif [[ $prev == -* && -n $words ]]; then
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    elif [[ $cur != -* && " $_ssdtool_file_verbs " == *" $verb "* ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
    else
        COMPREPLY=($(compgen -W "$(_ssdtool_words "$verb" '')" -- "$cur"))
    fi
    if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]]; then
        compopt -o nospace 2>/dev/null
    fi
    return 0
}
complete -F _ssdtool ssdtool
)bash";

}  // namespace

void BashCompletion::write(const ToolReference& tool, std::ostream& out) {
    out << "# bash completion for ssdtool " << tool.version
        << ", generated from its help texts when ssdtool is built.\n\n"
        << "_ssdtool_file_verbs=" << quoted(fileVerbs()) << "\n\n"
        << "# $1: a verb (\"\" for the verbs, -- for the host options, --sim= for the built-in profiles);\n"
        << "# $2: one of its parts, for that part's values. Fails for a value that is a file name.\n"
        << "_ssdtool_words() {\n    case \"$1/$2\" in\n";
    for (const auto& arm : arms(tool)) {
        out << "        " << quoted({arm.key}) << ") "
            << (arm.fileValue ? "return 1" : "echo " + quoted(arm.words)) << " ;;\n";
    }
    out << "    esac\n}\n" << completionFunction;
}

}  // namespace host::docs
