// A package replayed as a drive (--sim=PACKAGE), as a support engineer runs the tool against
// a customer's package: a package made from the replayed drive holds the same drive data, and
// a package with files missing, cut or damaged replays what it holds whole and fails the rest.
#include "E2eSupport.h"

namespace e2e {
namespace {

using ReplayPackage = Workspace;

// What the drive answered, as the package keeps it: the binaries and the product type.
std::map<std::string, std::string> driveDataOf(const std::map<std::string, std::string>& archive) {
    std::map<std::string, std::string> data;
    for (const auto& [name, bytes] : archive) {
        if (fs::path(name).extension() == ".bin" || name == "product.json") {
            data[name] = bytes;
        }
    }
    return data;
}

std::map<std::string, std::string> driveDataOf(const fs::path& folder) {
    return driveDataOf(readZip(onlyPackage(folder)));
}

TEST_F(ReplayPackage, PackageOfTheReplayedDriveHoldsTheSameDriveData) {
    for (const std::string profile : {"varnholt-nvme", "kestrova-nvme", "kestrova-sata"}) {
        SCOPED_TRACE(profile);
        clear();
        ASSERT_EQ(0, debugLogs({"--sim=" + profile}, {"-destination", "first"}, dir).exitStatus);
        const fs::path package = onlyPackage(dir / "first");
        const e2e::Run replay = debugLogs({"--sim=" + package.string()}, {"-destination", "second"}, dir);
        EXPECT_EQ(0, replay.exitStatus) << replay.out << replay.err;
        EXPECT_TRUE(contains(replay.out, builtInSerial(profile))) << replay.out;
        const auto original = driveDataOf(dir / "first");
        EXPECT_FALSE(original.empty());
        // The drive's names too, where a SATA package has only its manifest to tell them.
        const auto driveIn = [](const fs::path& folder) {
            return nlohmann::json::parse(readZip(onlyPackage(folder)).at("manifest.json")).at("drive");
        };
        EXPECT_EQ(driveIn(dir / "first"), driveIn(dir / "second"));
        // The maker's pages that follow the vendor channel's answers are among them.
        EXPECT_EQ(profile == "varnholt-nvme", original.count("log_pages/lid_0xfa_lsp_0x00_lsi_0x0000.bin") == 1);
        const auto replayed = driveDataOf(dir / "second");
        EXPECT_TRUE(original == replayed) << original.size() << " vs " << replayed.size();
    }
}

TEST_F(ReplayPackage, AFileMissingCutOrDamagedIsNotReplayedAndTheRestIs) {
    ASSERT_EQ(0, debugLogs({"--sim=kestrova-nvme"}, {"-destination", "first"}, dir).exitStatus);
    const auto archive = readZip(onlyPackage(dir / "first"));
    const std::string page = "log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin";
    const std::string identify = "identify/cntid_0_cns_6_nsid_0_nvmsetid_0_csi_0.bin";
    enum class Harm { removed, cut, flippedInTheArchive };
    const struct {
        std::string file;
        Harm harm;
    } cases[] = {{page, Harm::removed}, {page, Harm::cut}, {identify, Harm::cut}, {page, Harm::flippedInTheArchive}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(static_cast<int>(c.harm)));
        ASSERT_EQ(1u, archive.count(c.file));
        fs::remove_all(scratch / "harmed");
        fs::remove_all(dir / "second");
        std::vector<std::pair<std::string, std::string>> kept;
        for (const auto& [name, bytes] : archive) {
            if (name.back() == '/' || (name == c.file && c.harm == Harm::removed)) {
                continue;
            }
            kept.emplace_back(name, name == c.file && c.harm == Harm::cut ? bytes.substr(0, bytes.size() / 2) : bytes);
        }
        fs::path harmed = scratch / "harmed";
        if (c.harm == Harm::flippedInTheArchive) {
            // Stored entries: the file's bytes stand in the archive as they are, one is flipped.
            harmed /= "package.zip";
            fs::create_directories(harmed.parent_path());
            test_support::writeStoredZip(harmed, kept);
            std::string zip = readFile(harmed);
            const auto at = zip.find(archive.at(c.file).substr(0, 64));
            ASSERT_NE(std::string::npos, at);
            zip[at + 10] = static_cast<char>(zip[at + 10] ^ 0x40);
            std::ofstream(harmed.string(), std::ios::binary | std::ios::trunc) << zip;
        } else {
            for (const auto& [name, bytes] : kept) {
                fs::create_directories((harmed / name).parent_path());
                std::ofstream((harmed / name).string(), std::ios::binary) << bytes;
            }
        }
        const e2e::Run replay = debugLogs({"--sim=" + harmed.string()}, {"-destination", "second"}, dir);
        EXPECT_EQ(0, replay.exitStatus) << replay.out << replay.err;
        auto expected = driveDataOf(archive);
        expected.erase(c.file);
        EXPECT_TRUE(expected == driveDataOf(dir / "second"));
    }
}

}  // namespace
}  // namespace e2e
