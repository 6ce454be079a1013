// The Linux system services: os-release, the cached kernel release and the rescan.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "drivekit/core/posix/LinuxSystem.h"

using drivekit::core::Status;
using drivekit::core::posix::LinuxSystem;
namespace fs = std::filesystem;

namespace {

class LinuxSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("linux_system_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& name, const std::string& text) {
        const fs::path path = folder_ / name;
        std::ofstream(path) << text;
        return path.string();
    }

    LinuxSystem withOsRelease(std::vector<std::string> files) {
        LinuxSystem::Paths paths;
        paths.osRelease = std::move(files);
        paths.pciRescan = (folder_ / "rescan").string();
        return LinuxSystem(paths, [] { return std::string("6.1.0-test"); });
    }

    fs::path folder_;
};

}  // namespace

TEST_F(LinuxSystemTest, OsReleaseGivesNameVersionAndPrettyName) {
    const std::string file = write("os-release",
                                   "# comment\n"
                                   "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                   "NAME='Debian GNU/Linux'\n"
                                   "\n"
                                   "VERSION_ID=\"12\"\n"
                                   "ID=debian\n");
    auto system = withOsRelease({file});
    std::string name = "old", version = "old";
    EXPECT_EQ(system.distributionDetails(name, version), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(name, "Debian GNU/Linux");
    EXPECT_EQ(version, "12");
    EXPECT_EQ(system.operatingSystemKind(), "Linux");
    EXPECT_FALSE(system.query("anything"));
}

TEST_F(LinuxSystemTest, MissingFilesAndMissingKeys) {
    auto none = withOsRelease({(folder_ / "absent").string()});
    std::string name = "old", version = "old";
    EXPECT_EQ(none.distributionDetails(name, version), "");
    EXPECT_EQ(name, "");
    EXPECT_EQ(version, "");

    // The first readable file wins; absent names take os-release's defaults.
    const std::string sparse = write("sparse", "ID=custom\n");
    auto fallback = withOsRelease({(folder_ / "absent").string(), sparse});
    EXPECT_EQ(fallback.distributionDetails(name, version), "Linux");
    EXPECT_EQ(name, "Linux");
    EXPECT_EQ(version, "");
}

TEST(LinuxSystemParsing, QuotingAndEscapes) {
    const std::vector<std::pair<std::string, std::string>> parsed{
        {"NAME=\"A \\\"quoted\\\" \\$name\"", "A \"quoted\" $name"},
        {"VERSION_ID='1.0\\n'", "1.0\\n"},  // single quotes keep backslashes
        {"ID=plain\r", "plain"},
        {"EMPTY=", ""}};
    std::string key, value;
    for (const auto& [line, expected] : parsed) {
        ASSERT_TRUE(LinuxSystem::parseOsReleaseLine(line, key, value)) << line;
        EXPECT_EQ(key, line.substr(0, line.find('=')));
        EXPECT_EQ(value, expected) << line;
    }
    for (const char* ignored : {"   # NAME=x", "no equals sign", "=value"}) {
        EXPECT_FALSE(LinuxSystem::parseOsReleaseLine(ignored, key, value)) << ignored;
    }
}

TEST(LinuxSystemVersion, TheRunningKernelCachedAfterTheFirstNonEmptyAnswer) {
    int calls = 0;
    std::vector<std::string> answers = {"", "6.1.0-21-amd64", "other"};
    LinuxSystem system(LinuxSystem::Paths(), [&] { return answers.at(calls++); });
    EXPECT_EQ(system.getVersion(), "");  // empty: not cached
    EXPECT_EQ(system.getVersion(), "6.1.0-21-amd64");
    EXPECT_EQ(system.getVersion(), "6.1.0-21-amd64");
    EXPECT_EQ(calls, 2);

    const std::string release = LinuxSystem().getVersion();
    EXPECT_FALSE(release.empty());
    EXPECT_EQ(release.find('\n'), std::string::npos);
}

TEST_F(LinuxSystemTest, RescanWritesOneOrFails) {
    auto system = withOsRelease({});
    ASSERT_TRUE(system.rescan().isSuccess());
    std::ifstream written(folder_ / "rescan");
    std::string content;
    std::getline(written, content);
    EXPECT_EQ(content, "1");

    LinuxSystem::Paths unreachable;
    unreachable.pciRescan = (folder_ / "no" / "such" / "rescan").string();
    LinuxSystem broken(unreachable, [] { return std::string(); });
    const Status failed = broken.rescan();
    EXPECT_EQ(failed, Status::rescanFailed());
    EXPECT_EQ(failed.message(), "System rescan failed.");
}
