// Where the debug-logs package goes: odd destination names, folders that exist or cannot be
// made, and serial numbers that are not safe as file names.
#include <tuple>

#include "E2eSupport.h"
#include "drivekit/features/PackageFileNames.h"

namespace e2e {
namespace {

using DebugLogsDestination = Workspace;

// A name in use, and a package that cannot be written, are the package generator's own tests.
// Below a regular file no folder can be made, whoever runs the test, and the result says which
// folder and why.
TEST_F(DebugLogsDestination, AFolderThatCannotBeMadeIsAClearError) {
    std::ofstream((dir / "blocker").string()) << "a file\n";
    const std::string blocked = (dir / "blocker" / "logs").string();
    const auto run = debugLogs({"--sim"}, {"-type", "System", "-destination", blocked}, dir);
    EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Result: Failed to create directory \"" + blocked + "\": Not a directory.\n"))
        << run.out;
    EXPECT_FALSE(contains(run.out, "GENERATE GENERAL LOGS"));
    EXPECT_EQ("a file\n", readFile(dir / "blocker"));
}

// A full disk, made without root or mounts: no file may grow past a limit, and the signal that
// would end the program is ignored, so each write past it fails with EFBIG as on a full disk.
// The file that was lost is named, even when its collector calls its run a success (as the
// system information's does), the files that are whole stay in the folder, and no cut, empty or
// temporary file is left to be taken for a collected one.
TEST_F(DebugLogsDestination, AFileTheDiskDidNotTakeFailsTheRunAndNothingCutIsLeft) {
    const fs::path profile = changedProfile(scratch, [](nlohmann::json& p) {
        p["nvme"]["telemetry"]["hostInitiated"] = {8, 40, 4096, 4200};  // data area 3: 2 MiB
    });
    const struct {
        const char* name;
        std::string type;
        int limitBlocks;    // of 512 bytes
        std::string lost;   // the file named, below the folder
    } cases[] = {
        {"telemetry log past 1 MiB", "Telemetry", 2048,
         "log_pages/" + drivekit::features::PackageFileNames::telemetryLog(true)},
        // The console's own file takes less; the system information's commands fill more.
        {"text files past 4 KiB", "System", 8, "system_info.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clear();
        const auto run = ssdtool({"--sim=" + profile.string(), "dump", "-debuglogs", "-ssd", "0", "-type", c.type},
                                 dir, "trap '' XFSZ; ulimit -f " + std::to_string(c.limitBlocks) + "; exec");
        EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
        EXPECT_EQ(fs::path(), onlyPackage(dir));
        const auto folders = folderEntries(dir);
        ASSERT_EQ(1u, folders.size());
        const std::string folder = (dir / folders[0]).string();
        const std::string result = run.out.substr(run.out.rfind("\nResult: ") + 1);
        EXPECT_EQ(0u, result.find("Result: Failed to write to file. " + folder + "/" + c.lost)) << result;
        EXPECT_TRUE(contains(result, ": File too large. The collected files are kept in " + folder + ".\n")) << result;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            EXPECT_NE(".part", entry.path().extension()) << entry.path();
            EXPECT_TRUE(fs::is_directory(entry.path()) || fs::file_size(entry.path()) > 0) << entry.path();
        }
        const std::string lost = result.substr(0, result.find(": File too large"));
        EXPECT_FALSE(fs::exists(lost.substr(lost.find(folder)))) << lost;
    }
}

TEST_F(DebugLogsDestination, ADestinationThroughALinkAndDotDotOrWithBlanksQuotesAndSemicolonsIsUsedAsGiven) {
    fs::create_directories(dir / "real" / "inner");
    fs::create_directory_symlink(dir / "real" / "inner", dir / "link");
    const std::string odd = "my logs; touch injected \"q\" 'a' $(touch injected2)";
    // The destination, the real folder the archive lands in, and what else that folder holds.
    const std::vector<std::tuple<std::string, std::string, std::vector<std::string>>> cases = {
        {"link/..", "real", {"inner"}}, {odd, odd, {}}};
    for (const auto& [destination, landing, besides] : cases) {
        const auto run = debugLogs({"--sim"}, {"-type", "System", "-destination", destination}, dir);
        ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
        auto packed = folderEntries(dir / landing);
        ASSERT_EQ(besides.size() + 1, packed.size()) << destination;
        EXPECT_TRUE(std::regex_match(packed[0], packageName(builtInSerial(), "\\.zip"))) << packed[0];
        EXPECT_EQ(besides, std::vector<std::string>(packed.begin() + 1, packed.end()));
        // A System package holds the general logs and no sub-folder.
        const auto archive = readZip(dir / landing / packed[0]);
        EXPECT_EQ((std::set<std::string>{"incident_report.log", "manifest.json", "product.json", "system_info.log",
                                         "version.txt"}),
                  namesOf(archive));
        for (const auto& [name, bytes] : archive) {
            EXPECT_FALSE(bytes.empty()) << name;
        }
        EXPECT_TRUE(contains(archive.at("incident_report.log"), " Section: Date & Time "));
    }
    EXPECT_EQ((std::vector<std::string>{"link", odd, "real"}), folderEntries(dir));
}

// How a serial number is cleaned for a folder name is the folder name's own test; here, one too
// long for a file name, by which the drive is selected, and a destination yet to be made.
TEST_F(DebugLogsDestination, ATooLongSerialNumberIsCutSoThatThePackageNameFitsTheFileSystem) {
    std::string serial = "S" + std::string(149, 'x');
    for (int i = 0; i < 75; ++i) {
        serial += "\xC3\xA9";  // two bytes each, never to be cut in two
    }
    const fs::path profile =
        changedProfile(scratch, [&](nlohmann::json& p) { p["attributes"]["SerialNumber"] = serial; });
    const fs::path out = dir / "nested" / "out";
    const auto run = ssdtool({"--sim=" + profile.string(), "--log=" + (scratch / "plugin.log").string(), "dump",
                              "-debuglogs", "-ssd", serial, "-type", "System", "-destination", out.string()},
                             dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto packed = folderEntries(out);
    ASSERT_EQ(1u, packed.size());
    // The archive's name fits the 255-byte limit of a file name; the log says why.
    std::smatch name;
    ASSERT_TRUE(std::regex_match(packed[0], name, std::regex("(S.{200,})_[-_0-9]{22,23}\\.zip"))) << packed[0];
    EXPECT_LE(packed[0].size(), 255u - 7u);
    EXPECT_EQ(serial.substr(0, name.length(1)), name.str(1));
    EXPECT_EQ(0, (name.length(1) - 150) % 2) << "a character was cut in two";
    EXPECT_TRUE(contains(readFile(scratch / "plugin.log"), "The serial number (300 bytes in the folder name) is cut"));
}

}  // namespace
}  // namespace e2e
