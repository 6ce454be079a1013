#include <gtest/gtest.h>

#include "HostTestCommands.h"
#include "host/cli/CommandLineParser.h"

namespace {

using host::cli::CommandLineParser;
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
    CommandLineParser parser{host_test::commands()};
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
        EXPECT_EQ(c.command, host_test::commands().at(outcome.command->registryIndex).name);
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

}  // namespace
