// ssdtool installed into a prefix, run from another folder as a user runs it from PATH: it finds
// its plug-in and the simulated drives' profiles from its own location.
#include "E2eSupport.h"

namespace e2e {
namespace {

using InstalledTool = Workspace;

TEST_F(InstalledTool, RunsFromAnyFolderWithItsPlugInAndProfiles) {
    const fs::path prefix = scratch / "prefix";
    const auto install =
        runProgram(SSDTOOL_CMAKE_COMMAND, {"--install", SSDTOOL_BUILD_DIR, "--prefix", prefix.string()}, scratch);
    ASSERT_EQ(0, install.exitStatus) << install.out << install.err;
    const fs::path installed = prefix / "bin" / "ssdtool";
    // Nothing of the tool is left beside the executable: the lib/ssdtool folder must be the one read.
    EXPECT_EQ(std::vector<std::string>{"ssdtool"}, folderEntries(prefix / "bin"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "lib/ssdtool/profiles/kestrova-sata.json"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/ssdtool/schema/decode-output.schema.json"));

    const auto version = runProgram(installed, {"--version"}, dir);
    EXPECT_EQ(0, version.exitStatus);
    EXPECT_EQ("ssdtool " SSDTOOL_VERSION "\n", version.out);

    const auto help = runProgram(installed, {"help"}, dir);
    EXPECT_EQ(0, help.exitStatus) << help.err;
    EXPECT_TRUE(contains(help.out, "DebugLogs  dump")) << help.out;
    EXPECT_EQ("", help.err);

    const auto run = runProgram(installed, {"--sim=kestrova-sata", "dump", "-debuglogs", "-ssd", "0"}, dir);
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    const fs::path package = onlyPackage(dir);
    ASSERT_FALSE(package.empty()) << run.out;
    EXPECT_TRUE(std::regex_match(package.filename().string(), packageName(builtInSerial("kestrova-sata"), "\\.zip")));
    const auto entries = readZip(package);
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
        return entry.first == "incident_report.log" && !entry.second.empty();
    })) << entries.size();
}

}  // namespace
}  // namespace e2e
