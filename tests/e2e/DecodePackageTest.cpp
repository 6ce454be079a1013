// A debug-logs package read back whole by `ssdtool decode`, as the engineer who receives it
// does: every file in one run, showing what the drive served, and hostile packages refused in
// bounded time (damaged files, special files and links are the decode command's own test).
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

std::string identifyName(unsigned cns, uint32_t nsid) {
    return "identify/cntid_0_cns_" + std::to_string(cns) + "_nsid_" + std::to_string(nsid) + "_nvmsetid_0_csi_0.bin";
}

// The little-endian number of T's size at byte at.
template <typename T>
T le(const std::string& bytes, std::size_t at) {
    T value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

}  // namespace

// The incident report names exactly the binaries packed, each write it counted (two pages of
// one name are two writes of one file); every binary's name reads back to itself.
TEST_F(DecodePackage, EveryFileOfEachBuiltInDrivesPackageDecodesInOneRunAndEveryBinaryIsReported) {
    const std::vector<std::pair<std::string, std::set<std::string>>> packages{
        {"kestrova-sata", {"SATA_logs"}}, {"kestrova-nvme", {"identify", "log_pages"}},
        {"varnholt-nvme", {"identify", "log_pages"}}};
    std::string decoded;
    std::map<std::string, std::string> archive;
    for (const auto& [profile, folders] : packages) {
        SCOPED_TRACE(profile);
        clear();
        const auto made = debugLogs({"--sim=" + profile}, {"-extended"}, dir);
        ASSERT_EQ(0, made.exitStatus) << made.out << made.err;
        const fs::path package = onlyPackage(dir);
        archive = readZip(package);
        const auto run = ssdtool({"decode", package.string()}, dir);
        EXPECT_EQ(0, run.exitStatus) << run.err;
        EXPECT_EQ("", run.err);
        std::size_t files = 0;
        std::set<std::string> binaries, binaryFolders;
        for (const auto& [name, bytes] : archive) {
            EXPECT_TRUE(name.front() != '/' && name.find(package.stem().string()) != 0) << name;
            if (name.back() == '/') {
                continue;
            }
            ++files;
            if (fs::path(name).extension() == ".bin") {
                binaries.insert(name);
                binaryFolders.insert(fs::path(name).parent_path().string());
                const fs::path path(name);
                EXPECT_EQ(path.filename().string(), remade(path.parent_path().string(), path.filename().string()));
            }
            const std::string text = section(run.out, name);
            EXPECT_FALSE(text.empty()) << name;
            EXPECT_FALSE(contains(text, "damaged: ") || contains(text, "no decoder: ")) << name << "\n" << text;
        }
        EXPECT_EQ(folders, binaryFolders);
        EXPECT_FALSE(contains(run.out, "Damaged or unreadable"));
        EXPECT_TRUE(contains(run.out, "\n  Files: " + std::to_string(files) + "\n"))
            << run.out.substr(run.out.rfind("Summary"));
        // The report names every binary and the manifest, which is no drive log.
        const auto saved = savedInReport(archive.at("incident_report.log"));
        binaries.insert("manifest.json");
        EXPECT_EQ(binaries, std::set<std::string>(saved.begin(), saved.end()));
        EXPECT_TRUE(contains(made.out, "Total drive logs generated: " + std::to_string(saved.size() - 1) + "\n"));
        decoded = run.out;
    }

    // The last package is the default drive's. The telemetry headers show the data areas' ends
    // the drive keeps (the other header fields are the decode command's own test).
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
    EXPECT_TRUE(contains(section(decoded, identifyName(0x01, 0)), ": " + builtInSerial() + "\n"));
    // Two attached namespaces and a third that is only allocated, as served and decoded; which
    // structures each list calls for is the collector's unit test, here every one whole.
    const std::vector<std::pair<unsigned, std::vector<uint32_t>>> lists{{0x02, {1, 2, 0}}, {0x10, {1, 2, 3, 0}}};
    for (const auto& [cns, ids] : lists) {
        const std::string text = section(decoded, identifyName(cns, 0));
        for (std::size_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(ids[i], le<uint32_t>(archive.at(identifyName(cns, 0)), 4 * i)) << cns;
            const std::string row = "Namespace ID " + std::to_string(i) + ": " + std::to_string(ids[i]) + "\n";
            EXPECT_TRUE(ids[i] == 0 || contains(text, row)) << text;
        }
    }
    for (const auto& [name, bytes] : archive) {
        EXPECT_TRUE(name.rfind("identify/", 0) != 0 || name == "identify/" || bytes.size() == 4096) << name;
    }
    const std::string& controller = archive.at(identifyName(0x01, 0));
    EXPECT_EQ("{\n    \"product\": " + std::to_string(static_cast<uint8_t>(controller.at(0xF05))) + "\n}",
              archive.at("product.json"));
    // Sizes as the drive stored them in each namespace's structure.
    for (const auto& [cns, nsid] : std::vector<std::pair<unsigned, uint32_t>>{{0x00, 1}, {0x00, 2}, {0x11, 3}}) {
        const std::string& bytes = archive.at(identifyName(cns, nsid));
        const std::string text = section(decoded, identifyName(cns, nsid));
        EXPECT_EQ(0u, text.find("Identify Namespace\n")) << text;
        EXPECT_TRUE(contains(text, "Namespace Size (NSZE): " + std::to_string(le<uint64_t>(bytes, 0)) + "\n")) << text;
        EXPECT_NE(0u, le<uint64_t>(bytes, 0));
    }
    // The domain list shows what the drive reported (the other structures' fields are the
    // decoders' own tests).
    const std::string domains = section(decoded, identifyName(0x18, 0));
    const uint64_t unallocated = le<uint64_t>(archive.at(identifyName(0x18, 0)), 160);
    EXPECT_TRUE(contains(domains, "Unallocated Domain Capacity: " + std::to_string(unallocated) + "\n")) << domains;
}

TEST_F(DecodePackage, HostilePackagesEndQuicklyWithAClearMessage) {
    // An entry that declares 4 GiB, as a ZIP bomb does: refused before a byte is inflated.
    test_support::writeStoredZip(scratch / "bomb.zip",
                                 {{"log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin", std::string(64, 'B')},
                                  {"identify/cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", std::string(4096, '\0')}});
    std::string bomb = readFile(scratch / "bomb.zip");
    const uint32_t declared = 0xFFFFFFF0;
    std::memcpy(&bomb[bomb.find("PK\x03\x04") + 22], &declared, 4);
    std::memcpy(&bomb[bomb.find("PK\x01\x02") + 24], &declared, 4);
    std::ofstream((scratch / "bomb.zip").string(), std::ios::binary) << bomb;
    test_support::writeStoredZip(scratch / "long.zip", {{std::string(5000, 'n'), "x"}});

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
