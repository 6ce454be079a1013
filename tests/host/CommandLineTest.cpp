// The host's command-line syntax: how a command line chooses a registered command and hands
// on its parts, and how help lays the commands out. The commands are declared as a plug-in
// declares them.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <vector>

#include "host/cli/CommandLineParser.h"
#include "host/cli/CommandSyntax.h"
#include "host/cli/HelpPrinter.h"
#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/OptionCommandSpecPart.h"
#include "plugins/plugin.cliframework/PropertyCommandSpecPart.h"
#include "plugins/plugin.cliframework/TargetCommandSpecPart.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace {

namespace cli = plugin::cli;
using host::cli::CommandLineParser;
using host::cli::HelpPrinter;

// The debug-logs command exactly as the plug-in declares it.
cli::CommandSpec debugLogsSpec() {
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
cli::CommandSpec firmwareSpec() {
    cli::CommandSpec spec(1, "DumpFirmware", cli::verbs::dump, "Dumps a firmware slot.");
    spec.addOption(cli::OptionCommandSpecPart("-firmware", true, "", false, "Dump firmware."));
    spec.addOption(cli::parts::output);
    spec.addTarget(cli::parts::ssdRequiredWithValue);
    spec.addProperty(cli::PropertyCommandSpecPart("Slot", true, "1-7", "Firmware slot."));
    spec.addProperty(cli::PropertyCommandSpecPart("Mode", false, "fast|full", "Read mode."));
    return spec;
}

// A command whose -ssd value may be left out.
cli::CommandSpec smartSpec() {
    cli::CommandSpec spec(2, "ShowSmart", cli::verbs::show, "Shows SMART values.");
    spec.addOption(cli::OptionCommandSpecPart("-smart", true, "", false, "SMART values."));
    spec.addTarget(cli::parts::ssdOptional);
    return spec;
}

std::vector<host::cli::CommandSyntax> commands() {
    return {host::cli::CommandSyntax::fromSpec(debugLogsSpec(), 0),
            host::cli::CommandSyntax::fromSpec(firmwareSpec(), 1),
            host::cli::CommandSyntax::fromSpec(smartSpec(), 2)};
}

using Args = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

template <typename Part>
Pairs namesAndValues(const std::vector<Part>& parts) {
    Pairs pairs;
    for (const auto& part : parts) {
        pairs.emplace_back(part.name, part.value);
    }
    return pairs;
}

class CommandLineParserTest : public ::testing::Test {
protected:
    CommandLineParser::Outcome parse(const Args& arguments) const { return parser.parse(arguments); }
    CommandLineParser parser{commands()};
};

// The command is the verb's whose required options are given; its parts match in any case, are
// handed on in the command's spelling and take the values they name.
TEST_F(CommandLineParserTest, ChoosesTheCommandAndHandsOnItsPartsInItsSpellingWithTheirValues) {
    struct Case {
        Args arguments;
        std::string command;
        Pairs options;
        Pairs targets;
        Pairs properties = {};
        std::string outputFormat = "text";
    };
    const std::vector<Case> cases{
        {{"DUMP", "-DebugLogs", "-SSD", "SN/1", "-Type", "System", "-V"},
         "DebugLogs",
         {{"-debuglogs", ""}, {"-v", ""}},
         {{"-ssd", "SN/1"}, {"-type", "System"}}},
        {{"dump", "-ssd", "1", "-firmware", "Slot=2"}, "DumpFirmware", {{"-firmware", ""}}, {{"-ssd", "1"}},
         {{"Slot", "2"}}},
        // A flag never takes the next token as its value.
        {{"dump", "-debuglogs", "-destination", "my logs; \"quoted\"", "-vv", "-ssd", "0", "-extended"},
         "DebugLogs",
         {{"-debuglogs", ""}, {"-destination", "my logs; \"quoted\""}, {"-vv", ""}, {"-extended", ""}},
         {{"-ssd", "0"}}},
        // A required value is taken even when it looks like an option.
        {{"dump", "-debuglogs", "-ssd", "0", "-destination", "-odd-folder"},
         "DebugLogs",
         {{"-debuglogs", ""}, {"-destination", "-odd-folder"}},
         {{"-ssd", "0"}}},
        // An optional value is taken only when one follows.
        {{"show", "-ssd", "-smart"}, "ShowSmart", {{"-smart", ""}}, {{"-ssd", ""}}},
        {{"show", "-smart", "-ssd", "3"}, "ShowSmart", {{"-smart", ""}}, {{"-ssd", "3"}}},
        // Properties take their declared name; "Other" is left for the feature to judge.
        {{"dump", "-firmware", "-ssd", "0", "slot=7", "MODE=a=b", "Other=1"}, "DumpFirmware", {{"-firmware", ""}},
         {{"-ssd", "0"}}, {{"Slot", "7"}, {"Mode", "a=b"}, {"Other", "1"}}},
        // -output is the host's unless the command declares it: then the feature sees it too.
        {{"dump", "-debuglogs", "-ssd", "0", "-OUTPUT", "JSON"}, "DebugLogs", {{"-debuglogs", ""}}, {{"-ssd", "0"}},
         {}, "json"},
        {{"dump", "-firmware", "-ssd", "0", "Slot=1", "-output", "json"}, "DumpFirmware",
         {{"-firmware", ""}, {"-output", "json"}}, {{"-ssd", "0"}}, {{"Slot", "1"}}, "json"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const auto outcome = parse(c.arguments);
        ASSERT_TRUE(outcome.ok()) << outcome.error;
        // The host runs the command found at the registry index.
        EXPECT_EQ(c.command, commands().at(outcome.command->registryIndex).name);
        EXPECT_EQ(c.command, outcome.parsed.commandName);
        EXPECT_EQ(c.command == "ShowSmart" ? "show" : "dump", outcome.parsed.verb);
        EXPECT_EQ(c.options, namesAndValues(outcome.parsed.options));
        EXPECT_EQ(c.targets, namesAndValues(outcome.parsed.targets));
        EXPECT_EQ(c.properties, namesAndValues(outcome.parsed.properties));
        EXPECT_EQ(c.outputFormat, outcome.outputFormat);
    }
}

TEST_F(CommandLineParserTest, BadCommandLinesAreRejectedWithAMessageThatNamesTheProblem) {
    struct Case {
        Args arguments;
        std::string expected;
    };
    const std::vector<Case> cases{
        // No command whose required options are given: the candidates are named (an unknown verb
        // is shown end to end).
        {{"dump", "-ssd", "0"}, "-debuglogs"},
        {{"show", "-ssd"}, "-smart"},
        // Missing targets and unknown options are shown end to end.
        {{"dump", "-debuglogs", "-ssd", "0", "stray"}, "Unexpected argument: stray"},
        {{"dump", "-firmware", "-ssd", "0"}, "Missing required property Slot"},
        // A value left out is not taken from the next part's name.
        {{"dump", "-debuglogs", "-ssd", "-type", "list"}, "Option -ssd expects a value"},
        {{"dump", "-debuglogs", "-ssd", "0", "-destination", "-V"}, "Option -destination expects a value"},
        {{"dump", "-debuglogs", "-ssd", "0", "-type", "-output", "json"}, "Option -type expects a value"},
        {{"dump", "-debuglogs", "-ssd", "0", "-output", "-h"}, "Option -output expects a value"},
        {{"dump", "-debuglogs", "-ssd", "0", "-output", "yaml"},
         "Option -output expects 'text', 'json', 'xml', or 'csv'."},
        // Given twice, the host and the feature could each take another one of the values.
        {{"dump", "-debuglogs", "-ssd", "0", "-SSD", "1"}, "-ssd is given more than once."},
        {{"dump", "-debuglogs", "-ssd", "0", "-type", "list", "-type", "System"}, "-type is given more than once."},
        {{"dump", "-debuglogs", "-ssd", "0", "-output", "json", "-output", "xml"}, "-output is given more than once."},
        {{"dump", "-firmware", "-ssd", "0", "Slot=1", "slot=2"}, "Slot is given more than once."},
    };
    for (const auto& c : cases) {
        const auto outcome = parse(c.arguments);
        EXPECT_FALSE(outcome.ok()) << c.expected;
        EXPECT_NE(std::string::npos, outcome.error.find(c.expected)) << outcome.error;
    }
}

TEST_F(CommandLineParserTest, HelpSkipsTheRequiredPartsAndWorksWithoutACommand) {
    const auto full = parse({"dump", "-debuglogs", "-h"});
    ASSERT_TRUE(full.ok()) << full.error;
    EXPECT_TRUE(full.helpRequested);
    ASSERT_NE(nullptr, full.command);
    EXPECT_EQ("DebugLogs", full.command->name);
    EXPECT_EQ("-help", full.parsed.options.back().name);

    const auto verbOnly = parse({"dump", "-help"});
    EXPECT_TRUE(verbOnly.ok() && verbOnly.helpRequested) << verbOnly.error;
    EXPECT_EQ(nullptr, verbOnly.command);

    EXPECT_FALSE(parse({"dump", "-debuglogs", "-ssd", "0"}).helpRequested);
}

class HelpPrinterTest : public ::testing::Test {
protected:
    int help(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return printer.run(arguments, out, err);
    }
    bool shows(const std::string& text) const { return out.str().find(text) != std::string::npos; }

    const std::vector<host::cli::CommandSyntax> syntax = commands();
    HelpPrinter printer{syntax};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(HelpPrinterTest, WithoutArgumentsListsEveryCommandWithItsVerbAndDescription) {
    ASSERT_EQ(0, help({}));
    const std::string text = out.str();
    EXPECT_EQ(0u, text.find("Usage: ssdtool [--sim[=PROFILE]]... [--sim-trace=FILE] [--log=FILE] "
                            "[--host-log=FILE] [--as-maker[=FAMILY]] [--vendor-commands] [--version] "
                            "<verb>[<options>][<targets>][<properties>]\n"));
    EXPECT_NE(std::string::npos, text.find("Command       Verb  Description\n"));
    EXPECT_NE(std::string::npos, text.find("DebugLogs     dump  Collects debug logs and creates ZIP package.\n"));
    EXPECT_NE(std::string::npos, text.find("ShowSmart     show  Shows SMART values.\n"));
    EXPECT_TRUE(shows("show -ssd"));
    // A host command's usage too long for its column is never run into its description.
    const auto decodeLine = text.find("  decode FILE|PACKAGE");
    ASSERT_NE(std::string::npos, decodeLine);
    EXPECT_EQ(text.find("\n" + std::string(50, ' ') + "Decode one file", decodeLine), text.find('\n', decodeLine))
        << text;
    // The host's options follow, their descriptions in the host commands' column.
    const auto options = text.find("\nHost options (before the verb):\n  --sim[=PROFILE]  ");
    ASSERT_NE(std::string::npos, options) << text;
    EXPECT_EQ(text.find("Print the version", options), text.find("\n  --version", options) + 51) << text;
    // The overview does not go into any command's parts.
    EXPECT_FALSE(shows("Synopsis"));
    EXPECT_EQ("", err.str());
}

TEST_F(HelpPrinterTest, SelectsCommandsByVerbOrName) {
    const std::vector<std::tuple<std::vector<std::string>, std::string, std::string>> cases{
        {{"dump"}, "DumpFirmware", "ShowSmart"},
        {{"debuglogs"}, "DebugLogs", "DumpFirmware"},
        {{"verb=SHOW"}, "ShowSmart", "DebugLogs"},
        {{"Verb=dump", "Name=DumpFirmware"}, "DumpFirmware", "DebugLogs"},
    };
    for (const auto& [arguments, shown, left] : cases) {
        ASSERT_EQ(0, help(arguments)) << arguments[0];
        EXPECT_TRUE(shows("Command: " + shown + "\n")) << arguments[0];
        EXPECT_FALSE(shows("Command: " + left + "\n")) << arguments[0];
    }
}

TEST_F(HelpPrinterTest, TheHostsOwnCommandsHaveHelpAndNothingSelectedIsAUsageError) {
    ASSERT_EQ(0, help({"decode"}));
    EXPECT_EQ(0U, out.str().rfind("Command: decode\nDescription: Decode one file of a debug-logs package", 0));
    EXPECT_TRUE(shows("\nSynopsis: ssdtool decode FILE|PACKAGE [-output text|json|xml] [-family NAME]\n"));
    ASSERT_EQ(0, help({"Verb=help"}));
    EXPECT_TRUE(shows("Synopsis: ssdtool help [<verb>|<name>|Verb=<verb>|Name=<name>]\n"));

    // "show" is a plug-in verb and the host's drive list: both are shown.
    ASSERT_EQ(0, help({"show"}));
    EXPECT_EQ(0u, out.str().find("Command: ShowSmart\n")) << out.str();
    EXPECT_TRUE(shows("\n\nCommand: show\nDescription: List the drives"));

    // A name selects plug-in commands only; nothing selected, or an option, is a usage error.
    EXPECT_EQ(2, help({"Name=decode"}));
    EXPECT_EQ("No commands to display\n", out.str());
    EXPECT_EQ(2, help({"-ssd"}));
    EXPECT_NE(std::string::npos, err.str().find("-ssd"));

    for (const char* flag : {"-h", "-HELP"}) {
        ASSERT_EQ(0, help({flag})) << flag;
        EXPECT_EQ(0u, out.str().find("Usage: ssdtool ")) << flag;
    }
}

TEST_F(HelpPrinterTest, CommandHelpShowsEveryPartWithItsFlags) {
    std::ostringstream text;
    printer.printCommand(syntax[0], text);
    // The heading lines are laid out in the host's own help above and end to end.
    const std::vector<std::string> parts{
        "Options:\n  -help, -h\n      Display help for the command.\n      Required: False\n"
        "  -destination <path>\n      Path to the destination file.\n"
        "      Required: False  Value: path  ValueRequired: True\n",
        // -v declares its value required but has no value to give: it is shown as the flag it is.
        "  -v\n      Display verbose output\n      Required: False\n",
        "Targets:\n  -ssd <Index|SerialNumber|PhysicalPath>\n      Device index, serial number, or physical path.\n"
        "      Required: True  Value: Index|SerialNumber|PhysicalPath  ValueRequired: True\n"
        "      -ssd all: every drive in turn, one package each, then a table of the outcomes.\n",
        "Properties:\n  (none)\n"};
    for (const auto& part : parts) {
        EXPECT_NE(std::string::npos, text.str().find(part)) << part << "\n" << text.str();
    }
}

TEST_F(HelpPrinterTest, SynopsisShowsPropertiesAndDoesNotRepeatADeclaredOutputOption) {
    EXPECT_EQ("ssdtool dump -firmware [-output <text|json>] -ssd <Index|SerialNumber|PhysicalPath> "
              "Slot=<1-7> [Mode=<fast|full>]",
              HelpPrinter::synopsis(syntax[1]));
    EXPECT_EQ("ssdtool show -smart [-ssd [<Index|SerialNumber|PhysicalPath>]] [-output <text|json|xml|csv>]",
              HelpPrinter::synopsis(syntax[2]));
}

}  // namespace
