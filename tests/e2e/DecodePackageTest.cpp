// A debug-logs package read back whole by `ssdtool decode`, as the engineer who receives it
// does: every file in one run, the damaged ones named, hostile packages refused in bounded time.
#include <sys/stat.h>
#include <zip.h>

#include <cstring>

#include "E2eSupport.h"

namespace e2e {
namespace {

using DecodePackage = Workspace;

// The section of one file: from its heading to the next.
std::string section(const std::string& out, const std::string& name) {
    const std::string heading = "== " + name + " ==\n";
    const auto begin = out.find(heading);
    if (begin == std::string::npos) {
        return {};
    }
    const auto end = out.find("\n== ", begin + heading.size());
    return out.substr(begin + heading.size(), end == std::string::npos ? std::string::npos : end - begin - heading.size());
}

unsigned byteAt(const std::string& bytes, std::size_t at) { return static_cast<unsigned char>(bytes.at(at)); }

fs::path makePackage(const fs::path& dir, const std::string& drive = "--sim") {
    const auto run = ssdtool({drive, "dump", "-debuglogs", "-ssd", "0"}, dir);
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".zip") {
            return entry.path();
        }
    }
    ADD_FAILURE() << "no package in " << dir;
    return {};
}

// A ZIP archive of stored entries, written with libzip.
void writeZip(const fs::path& file, const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(nullptr, archive);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
        ASSERT_GE(index, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(0, zip_close(archive));
}

}  // namespace

TEST_F(DecodePackage, EveryFileOfAPackageDecodesInOneRun) {
    const fs::path package = makePackage(dir);
    const auto archive = readZip(package);
    const auto run = ssdtool({"decode", package.string()}, dir);
    EXPECT_EQ(0, run.exitStatus) << run.err;
    EXPECT_EQ("", run.err);
    std::size_t files = 0;
    for (const auto& [name, bytes] : archive) {
        if (name.back() == '/') {
            continue;
        }
        ++files;
        const std::string text = section(run.out, name);
        EXPECT_FALSE(text.empty()) << name;
        EXPECT_EQ(std::string::npos, text.find("damaged: ")) << name << "\n" << text;
        EXPECT_EQ(std::string::npos, text.find("no decoder: ")) << name << "\n" << text;
    }
    EXPECT_FALSE(contains(run.out, "Damaged or unreadable"));
    EXPECT_TRUE(contains(run.out, "\n  Files: " + std::to_string(files) + "\n"))
        << run.out.substr(run.out.rfind("Summary"));

    // The telemetry headers show what the drive served: its data areas' ends and the size read.
    const auto telemetry = builtInProfile("varnholt-nvme").at("nvme").at("telemetry");
    for (const auto& [name, key] : {std::pair<std::string, std::string>{"log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin", "hostInitiated"},
                                    {"log_pages/lid_0x08_lsp_0x00_lsi_0x0000.bin", "controllerInitiated"}}) {
        const std::string& bytes = archive.at(name);
        const std::string text = section(run.out, name);
        for (int area = 1; area <= 3; ++area) {
            EXPECT_TRUE(contains(text, "Data Area " + std::to_string(area) + " Last Block: " +
                                           std::to_string(telemetry.at(key).at(area - 1).get<unsigned>()) + "\n"))
                << text;
        }
        EXPECT_TRUE(contains(text, "Log Size (bytes): " + std::to_string(bytes.size()) + "\n")) << text;
        EXPECT_TRUE(contains(text, "Body Size (bytes): " + std::to_string(bytes.size() - 512) + "\n")) << text;
        EXPECT_TRUE(contains(text, "Host-Initiated Data Generation Number: " + std::to_string(byteAt(bytes, 381))));
        EXPECT_TRUE(contains(text, "Controller-Initiated Data Generation Number: " + std::to_string(byteAt(bytes, 383))));
    }
    EXPECT_TRUE(contains(section(run.out, "identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin"),
                         ": " + builtInSerial() + "\n"));
}

TEST_F(DecodePackage, TheSmartDataSectorOfASataPackageIsReadWithTheThresholdsBesideIt) {
    const fs::path package = makePackage(dir, "--sim=kestrova-sata");
    const auto archive = readZip(package);
    const auto run = ssdtool({"decode", package.string()}, dir);
    EXPECT_EQ(0, run.exitStatus) << run.err;
    EXPECT_FALSE(contains(run.out, "no decoder: ")) << run.out;
    // The first attribute entry of each sector (bytes 2 on), as the drive served them.
    const std::string& data = archive.at("SATA_logs/SMART_DATA.bin");
    const std::string& thresholds = archive.at("SATA_logs/SMART_THRESHOLDS.bin");
    ASSERT_EQ(byteAt(data, 2), byteAt(thresholds, 2));
    const std::string text = section(run.out, "SATA_logs/SMART_DATA.bin");
    EXPECT_TRUE(contains(text, "Normalized: " + std::to_string(byteAt(data, 5)) + "\n")) << text;
    EXPECT_TRUE(contains(text, "Threshold: " + std::to_string(byteAt(thresholds, 3)) + "\n")) << text;
    EXPECT_TRUE(contains(section(run.out, "SATA_logs/SMART_THRESHOLDS.bin"), "Threshold: " + std::to_string(byteAt(thresholds, 3))));
}

TEST_F(DecodePackage, ADamagedFileIsNamedAndTheOthersStillDecode) {
    const auto archive = readZip(makePackage(dir));
    const fs::path unpacked = scratch / "unpacked";
    for (const auto& [name, bytes] : archive) {
        if (name.back() != '/') {
            fs::create_directories((unpacked / name).parent_path());
            std::ofstream((unpacked / name).string(), std::ios::binary) << bytes;
        }
    }
    const std::string telemetry = "log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin";
    const std::string controller = "identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin";
    fs::resize_file(unpacked / telemetry, 4096);
    fs::resize_file(unpacked / controller, 1000);

    const auto run = ssdtool({"decode", unpacked.string()}, dir);
    EXPECT_EQ(1, run.exitStatus);
    const auto errors = lines(run.err);
    ASSERT_EQ(2u, errors.size()) << run.err;
    EXPECT_EQ("decode: " + unpacked.string() + ": " + controller + ": The Identify Controller data holds 1000 bytes; "
              "the structure needs 4096.", errors[0]);
    EXPECT_TRUE(contains(errors[1], unpacked.string() + ": " + telemetry + ": The telemetry log is cut short: "
                                    "the header's data areas end at byte 61952; the log holds 4096."))
        << errors[1];
    // What the cut log holds is still shown; the other files decode as before.
    EXPECT_TRUE(contains(section(run.out, telemetry), "Data Area 3 Last Block: 120\n"));
    EXPECT_TRUE(contains(section(run.out, "identify/cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin"), "Namespace Size (NSZE): "));
    EXPECT_TRUE(contains(run.out, "Damaged or unreadable\n    " + controller + ": The Identify Controller data"));
}

TEST_F(DecodePackage, HostilePackagesEndQuicklyWithAClearMessage) {
    fs::create_symlink("/dev/zero", scratch / "zero.zip");
    ASSERT_EQ(0, ::mkfifo((scratch / "fifo.zip").c_str(), 0600));
    // An entry that declares 4 GiB, as a ZIP bomb does: refused before a byte is inflated.
    writeZip(scratch / "bomb.zip", {{"log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin", std::string(64, 'B')},
                                    {"identify/cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", std::string(4096, '\0')}});
    std::string bomb = readFile(scratch / "bomb.zip");
    const uint32_t declared = 0xFFFFFFF0;
    std::memcpy(&bomb[bomb.find("PK\x03\x04") + 22], &declared, 4);
    std::memcpy(&bomb[bomb.find("PK\x01\x02") + 24], &declared, 4);
    std::ofstream((scratch / "bomb.zip").string(), std::ios::binary) << bomb;
    const std::string longName(5000, 'n');
    writeZip(scratch / "long.zip", {{longName, "x"}});
    fs::create_directories(scratch / "loop" / "identify");
    fs::create_directory_symlink("..", scratch / "loop" / "identify" / "back");

    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"/dev/zero", 1, "decode: /dev/zero: no decoder for a file of this name\n"},
        {(scratch / "zero.zip").string(), 2, "cannot read the package: not a regular file but a device\n"},
        {(scratch / "fifo.zip").string(), 2, "cannot read the package: not a regular file but a FIFO\n"},
        {(scratch / "bomb.zip").string(), 1,
         "log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin: cannot read it: it declares 4294967280 bytes, more than the "
         "2147483648 that one file may hold\n"},
        {(scratch / "loop").string(), 1, "identify/back: cannot read it: a symbolic link; links are not followed\n"},
        {(scratch / "long.zip").string(), 0, ""},
    };
    for (const auto& [input, status, message] : cases) {
        const auto run = ssdtool({"decode", input}, dir);
        EXPECT_EQ(status, run.exitStatus) << input << "\n" << run.err;
        EXPECT_TRUE(contains(run.err, message)) << input << "\n" << run.err;
        EXPECT_EQ(message.empty(), run.err.empty()) << run.err;
    }
    // A long entry name is shown by its start and its length.
    const auto run = ssdtool({"decode", (scratch / "long.zip").string()}, dir);
    EXPECT_TRUE(contains(run.out, "== " + std::string(200, 'n') + "... (5000 characters) ==\n")) << run.out.substr(0, 300);
    EXPECT_LT(run.out.size(), 2000u);
}

}  // namespace e2e
