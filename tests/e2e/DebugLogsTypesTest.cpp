// The debug-logs command run as a user runs it, one log type at a time.
#include <boost/algorithm/string/predicate.hpp>
#include <tuple>

#include "E2eSupport.h"

namespace e2e {
namespace {

using DebugLogsTypes = Workspace;

// How each format renders a result is the result printer's own test; here, that -output reaches it.
TEST_F(DebugLogsTypes, ListPrintsTheLogTypesInTheChosenFormatAndTheHostsAndThePlugInsLogsStayApart) {
    const std::vector<std::tuple<std::vector<std::string>, std::vector<std::string>, std::string>> cases = {
        {{"--sim", "--log=plugin.log", "--host-log=host.log"}, {"-type", "list"}, "Result: Completed successfully.\n"},
        {{"--sim", "--host-log=host2.log"}, {"-type", "LIST", "-output", "xml"},
         "<?xml version=\"1.0\" standalone=\"yes\" ?>\n<Result>\n"
         "  <Description>Completed successfully.</Description>\n  <Type>0</Type>\n</Result>\n"}};
    for (const auto& [hostOptions, arguments, result] : cases) {
        const auto run = debugLogs(hostOptions, arguments, dir);
        EXPECT_EQ(0, run.exitStatus) << run.err;
        EXPECT_EQ("\nLog(type) Options:\n  Identify\n  NvmeLogs\n  System\n  Telemetry\n" + result, run.out);
        // An index names another drive after each boot: the run says which one it reads.
        EXPECT_EQ("ssdtool: drive 0 is sim:varnholt-nvme (serial VH24A0017, model Varnholt VH900 1.92TB)\n", run.err);
    }
    // Without --log the plug-in writes no log at all; each host's file gets only its own records.
    EXPECT_EQ((std::vector<std::string>{"host.log", "host2.log", "plugin.log"}), folderEntries(dir));
    const std::regex record("[0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{6} \\[(trace|debug|info|warning|error|fatal)\\] "
                            "[^ ()]+\\([0-9]+\\) [^ ]+: .*");
    const std::string hostLog = readFile(dir / "host.log");
    const std::string pluginLog = readFile(dir / "plugin.log");
    ASSERT_FALSE(pluginLog.empty());
    for (const auto& line : lines(hostLog + pluginLog)) {
        EXPECT_TRUE(std::regex_match(line, record)) << line;
    }
    EXPECT_TRUE(contains(hostLog, "Loaded plug-in "));
    EXPECT_TRUE(contains(pluginLog, "PackageGenerator.cpp("));
    for (const std::string& host : {hostLog, readFile(dir / "host2.log")}) {
        EXPECT_TRUE(contains(host, "Running command DebugLogs"));
        EXPECT_FALSE(contains(host, "PackageGenerator.cpp(") || contains(host, "FeatureBase.cpp(")) << host;
    }
    EXPECT_FALSE(contains(pluginLog, "HostApplication.cpp(") || contains(pluginLog, "PluginLoader.cpp(")) << pluginLog;
}

TEST_F(DebugLogsTypes, AnUnknownTypeLeavesAnEmptyFolderAndReportsNotImplementedInTheChosenFormat) {
    const auto run = debugLogs({"--sim"}, {"-type", "nosuchlog", "-output", "JSON"}, dir);
    EXPECT_EQ(1, run.exitStatus);
    EXPECT_TRUE(contains(run.out, "Log type not found: nosuchlog\n"));
    const auto result = nlohmann::json::parse(run.out.substr(run.out.rfind("\n{\n") + 1)).at("Result");
    EXPECT_EQ("Not implemented.", result.at("Description").get<std::string>());
    EXPECT_EQ(2, result.at("Type").get<int>());
    EXPECT_FALSE(contains(run.out, "PACKAGE THE LOGS"));
    const auto left = folderEntries(dir);
    ASSERT_EQ(1u, left.size());
    EXPECT_TRUE(std::regex_match(left[0], packageName(builtInSerial(), ""))) << left[0];
    EXPECT_TRUE(fs::is_directory(dir / left[0]) && fs::is_empty(dir / left[0]));
}

TEST_F(DebugLogsTypes, WithoutADriveLogNoPackageIsMadeAndTheLastLinesNameTheFolder) {
    // Another maker's drive answers none of the drive collectors: nothing to read is no
    // failure. A drive of the maker that fails every command gave nothing it should have.
    const auto failsEverything = changedProfile(
        scratch,
        [](nlohmann::json& p) { p["faults"] = {{{"action", "status"}, {"statusCodeType", 0}, {"statusCode", 6}}}; },
        "kestrova-nvme");
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"--sim=other-nvme", 0, "Completed successfully."},
        {"--sim=" + failsEverything.string(), 1, "Failed to retrieve data from selected drive."}};
    for (const auto& [drive, exitStatus, result] : cases) {
        clear();
        const auto run = debugLogs({drive}, {"-v"}, dir);
        EXPECT_EQ(exitStatus, run.exitStatus) << drive << run.out << run.err;
        const auto left = folderEntries(dir);
        ASSERT_EQ(1u, left.size()) << drive;
        EXPECT_TRUE(fs::is_regular_file(dir / left[0] / "system_info.log"));
        // Only the maker's NVMe drives get the log pages' folder; the others are skipped, and say so.
        const bool makers = drive != "--sim=other-nvme";
        EXPECT_EQ(makers, fs::exists(dir / left[0] / "log_pages")) << drive;
        EXPECT_EQ(!makers, contains(run.out, "NVMe logs: Skipped, drive not NVMe.\n")) << run.out;
        EXPECT_TRUE(boost::algorithm::ends_with(run.out, "Total drive logs generated: 0\n\n"
                                                         "No package was made: no drive log was collected.\n"
                                                         "The files collected are in " +
                                                             fs::canonical(dir / left[0]).string() + "\nResult: " +
                                                             result + "\n"))
            << run.out;
    }
}

TEST_F(DebugLogsTypes, VerbosityAddsTheZipDetailsAndAtLevelTwoTheCommandsAndTheCleanUp) {
    const auto verbose = debugLogs({"--sim"}, {"-type", "System", "-v"}, dir);
    ASSERT_EQ(0, verbose.exitStatus) << verbose.err;
    EXPECT_TRUE(contains(verbose.out, "Zip command: "));
    EXPECT_TRUE(std::regex_search(verbose.out, std::regex("\nCreate Zip [^\n]+\\.zip; Result: Success\n")));
    // One dot per system command, on one line.
    EXPECT_TRUE(std::regex_search(verbose.out, std::regex("\n\\.{13}\n")));
    EXPECT_FALSE(contains(verbose.out, "Command:") || contains(verbose.out, "Cleanup: Removed ")) << verbose.out;

    const auto veryVerbose = debugLogs({"--sim"}, {"-type", "System", "-v", "-vv"}, dir);
    ASSERT_EQ(0, veryVerbose.exitStatus) << veryVerbose.err;
    EXPECT_TRUE(contains(veryVerbose.out, "\nCommand:uname -a\n"));
    EXPECT_TRUE(contains(veryVerbose.out, "\nCommand:Environment information\n"));
    EXPECT_FALSE(std::regex_search(veryVerbose.out, std::regex("\n\\.{13}\n")));
    EXPECT_TRUE(std::regex_search(veryVerbose.out, std::regex("\nCleanup: Removed [^\n]+\n")));
}

}  // namespace
}  // namespace e2e
