// Where the debug-logs package goes: odd destination names, folders that exist or cannot be
// made, and serial numbers that are not safe as file names.
#include <boost/algorithm/string/predicate.hpp>
#include <ctime>
#include <sys/time.h>
#include <tuple>

#include "E2eSupport.h"
#include "drivekit/features/PackageFileNames.h"

namespace e2e {
namespace {

std::vector<std::string> systemRun(const std::string& destination) {
    return {"--sim", "dump", "-debuglogs", "-ssd", "0", "-type", "System", "-destination", destination};
}

// The output folder name the command would use at each millisecond of the next seconds.
std::vector<std::string> upcomingFolderNames(const std::string& serial, int seconds) {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::vector<std::string> names;
    for (long long step = 0; step < seconds * 1000LL; ++step) {
        const long long total = now.tv_sec * 1000LL + now.tv_usec / 1000 + step;
        const time_t second = static_cast<time_t>(total / 1000);
        std::tm local{};
        localtime_r(&second, &local);
        char stamp[64];
        std::snprintf(stamp, sizeof(stamp), "%02d-%02d-%04d_%02d-%02d-%02d-%02lld", local.tm_mon + 1, local.tm_mday,
                      local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, total % 1000);
        names.push_back(serial + "_" + stamp);
    }
    return names;
}

class DebugLogsDestination : public Workspace {
protected:
    // A destination in which "<name><suffix>" is taken, by a folder or by a file holding
    // heldBefore, for every output folder name the command could pick in the next seconds.
    // Thousands of entries are cheap to remove on a memory file system, slow on some disks.
    fs::path destinationTaking(const std::string& suffix, bool byFiles = false) {
        boost::system::error_code ignored;
        fs::remove_all(taken_, ignored);
        taken_ = fs::is_directory("/dev/shm") ? fs::unique_path("/dev/shm/ssdtool-e2e-taken-%%%%%%") : dir / "taken";
        fs::create_directories(taken_);
        for (const auto& name : upcomingFolderNames(builtInSerial(), 10)) {
            if (byFiles) {
                std::ofstream((taken_ / (name + suffix)).string()) << heldBefore;
            } else {
                fs::create_directories(taken_ / (name + suffix));
            }
        }
        return taken_;
    }
    void TearDown() override {
        boost::system::error_code ignored;
        fs::remove_all(taken_, ignored);
        Workspace::TearDown();
    }
    const std::string heldBefore = "an earlier package";
    fs::path taken_;
};

// A folder or a package of the run's name, left by another run, is neither shared nor replaced:
// the run takes the next free name. Below a regular file no folder can be made, whoever runs
// the test, and the result says which folder and why.
TEST_F(DebugLogsDestination, ANameInUseGetsTheNextFreeOneAndAFolderThatCannotBeMadeIsAClearError) {
    for (const bool byPackages : {false, true}) {
        const fs::path taken = destinationTaking(byPackages ? ".zip" : "", byPackages);
        const auto run = ssdtool(systemRun(taken.string()), dir);
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        std::vector<std::string> made;
        for (const auto& entry : fs::directory_iterator(taken)) {
            const std::string name = entry.path().filename().string();
            if (fs::is_regular_file(entry.path()) && (!byPackages || readFile(entry.path()) != heldBefore)) {
                made.push_back(name);
            } else {
                // What was there is as it was.
                EXPECT_TRUE(byPackages ? readFile(entry.path()) == heldBefore : fs::is_empty(entry.path())) << name;
            }
        }
        ASSERT_EQ(1u, made.size()) << byPackages;
        EXPECT_TRUE(std::regex_match(made[0], packageName(builtInSerial(), "_2\\.zip"))) << made[0];
        EXPECT_EQ(10001u, folderEntries(taken).size());
    }
    std::ofstream((dir / "blocker").string()) << "a file\n";
    const auto run = ssdtool(systemRun((dir / "blocker" / "logs").string()), dir);
    EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Result: Failed to create directory \"" + (dir / "blocker" / "logs").string() +
                                      "\": Not a directory.\n"))
        << run.out;
    EXPECT_FALSE(contains(run.out, "GENERATE GENERAL LOGS"));
    EXPECT_EQ("a file\n", readFile(dir / "blocker"));
}

TEST_F(DebugLogsDestination, APackageThatCannotBeWrittenFailsAndNamesTheKeptFolder) {
    // Folders in the temporary archive's place: the packer cannot replace them, for root neither.
    const fs::path destination = destinationTaking(".zip.part");
    const auto run = ssdtool(systemRun(destination.string()), dir);
    EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
    std::vector<std::string> kept;
    for (const auto& name : folderEntries(destination)) {
        if (!contains(name, ".zip")) {
            kept.push_back(name);
        }
    }
    ASSERT_EQ(1u, kept.size());
    const fs::path folder = fs::canonical(destination / kept[0]);
    // The reason on the progress line, and the kept folder at the end of the result.
    EXPECT_TRUE(contains(run.out, "\nFailed to create the package: cannot ")) << run.out;
    EXPECT_FALSE(contains(run.out, "Package Generated: ")) << run.out;
    const std::string result = run.out.substr(run.out.rfind("\nResult: ") + 1);
    EXPECT_EQ(0u, result.find("Result: Failed to create the package: cannot ")) << result;
    EXPECT_TRUE(boost::algorithm::ends_with(result, ". The collected files are kept in " + folder.string() + ".\n"))
        << result;
    EXPECT_TRUE(fs::is_regular_file(folder / "version.txt"));
}

// A full disk, made without root or mounts: no file may grow past a limit, and the signal that
// would end the program is ignored, so each write past it fails with EFBIG as on a full disk.
// The file that was lost is named, the files that are whole stay in the folder, and no cut,
// empty or temporary file is left to be taken for a collected one.
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
        {"telemetry log past 1 MiB", "Telemetry", 2048, "log_pages/" + drivekit::features::PackageFileNames::telemetryLog(true)},
        // The console's own file takes less; the system information's commands fill more.
        {"text files past 4 KiB", "System", 8, "system_info.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clear();
        const auto run = ssdtool({"--sim=" + profile.string(), "dump", "-debuglogs", "-ssd", "0", "-type", c.type},
                                 dir, "trap '' XFSZ; ulimit -f " + std::to_string(c.limitBlocks) + "; exec");
        EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
        EXPECT_FALSE(contains(run.out, "Completed successfully.")) << run.out;
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
        const auto run = ssdtool(systemRun(destination), dir);
        ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
        EXPECT_TRUE(contains(run.out, "\nResult: Completed successfully.\n"));
        auto packed = folderEntries(dir / landing);
        ASSERT_EQ(besides.size() + 1, packed.size()) << destination;
        EXPECT_TRUE(std::regex_match(packed[0], packageName(builtInSerial(), "\\.zip"))) << packed[0];
        EXPECT_EQ(besides, std::vector<std::string>(packed.begin() + 1, packed.end()));
        EXPECT_EQ(1u, readZip(dir / landing / packed[0]).count("version.txt"));
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
    const fs::path profile = changedProfile(scratch, [&](nlohmann::json& p) { p["attributes"]["SerialNumber"] = serial; });
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
