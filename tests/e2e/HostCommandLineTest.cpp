// ssdtool's own side of a command: help, the drive list and bad command lines.
#include "E2eSupport.h"

namespace e2e {
namespace {

using HostCommandLine = Workspace;

// How help selects and lays out commands is the help printer's own test; here, the plug-in's
// command as it declares itself.
TEST_F(HostCommandLine, HelpShowsThePlugInsCommandInFull) {
    const auto help = ssdtool({"help", "DebugLogs"}, dir);
    ASSERT_EQ(0, help.exitStatus) << help.err;
    EXPECT_TRUE(contains(help.out, "Command: DebugLogs\n"));
    EXPECT_TRUE(contains(help.out, "Synopsis: ssdtool dump [-help] [-destination <path>] -debuglogs [-v] "
                                   "[-vv] [-extended] -ssd <Index|SerialNumber|PhysicalPath> "
                                   "[-type <all|list|LOGNAME>]"))
        << help.out;

    // -help on the command itself shows the same and runs nothing.
    const auto inline_ = debugLogs({"--sim"}, {"-h"}, dir);
    EXPECT_EQ(0, inline_.exitStatus);
    EXPECT_TRUE(contains(inline_.out, "Command: DebugLogs\n"));
    EXPECT_TRUE(folderEntries(dir).empty());
}

TEST_F(HostCommandLine, ShowSsdListsTheSimulatedDrivesInOrder) {
    const auto run = ssdtool({"--sim", "--sim=kestrova-sata", "show", "-ssd"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.err;
    const auto rows = lines(run.out);
    ASSERT_EQ(3u, rows.size()) << run.out;
    EXPECT_TRUE(std::regex_match(rows[0], std::regex("Index +Serial Number +Model +Path +Protocol")));
    EXPECT_TRUE(std::regex_match(rows[1], std::regex("0 +" + builtInSerial() + " +.+ +sim:varnholt-nvme +NVMe")))
        << rows[1];
    EXPECT_TRUE(
        std::regex_match(rows[2], std::regex("1 +" + builtInSerial("kestrova-sata") + " +.+ +sim:kestrova-sata +ATA")))
        << rows[2];

    const auto none = ssdtool({"show", "-ssd"}, dir);
    EXPECT_EQ(0, none.exitStatus);
    EXPECT_EQ("No drives found.\n", none.out);
    EXPECT_EQ("ssdtool: no NVMe controller or SATA disk found; add a simulated drive with --sim, e.g. ssdtool --sim "
              "show -ssd\n",
              none.err);
    EXPECT_EQ("", run.err);
}

// The parser's and the host options' own tests hold every message; here, one of each kind.
TEST_F(HostCommandLine, BadCommandLinesAreSyntaxErrorsAndRunNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--sim", "dump", "-debuglogs", "-ssd", "0", "-bogus"}, "Unknown option -bogus"},
        {{"--sim", "dump", "-debuglogs"}, "Missing required target -ssd"},
        {{"--sim", "frobnicate"}, "Unknown command: frobnicate"},
        {{"--sim", "show", "-ssd", "0"}, "show lists the drives and takes nothing but -ssd: ssdtool show -ssd"},
        {{"--sim", "dump", "-debuglogs", "-ssd", "0", "--log=p.log"},
         "Unknown option --log=p.log for command DebugLogs. Host options such as --log=p.log go before the verb: "
         "ssdtool --log=p.log dump ..."},
        {{"--sim"}, "No command given"},
        {{"--sim", "dump", "-debuglogs", "-ssd", "7"}, "No drive matches -ssd 7"},
        {{"dump", "-debuglogs", "-ssd", "0"}, "No drive found"},
        {{"--sim=no-such-profile", "dump", "-debuglogs", "-ssd", "0"}, "no-such-profile"},
        {{"--sim=/dev/zero", "show", "-ssd"}, "/dev/zero: cannot read the profile (not a regular file but a device)"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto run = ssdtool(arguments, dir);
        EXPECT_EQ(2, run.exitStatus) << message;
        EXPECT_TRUE(contains(run.err, message)) << run.err;
        EXPECT_EQ("", run.out) << message;
    }
    EXPECT_TRUE(folderEntries(dir).empty());
}

}  // namespace
}  // namespace e2e
