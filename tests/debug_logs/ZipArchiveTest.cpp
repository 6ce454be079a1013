#include <gtest/gtest.h>

#include <boost/algorithm/string/predicate.hpp>

#include <map>
#include <tuple>

#include "plugins/plugin.debug_logs/debug_logs_common/NamePattern.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;

namespace {
void writeBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path.string(), std::ios::binary) << bytes;
}
}  // namespace

// Where the archive lands when the folder is reached through a link and ".." is shown end to end.
TEST(ZipArchive, ArchiveBesideTheFolderHoldsEveryFileAndFolderRelativeToIt) {
    ScratchFolder scratch;
    const fs::path folder = scratch.path() / "pkg";
    const std::string binary("\0\x01\xff\r\n\x1a", 6);
    const std::string large(200000, 'A');
    writeBytes(folder / "version.txt", "Model ver. 2.4.323\r\n07/04/2026 01:30:00 PM");
    writeBytes(folder / "log_pages" / "smart.bin", binary);
    writeBytes(folder / "log_pages" / "deep" / "large.bin", large);
    fs::create_directories(folder / "SATA_logs");

    ConsoleCapture console;
    std::string problem = "stale";
    EXPECT_EQ(dl::createZipArchive(folder.string(), "*", "pkg.zip", true, problem), 0);
    EXPECT_EQ(problem, "");
#ifdef _WIN32
    // PowerShell's command line, or why there was none and what was packed in process instead.
    EXPECT_EQ(console.text().rfind("Zip command: ", 0), 0u) << console.text();
    EXPECT_TRUE(boost::algorithm::ends_with(console.text(), "\nCreate Zip pkg.zip; Result: Success\n"));
#else
    EXPECT_EQ(console.text(), "Zip command: deflate 3 files and 3 sub-folders of " + folder.string() + " into " +
                                  (scratch.path() / "pkg.zip").string() +
                                  "\nCreate Zip pkg.zip; Result: Success\n");
#endif
    const std::map<std::string, std::string> expected = {
        {"SATA_logs/", ""},
        {"log_pages/", ""},
        {"log_pages/deep/", ""},
        {"log_pages/deep/large.bin", large},
        {"log_pages/smart.bin", binary},
        {"version.txt", "Model ver. 2.4.323\r\n07/04/2026 01:30:00 PM"},
    };
    EXPECT_EQ(readZip(scratch.path() / "pkg.zip"), expected);
    EXPECT_EQ(folderEntries(scratch.path()), (std::vector<std::string>{"pkg", "pkg.zip"}));
    // Packing does not remove anything by itself.
    EXPECT_TRUE(fs::exists(folder / "version.txt"));
}

// An archive of that name, made before or while the run collects, is the package generator's test.
TEST(ZipArchive, FailureSaysWhyAndLeavesNoArchive) {
    // The folders made before "pkg" is packed into "pkg.zip", and the reason expected.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // libzip writes no file for an archive without entries: there would be no package.
        {{"pkg"}, "nothing to pack in "},
        {{}, "cannot find "},
    };
    for (const auto& [folders, reason] : cases) {
        ScratchFolder scratch;
        for (const auto& folder : folders) {
            fs::create_directories(scratch.path() / folder);
        }
        ConsoleCapture console;
        std::string problem;
        EXPECT_NE(dl::createZipArchive((scratch.path() / "pkg").string(), "*", "pkg.zip", true, problem), 0) << reason;
        EXPECT_EQ(problem.find(reason), 0u) << problem;
        EXPECT_NE(console.text().find("Create Zip pkg.zip; Result: Failure\n"), std::string::npos) << reason;
        EXPECT_FALSE(fs::is_regular_file(scratch.path() / "pkg.zip")) << reason;
        EXPECT_FALSE(fs::exists(scratch.path() / "pkg.zip.part")) << reason;
    }
}

// Only the entries whose first path component matches the pattern are packed, whole sub-folders
// included; the matcher itself is walked through the shapes a shell pattern takes.
TEST(ZipArchive, PatternChoosesTheEntriesByTheirFirstComponent) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"*", "version.txt", true},   {"*", ".hidden", true},       {"*", "", true},
        {"*.bin", "smart.bin", true}, {"*.bin", "smart.bin.part", false},
        {"log_*", "SATA_logs", false}, {"Log*", "log_pages", false},
        {"?", "a", true},             {"?", "", false},             {"a?c", "ac", false},
        {"*ab", "aab", true},         {"a*b*c", "aXbYbZc", true},   {"a*b*c", "aXbYcZ", false},
        {"**", "x", true},            {"", "", true},               {"", "a", false},
    };
    for (const auto& [pattern, name, matches] : cases) {
        EXPECT_EQ(dl::matchesNamePattern(pattern, name), matches) << pattern << " / " << name;
    }

    ScratchFolder scratch;
    const fs::path folder = scratch.path() / "pkg";
    writeBytes(folder / "version.txt", "v");
    writeBytes(folder / "log_pages" / "smart.bin", "s");
    writeBytes(folder / "log_old.txt", "o");
    std::string problem;
    ConsoleCapture console;
    ASSERT_EQ(dl::createZipArchive(folder.string(), "log_*", "pkg.zip", false, problem), 0) << problem;
    const std::map<std::string, std::string> expected = {
        {"log_old.txt", "o"}, {"log_pages/", ""}, {"log_pages/smart.bin", "s"}};
    EXPECT_EQ(readZip(scratch.path() / "pkg.zip"), expected);
}
