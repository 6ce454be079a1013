// A debug-logs package read back whole by `ssdtool decode`, as the engineer who receives it
// does: every file in one run, hostile packages refused in bounded time (damaged files, special
// files and links are the decode command's own test).
#include <zip.h>

#include <cstring>
#include <set>

#include "E2eSupport.h"
#include "drivekit/features/PackageFileNames.h"

namespace e2e {
namespace {

using DecodePackage = Workspace;
using drivekit::features::PackageFileNames;

// The name made again from the numbers the name module reads from it; empty when it reads none.
std::string remade(const std::string& folder, const std::string& name) {
    if (folder == PackageFileNames::logPagesFolder) {
        PackageFileNames::LogPage page;
        return PackageFileNames::parseLogPage(name, page) ? PackageFileNames::logPage(page) : "";
    }
    std::string error;
    PackageFileNames::Identify structure;
    if (folder == PackageFileNames::identifyFolder) {
        const bool read = PackageFileNames::parseIdentify(name, structure, error) == PackageFileNames::Match::matches;
        return read ? PackageFileNames::identify(structure) : "";
    }
    const bool smart = name == PackageFileNames::smartData || name == PackageFileNames::smartThresholds;
    return folder == PackageFileNames::sataLogsFolder && smart ? name : "";
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

// The incident report names exactly the binaries packed, each write it counted (two pages of
// one name are two writes of one file); every binary's name reads back to itself.
TEST_F(DecodePackage, EveryFileOfEachBuiltInDrivesPackageDecodesInOneRunAndEveryBinaryIsReported) {
    const std::vector<std::pair<std::string, std::set<std::string>>> packages{
        {"kestrova-sata", {"SATA_logs"}}, {"kestrova-nvme", {"identify", "log_pages"}},
        {"varnholt-nvme", {"identify", "log_pages"}}};
    std::string decoded;
    for (const auto& [profile, folders] : packages) {
        SCOPED_TRACE(profile);
        clear();
        const auto made = debugLogs({"--sim=" + profile}, {"-extended"}, dir);
        ASSERT_EQ(0, made.exitStatus) << made.out << made.err;
        const fs::path package = onlyPackage(dir);
        const auto archive = readZip(package);
        const auto run = ssdtool({"decode", package.string()}, dir);
        EXPECT_EQ(0, run.exitStatus) << run.err;
        EXPECT_EQ("", run.err);
        std::size_t files = 0;
        std::set<std::string> binaries, binaryFolders;
        for (const auto& [name, bytes] : archive) {
            // Relative to the package folder.
            EXPECT_TRUE(name.front() != '/' && name.find(package.stem().string()) != 0) << name;
            if (name.back() == '/') {
                continue;
            }
            ++files;
            if (fs::path(name).extension() == ".bin") {
                binaries.insert(name);
                binaryFolders.insert(fs::path(name).parent_path().string());
                // Each name reads back to the numbers it was made from.
                const fs::path path(name);
                EXPECT_EQ(path.filename().string(), remade(path.parent_path().string(), path.filename().string()));
            }
            const std::string text = section(run.out, name);
            EXPECT_FALSE(text.empty()) << name;
            EXPECT_EQ(std::string::npos, text.find("damaged: ")) << name << "\n" << text;
            EXPECT_EQ(std::string::npos, text.find("no decoder: ")) << name << "\n" << text;
        }
        EXPECT_EQ(folders, binaryFolders);
        EXPECT_FALSE(contains(run.out, "Damaged or unreadable"));
        EXPECT_TRUE(contains(run.out, "\n  Files: " + std::to_string(files) + "\n"))
            << run.out.substr(run.out.rfind("Summary"));
        const auto saved = savedInReport(archive.at("incident_report.log"));
        EXPECT_EQ(binaries, std::set<std::string>(saved.begin(), saved.end()));
        EXPECT_TRUE(contains(made.out, "Total drive logs generated: " + std::to_string(saved.size()) + "\n"));
        decoded = run.out;
    }

    // The telemetry headers show the data areas' ends the drive keeps (the other header fields
    // are the decode command's own test).
    const auto telemetry = builtInProfile("varnholt-nvme").at("nvme").at("telemetry");
    for (const auto& [name, key] :
         {std::pair<std::string, std::string>{"log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin", "hostInitiated"},
          {"log_pages/lid_0x08_lsp_0x00_lsi_0x0000.bin", "controllerInitiated"}}) {
        const std::string text = section(decoded, name);
        for (int area = 1; area <= 3; ++area) {
            EXPECT_TRUE(contains(text, "Data Area " + std::to_string(area) + " Last Block: " +
                                           std::to_string(telemetry.at(key).at(area - 1).get<unsigned>()) + "\n"))
                << text;
        }
    }
    EXPECT_TRUE(contains(section(decoded, "identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin"),
                         ": " + builtInSerial() + "\n"));
}

TEST_F(DecodePackage, HostilePackagesEndQuicklyWithAClearMessage) {
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

    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {(scratch / "bomb.zip").string(), 1,
         "log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin: cannot read it: it declares 4294967280 bytes, more than the "
         "2147483648 that one file may hold\n"},
        {(scratch / "long.zip").string(), 0, ""},
    };
    for (const auto& [input, status, message] : cases) {
        const auto run = ssdtool({"decode", input}, dir);
        EXPECT_EQ(status, run.exitStatus) << input << "\n" << run.err;
        EXPECT_TRUE(contains(run.err, message)) << input << "\n" << run.err;
        EXPECT_EQ(message.empty(), run.err.empty()) << run.err;
        if (status == 0) {  // a long entry name is shown by its start and its length
            EXPECT_TRUE(contains(run.out, "== " + std::string(200, 'n') + "... (5000 characters) ==\n")) << run.out;
            EXPECT_LT(run.out.size(), 2000u);
        }
    }
}

}  // namespace e2e
