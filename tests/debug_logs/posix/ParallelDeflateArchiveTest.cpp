// Archives with members deflated in parallel, read by other programs' readers: Info-ZIP's unzip
// and Python's zipfile, which check every CRC and size against the data.
#include <sys/wait.h>
#include <zip.h>
#include <zlib.h>

#include <boost/algorithm/string/predicate.hpp>

#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>

#include "drivekit/core/StopRequest.h"
#include "plugins/plugin.debug_logs/debug_logs_common/BlockDeflater.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DeflatedFileSource.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;

namespace {

constexpr std::uintmax_t MiB = std::uintmax_t{1} << 20;

// Every entry's name, size, CRC-32 and method as Python reads them, after zipfile read each
// entry whole (it raises on a CRC that does not match), and whether any uses a data descriptor.
const char* const pythonCheck = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    for info in archive.infolist():
        with archive.open(info) as member:
            while member.read(1 << 24):
                pass
        print(info.filename, info.file_size, '%08x' % info.CRC, info.compress_type, info.flag_bits & 8)
)";

// The standard output of a shell command and its exit status.
std::pair<std::string, int> run(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t count = 0;
    while (pipe != nullptr && (count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        output.append(buffer, count);
    }
    const int status = pipe == nullptr ? -1 : ::pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// unzip -t accepts the archive, and Python's lines for it.
std::string readersView(const fs::path& archive) {
    const auto [unzipOutput, unzipStatus] = run("unzip -t '" + archive.string() + "' 2>&1");
    EXPECT_EQ(unzipStatus, 0) << unzipOutput;
    const auto [lines, pythonStatus] = run("python3 -c \"$SCRIPT\" '" + archive.string() + "' 2>&1");
    EXPECT_EQ(pythonStatus, 0) << lines;
    return lines;
}

std::string pythonLine(const std::string& name, std::uintmax_t size, std::uint32_t crc) {
    char text[32];
    std::snprintf(text, sizeof(text), "%08x", crc);
    return name + " " + std::to_string(size) + " " + text + " 8 0\n";
}

// Noise over a small alphabet with repeats: compresses to about half, as device logs do.
std::string logLike(std::uintmax_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at < size; ++at) {
        bytes[at] = at > 512 && at % 64 < 24 ? bytes[at - 512] : static_cast<char>('A' + random() % 48);
    }
    return bytes;
}

std::uint32_t crcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Packs each file through the parallel source alone, with the given threads.
void packInParallel(const fs::path& archivePath, const std::vector<fs::path>& files, unsigned threads, int level = 6) {
    int code = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const fs::path& file : files) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = dl::deflatedFileSource(file, threads, error, level);
        ASSERT_NE(source, nullptr) << zip_error_strerror(&error);
        ASSERT_GE(zip_file_add(archive, file.filename().c_str(), source, 0), 0) << zip_strerror(archive);
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

class ParallelDeflateArchive : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("SCRIPT", pythonCheck, 1); }
    ScratchFolder scratch;
};

}  // namespace

// Sizes around the block boundaries and around the size from which the packer deflates in
// parallel, with one thread and with several.
TEST_F(ParallelDeflateArchive, ReadersAcceptEveryMemberWithItsSizeAndCrc) {
    const std::uintmax_t block = dl::BlockDeflater::defaultBlockBytes;
    const std::uintmax_t sizes[] = {0, 1, block - 1, block, block + 1, 3 * block + 5};
    std::vector<fs::path> files;
    std::string expected;
    for (const std::uintmax_t size : sizes) {
        files.push_back(scratch.path() / ("log" + std::to_string(size) + ".bin"));
        const std::string bytes = logLike(size);
        std::ofstream(files.back().string(), std::ios::binary) << bytes;
        expected += pythonLine(files.back().filename().string(), size, crcOf(bytes));
    }
    for (const unsigned threads : {1u, 2u}) {
        const fs::path archive = scratch.path() / ("threads" + std::to_string(threads) + ".zip");
        packInParallel(archive, files, threads);
        EXPECT_EQ(readersView(archive), expected) << threads << " threads";
    }

    // Through the packer: the first two are left to libzip, the others are deflated in parallel.
    const fs::path folder = scratch.path() / "pkg";
    fs::create_directories(folder);
    expected.clear();
    for (const std::uintmax_t size : {std::uintmax_t{0}, dl::parallelDeflateFromBytes - 1, dl::parallelDeflateFromBytes,
                                      dl::parallelDeflateFromBytes + block + 1}) {
        const std::string name = "telemetry" + std::to_string(size) + ".bin", bytes = logLike(size);
        std::ofstream((folder / name).string(), std::ios::binary) << bytes;
        expected += pythonLine(name, size, crcOf(bytes));
    }
    // A link left under the temporary name is replaced, not written through.
    std::ofstream((scratch.path() / "elsewhere").string()) << "kept";
    fs::create_symlink(scratch.path() / "elsewhere", scratch.path() / "pkg.zip.part");
    std::string problem;
    ConsoleCapture console;
    ASSERT_EQ(dl::createZipArchive(folder.string(), "*", "pkg.zip", false, problem), 0) << problem;
    EXPECT_EQ(readersView(scratch.path() / "pkg.zip"), expected);
    EXPECT_TRUE(readFile(scratch.path() / "elsewhere") == "kept") << "written through the link";
    EXPECT_FALSE(fs::exists(fs::symlink_status(scratch.path() / "pkg.zip.part")));
}

// A member of more than 4 GiB (a sparse file: zeros, then a few bytes) is a ZIP64 entry that
// both readers take whole. Level 1: only the size matters here, and it deflates zeros faster.
TEST_F(ParallelDeflateArchive, MemberOverFourGibibytesIsAZip64Entry) {
    const fs::path file = scratch.path() / "huge.bin";
    const std::uintmax_t size = (std::uintmax_t{4} << 30) + MiB + 3;
    {
        std::ofstream(file.string(), std::ios::binary).close();
        fs::resize_file(file, size - 3);
        std::ofstream(file.string(), std::ios::binary | std::ios::app) << "end";
    }
    ASSERT_EQ(fs::file_size(file), size);
    const fs::path archive = scratch.path() / "huge.zip";
    packInParallel(archive, {file}, dl::BlockDeflater::threadsToUse(), 1);
    const std::string lines = readersView(archive);
    EXPECT_EQ(lines.rfind("huge.bin " + std::to_string(size) + " ", 0), 0u) << lines;
    EXPECT_TRUE(boost::algorithm::ends_with(lines, " 8 0\n")) << lines;
}

// A stop while a large member is being deflated abandons the archive: neither it nor the
// temporary file is left, and the folder stays as it was.
TEST_F(ParallelDeflateArchive, StopDuringParallelPackingLeavesNoArchive) {
    const fs::path folder = scratch.path() / "pkg";
    fs::create_directories(folder);
    std::ofstream((folder / "telemetry.bin").string(), std::ios::binary) << logLike(48 * MiB);
    std::atomic<bool> packed{false}, stopped{false};
    std::thread watcher([&] {
        // The packer writes into a temporary file beside the archive: it is packing once that shows.
        while (!packed && !stopped) {
            for (const auto& name : folderEntries(scratch.path())) {
                if (name.rfind("pkg.zip.part", 0) == 0) {
                    drivekit::core::StopRequest::request(2);
                    stopped = true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::string problem;
    ConsoleCapture console;
    const int result = dl::createZipArchive(folder.string(), "*", "pkg.zip", false, problem);
    packed = true;
    watcher.join();
    drivekit::core::StopRequest::clear();
    ASSERT_TRUE(stopped) << "the packing ended before the stop";
    EXPECT_NE(result, 0);
    EXPECT_NE(problem.find("cancelled"), std::string::npos) << problem;
    EXPECT_EQ(folderEntries(scratch.path()), std::vector<std::string>{"pkg"});
    EXPECT_EQ(fs::file_size(folder / "telemetry.bin"), 48 * MiB);
}
