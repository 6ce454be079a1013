// Where the debug-logs package goes: odd destination names, folders that exist or cannot be
// made, and serial numbers that are not safe as file names.
#include <ctime>
#include <sys/time.h>

#include "E2eSupport.h"

namespace e2e {
namespace {

using DebugLogsDestination = Workspace;

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

TEST_F(DebugLogsDestination, AnOutputFolderThatExistsAlreadyIsNotOverwritten) {
    // Every name the command could pick in the next seconds is taken. Thousands of folders
    // are cheap to remove on a memory file system, slow on some disks.
    const bool memory = fs::is_directory("/dev/shm");
    const fs::path destination = memory ? fs::unique_path("/dev/shm/ssdtool-e2e-taken-%%%%%%") : dir / "taken";
    struct Cleanup {
        fs::path path;
        ~Cleanup() {
            boost::system::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } cleanup{memory ? destination : fs::path()};
    const auto names = upcomingFolderNames(builtInSerial(), 10);
    for (const auto& name : names) {
        fs::create_directories(destination / name);
    }
    const auto run = ssdtool(systemRun(destination.string()), dir);
    EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Result: Failed to create directory.\n")) << run.out;
    EXPECT_FALSE(contains(run.out, "GENERATE GENERAL LOGS"));
    // Nothing was added, removed or packed.
    EXPECT_EQ(names.size(), entries(destination).size());
    for (const auto& entry : fs::recursive_directory_iterator(destination)) {
        EXPECT_TRUE(fs::is_directory(entry.path())) << entry.path();
    }
}

TEST_F(DebugLogsDestination, ADestinationWithBlanksQuotesAndSemicolonsIsUsedAsGiven) {
    const std::string name = "my logs; touch injected \"q\" 'a' $(touch injected2)";
    const auto run = ssdtool(systemRun(name), dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_EQ(std::vector<std::string>{name}, entries(dir));
    const auto packed = entries(dir / name);
    ASSERT_EQ(1u, packed.size());
    EXPECT_TRUE(std::regex_match(packed[0], packageName(builtInSerial(), "\\.zip"))) << packed[0];
    EXPECT_EQ(1u, readZip(dir / name / packed[0]).count("version.txt"));
}

TEST_F(DebugLogsDestination, ANestedDestinationIsCreatedWithItsParents) {
    const auto run = ssdtool(systemRun("a/b/c"), dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    ASSERT_EQ(1u, entries(dir / "a" / "b" / "c").size());
}

TEST_F(DebugLogsDestination, AnUnwritableDestinationIsAClearErrorNotACrash) {
    // Below a regular file no folder can be made, whoever runs the test.
    std::ofstream(dir.string() + "/blocker") << "a file\n";
    const auto run = ssdtool(systemRun((dir / "blocker" / "logs").string()), dir);
    EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Result: Failed to create directory")) << run.out;
    EXPECT_TRUE(contains(run.out, "blocker")) << run.out;
    EXPECT_EQ(std::vector<std::string>{"blocker"}, entries(dir));
    EXPECT_EQ("a file\n", readFile(dir / "blocker"));
}

TEST_F(DebugLogsDestination, ASerialNumberWithSlashesStaysOneFolderName) {
    const std::string serial = "AB/../CD\\EF";
    const fs::path profile = profileWithSerial(dir, serial);
    fs::create_directories(dir / "out");
    // The drive is selected by that serial number.
    const auto run = ssdtool({"--sim=" + profile.string(), "dump", "-debuglogs", "-ssd", serial, "-type", "System",
                              "-destination", "out"},
                             dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto packed = entries(dir / "out");
    ASSERT_EQ(1u, packed.size());
    EXPECT_TRUE(std::regex_match(packed[0], packageName("AB_.._CD_EF", "\\.zip"))) << packed[0];
    EXPECT_EQ((std::vector<std::string>{"out", profile.filename().string()}), entries(dir));
}

}  // namespace
}  // namespace e2e
