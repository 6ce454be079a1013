#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include <boost/filesystem.hpp>

#include "drivekit/core/WholeFile.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TextFiles.h"

using drivekit::core::Status;
using drivekit::core::WholeFile;
namespace fs = boost::filesystem;

namespace {

#ifndef _WIN32
// Lets the process write no file beyond `bytes` while it lives, as a full disk would; the
// signal that would end the process is ignored so that the write fails instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }

private:
    rlimit old_{};
    void (*oldSignal_)(int);
};
#endif

const std::string content = std::string("\0\n\r\x1a\xff", 5) + std::string(64 * 1024, 'x');

}  // namespace

TEST(WholeFile, TheTargetTakesEveryByteOrStaysAsItWasAndNoTemporaryFileIsLeft) {
    const test_support::ScratchFolder scratch;
    const fs::path& folder = scratch.path();
    struct Case {
        const char* name;
        std::function<void(const std::string& target)> before;  // what the folder holds first
        std::function<Status(const std::string& target)> write;
        bool written;
        std::string kept;  // the target's content after a failure; empty: no file there
    };
    const auto whole = [](const std::string& target) {
        return WholeFile::write(target, reinterpret_cast<const uint8_t*>(content.data()), content.size());
    };
    const auto older = [](const std::string& target) { std::ofstream(target) << "an older and longer file"; };
    const Case cases[] = {
        {"new file", [](const std::string&) {}, whole, true, {}},
        {"replaces a file", older, whole, true, {}},
#ifndef _WIN32
        {"cut short by a full disk", older,
         [&](const std::string& target) {
             const FileSizeLimit limit(4096);
             return whole(target);
         },
         false, "an older and longer file"},
#endif
        {"a folder in the way", [](const std::string& target) { fs::create_directories(target); }, whole, false, {}},
        // The name of the temporary file is taken by something this write did not make.
        {"temporary name taken", [](const std::string& target) { fs::create_directories(target + ".part"); }, whole,
         false, {}},
        {"streamed, started again", older,
         [](const std::string& target) {
             WholeFile file(target);
             file.open();
             file.append(reinterpret_cast<const uint8_t*>("a first pass"), 12);
             file.open();
             file.append(reinterpret_cast<const uint8_t*>(content.data()), 100);
             file.append(reinterpret_cast<const uint8_t*>(content.data()) + 100, content.size() - 100);
             return file.commit();
         },
         true, {}},
        {"committed unopened", older, [](const std::string& target) { return WholeFile(target).commit(); }, false,
         "an older and longer file"},
    };
    for (const Case& c : cases) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        const std::string target = (folder / "log.bin").string();
        c.before(target);
        const Status status = c.write(target);
        EXPECT_EQ(status, c.written ? Status::success() : Status::failedToWriteFile()) << c.name;
        if (c.written) {
            EXPECT_EQ(test_support::readFile(target), content) << c.name;
        } else if (!c.kept.empty()) {
            EXPECT_EQ(test_support::readFile(target), c.kept) << c.name;
        } else {
            EXPECT_EQ(fs::is_regular_file(target), false) << c.name;
        }
        // Only the target, and what was there before, is in the folder.
        const bool takenName = std::string(c.name) == "temporary name taken";
        EXPECT_EQ(fs::is_directory(target + ".part"), takenName) << c.name;
        EXPECT_FALSE(fs::is_regular_file(target + ".part")) << c.name;
    }

    // A missing folder and a streamed write that fails before its commit are the telemetry
    // feature's streaming test.
#ifndef _WIN32
    // A device given as the path is written in place, never replaced or removed, also when
    // the write fails.
    for (const char* device : {"/dev/null", "/dev/full"}) {
        const bool full = std::string(device) == "/dev/full";
        EXPECT_EQ(whole(device), full ? Status::failedToWriteFile() : Status::success()) << device;
        EXPECT_TRUE(fs::exists(device) && !fs::is_regular_file(device)) << device;
        EXPECT_FALSE(fs::exists(std::string(device) + ".part")) << device;
    }
#endif
}

#ifndef _WIN32  // a full disk is made with a file size limit
// The first failure of the run is kept, with the file it was for and the system's reason, until
// it is forgotten; an append is whole or leaves no file at all.
TEST(WholeFile, TheFirstFailureIsKeptAndAnAppendThatFailsLeavesNoFile) {
    const test_support::ScratchFolder folder;
    const std::string first = (folder.path() / "first.log").string();
    const std::string second = (folder.path() / "second.log").string();
    const auto* bytes = reinterpret_cast<const uint8_t*>(content.data());
    WholeFile::forgetFailures();

    std::ofstream(first) << "header\n";
    EXPECT_EQ(WholeFile::appendWhole(first, bytes, 5), Status::success());
    EXPECT_EQ(test_support::readFile(first), "header\n" + content.substr(0, 5));
    EXPECT_EQ(WholeFile::firstFailure().path, "");
    {
        const FileSizeLimit limit(4096);
        EXPECT_EQ(WholeFile::appendWhole(first, bytes, content.size()), Status::failedToWriteFile());
        EXPECT_EQ(WholeFile::write(second, bytes, content.size()), Status::failedToWriteFile());
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(WholeFile::firstFailure().path, first);
    EXPECT_EQ(WholeFile::firstFailure().reason, std::strerror(EFBIG));
    WholeFile::forgetFailures();
    EXPECT_EQ(WholeFile::firstFailure().path, "");
    EXPECT_EQ(WholeFile::appendWhole(second, bytes, content.size()), Status::success());
    EXPECT_EQ(test_support::readFile(second), content);
}
#endif
