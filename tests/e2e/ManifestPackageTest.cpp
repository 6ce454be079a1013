// manifest.json read back as the engineer who receives a package checks it: every file with
// its size and SHA-256, the drive changes the trace shows each put back, and a damaged copy
// named by decode.
#include <fstream>

#include "E2eSupport.h"
#include "drivekit/core/Sha256.h"

namespace e2e {
namespace {

using ManifestPackage = Workspace;

// Trace lines of Set Features (opcode 0x09) and of host-initiated telemetry reads that ask for
// a new capture (LID 0x07 with the create bit of the log-specific field).
std::pair<std::size_t, std::size_t> tracedChanges(const std::string& trace) {
    std::size_t sets = 0, captures = 0;
    for (const std::string& line : lines(trace)) {
        sets += contains(line, "NVME opc=0x09 ") ? 1 : 0;
        const auto at = line.find("cdw10=0x");
        const bool logRead = contains(line, "NVME opc=0x02 ") && at != std::string::npos;
        const unsigned long cdw10 = logRead ? std::stoul(line.substr(at + 8, 8), nullptr, 16) : 0;
        captures += logRead && (cdw10 & 0xFF) == 0x07 && (cdw10 & 0x100) != 0 ? 1 : 0;
    }
    return {sets, captures};
}

TEST_F(ManifestPackage, ListsEveryFileWithItsDigestAndEachDriveChangePutBack) {
    for (const std::string profile : {"kestrova-sata", "kestrova-nvme", "varnholt-nvme"}) {
        SCOPED_TRACE(profile);
        clear();
        const fs::path trace = scratch / (profile + ".trace");
        const auto made = debugLogs({"--sim=" + profile, "--sim-trace=" + trace.string()}, {"-extended"}, dir);
        ASSERT_EQ(0, made.exitStatus) << made.out << made.err;
        const auto archive = readZip(onlyPackage(dir));
        ASSERT_EQ(1u, archive.count("manifest.json"));
        const auto manifest = nlohmann::json::parse(archive.at("manifest.json"));
        EXPECT_EQ("simulated", manifest.at("drive").at("connection")) << manifest.at("drive").dump();
        std::set<std::string> listed, packed;
        for (const auto& file : manifest.at("files")) {
            const std::string path = file.at("path");
            listed.insert(path);
            ASSERT_EQ(1u, archive.count(path)) << path;
            EXPECT_EQ(archive.at(path).size(), file.at("size").get<std::size_t>()) << path;
            EXPECT_EQ(drivekit::core::Sha256::of(archive.at(path)), file.at("sha256").get<std::string>()) << path;
            // A log page's file names reads of that page only, from its first byte; an Identify
            // structure's file Identify commands only.
            const auto lid = path.find("lid_0x");
            const bool identify = path.rfind("identify/", 0) == 0;
            std::size_t fromStart = 0;
            for (const auto& command : file.at("commands")) {
                fromStart += command.value("firstByte", 1u) == 0 ? 1 : 0;
                EXPECT_TRUE(lid == std::string::npos ||
                            command.value("lid", 0ul) == std::stoul(path.substr(lid + 6, 2), nullptr, 16)) << path;
                EXPECT_TRUE(!identify || command.value("opcode", 0u) == 6) << path;
            }
            EXPECT_TRUE(lid == std::string::npos || fromStart >= 1) << path;
            // Every binary was read by commands of its own, the SMART sectors' too.
            EXPECT_TRUE(fs::path(path).extension() != ".bin" || !file.at("commands").empty()) << path;
        }
        for (const auto& [name, bytes] : archive) {
            if (name.back() != '/' && name != "manifest.json") {
                packed.insert(name);
            }
        }
        EXPECT_EQ(packed, listed);
        const auto [sets, captures] = tracedChanges(readFile(trace));
        std::size_t settings = 0, newCaptures = 0;
        for (const auto& change : manifest.at("driveChanges")) {
            const bool capture = contains(change.at("what"), "telemetry capture");
            (capture ? newCaptures : settings) += 1;
            EXPECT_EQ(!capture, change.at("putBack").get<bool>()) << change.dump();
            // A setting is read before it is changed, so that it is put back as it was.
            EXPECT_EQ(!capture, change.contains("before")) << change.dump();
        }
        // Each setting changed is one Set Features and one more that puts it back.
        EXPECT_EQ(sets, 2 * settings);
        EXPECT_EQ(captures, newCaptures);
    }
}

TEST_F(ManifestPackage, AFlippedByteOrALostFileIsNamedAsDamaged) {
    ASSERT_EQ(0, debugLogs({"--sim"}, {}, dir).exitStatus);
    const auto archive = readZip(onlyPackage(dir));
    const std::string identify = "identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin";
    const struct {
        std::string file;
        bool lost;  // left out of the copy; otherwise one of its bytes is flipped
        std::string reason;
    } cases[] = {{identify, false, "its SHA-256 differs from the manifest's"},
                 {"log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin", true,
                  "missing: the manifest lists it, the package does not hold it"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(1u, archive.count(c.file));
        const fs::path unpacked = scratch / "unpacked";
        fs::remove_all(unpacked);
        for (auto [name, bytes] : archive) {
            if (name.back() == '/' || (c.lost && name == c.file)) {
                continue;
            }
            if (name == c.file) {
                bytes[100] = static_cast<char>(bytes[100] ^ 0x01);
            }
            fs::create_directories((unpacked / name).parent_path());
            std::ofstream(unpacked / name, std::ios::binary) << bytes;
        }
        const auto run = ssdtool({"decode", unpacked.string()}, dir);
        EXPECT_EQ(1, run.exitStatus);
        EXPECT_EQ(1u, lines(run.err).size()) << run.err;
        EXPECT_TRUE(contains(run.err, c.file + ": " + c.reason)) << run.err;
    }
}

}  // namespace
}  // namespace e2e
