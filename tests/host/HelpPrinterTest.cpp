#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "HostTestCommands.h"
#include "host/cli/HelpPrinter.h"

namespace {

using host::cli::HelpPrinter;

class HelpPrinterTest : public ::testing::Test {
protected:
    int help(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return printer.run(arguments, out, err);
    }
    bool shows(const std::string& text) const { return out.str().find(text) != std::string::npos; }

    std::vector<host::cli::CommandSyntax> commands = host_test::commands();
    HelpPrinter printer{commands};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(HelpPrinterTest, WithoutArgumentsListsEveryCommandWithItsVerbAndDescription) {
    ASSERT_EQ(0, help({}));
    const std::string text = out.str();
    EXPECT_EQ(0u, text.find("Usage: ssdtool [--sim[=PROFILE]]... [--sim-trace=FILE] [--log=FILE] "
                            "[--host-log=FILE] [--as-maker[=FAMILY]] [--vendor-commands] "
                            "<verb>[<options>][<targets>][<properties>]\n"));
    EXPECT_NE(std::string::npos, text.find("Command       Verb  Description\n"));
    EXPECT_NE(std::string::npos, text.find("DebugLogs     dump  Collects debug logs and creates ZIP package.\n"));
    EXPECT_NE(std::string::npos, text.find("ShowSmart     show  Shows SMART values.\n"));
    EXPECT_TRUE(shows("show -ssd"));
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
    EXPECT_EQ("Command: decode\nDescription: Decode one file of a debug-logs package, or every file of a "
              "package (ZIP or folder).\nSynopsis: ssdtool decode FILE|PACKAGE [-output text|json|xml] [-family NAME]\n",
              out.str());
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
    printer.printCommand(commands[0], text);
    // The heading lines are laid out in the host's own help above and end to end.
    const std::vector<std::string> parts{
        "Options:\n  -help, -h\n      Display help for the command.\n      Required: False\n"
        "  -destination <path>\n      Path to the destination file.\n"
        "      Required: False  Value: path  ValueRequired: True\n",
        // -v declares its value required but has no value to give: it is shown as the flag it is.
        "  -v\n      Display verbose output\n      Required: False\n",
        "Targets:\n  -ssd <Index|SerialNumber|PhysicalPath>\n      Device index, serial number, or physical path.\n"
        "      Required: True  Value: Index|SerialNumber|PhysicalPath  ValueRequired: True\n",
        "Properties:\n  (none)\n"};
    for (const auto& part : parts) {
        EXPECT_NE(std::string::npos, text.str().find(part)) << part << "\n" << text.str();
    }
}

TEST_F(HelpPrinterTest, SynopsisShowsPropertiesAndDoesNotRepeatADeclaredOutputOption) {
    EXPECT_EQ("ssdtool dump -firmware [-output <text|json>] -ssd <Index|SerialNumber|PhysicalPath> "
              "Slot=<1-7> [Mode=<fast|full>]",
              HelpPrinter::synopsis(commands[1]));
    EXPECT_EQ("ssdtool show -smart [-ssd [<Index|SerialNumber|PhysicalPath>]] [-output <text|json|xml|csv>]",
              HelpPrinter::synopsis(commands[2]));
}

}  // namespace
