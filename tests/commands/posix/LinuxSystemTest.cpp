// The Linux system services: os-release, the cached kernel release and the rescan.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "drivekit/core/posix/LinuxSystem.h"
#include "tests/support/TextFiles.h"

using drivekit::core::Status;
using drivekit::core::posix::LinuxSystem;
namespace fs = std::filesystem;

namespace {

class LinuxSystemTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name) << text;
        return (folder_ / name).string();
    }
    static LinuxSystem withPaths(std::vector<std::string> osRelease, const fs::path& rescan) {
        return LinuxSystem({std::move(osRelease), rescan.string()}, [] { return std::string("6.1.0-test"); });
    }

    const fs::path folder_ =
        fs::temp_directory_path() /
        ("linux-system-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
};

}  // namespace

// The first readable file wins; names it lacks take os-release's defaults.
TEST_F(LinuxSystemTest, OsReleaseGivesNameVersionAndPrettyNameFromTheFirstReadableFile) {
    const std::string full = write("os-release",
                                   "# comment\n"
                                   "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                   "NAME='Debian GNU/Linux'\n"
                                   "\n"
                                   "VERSION_ID=\"12\"\n"
                                   "ID=debian\n");
    const std::string sparse = write("sparse", "ID=custom\n");
    const std::string absent = (folder_ / "absent").string();
    struct Row {
        std::vector<std::string> files;
        std::string pretty, name, version;
    };
    for (const Row& row : std::vector<Row>{{{full}, "Debian GNU/Linux 12 (bookworm)", "Debian GNU/Linux", "12"},
                                           {{absent}, "", "", ""},
                                           {{absent, sparse, full}, "Linux", "Linux", ""}}) {
        SCOPED_TRACE(row.pretty);
        std::string name = "old", version = "old";
        EXPECT_EQ(withPaths(row.files, folder_ / "rescan").distributionDetails(name, version), row.pretty);
        EXPECT_EQ(name, row.name);
        EXPECT_EQ(version, row.version);
    }
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

// The kernel acts on the write only when it is flushed, so a failed close fails the rescan too.
TEST_F(LinuxSystemTest, RescanWritesOneOrFails) {
    ASSERT_TRUE(withPaths({}, folder_ / "rescan").rescan().isSuccess());
    EXPECT_EQ(test_support::readFile(folder_ / "rescan"), "1");
    EXPECT_EQ(withPaths({}, folder_ / "no" / "such" / "rescan").rescan(), Status::rescanFailed());
    EXPECT_EQ(withPaths({}, "/dev/full").rescan(), Status::rescanFailed());
}
