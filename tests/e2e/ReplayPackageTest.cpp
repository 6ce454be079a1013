// A package replayed as a drive (--sim=PACKAGE), as a support engineer runs the tool against
// a customer's package: a package made from the replayed drive holds the same binaries, and a
// package with files missing replays what it holds.
#include "E2eSupport.h"

namespace e2e {
namespace {

using ReplayPackage = Workspace;

std::map<std::string, std::string> binariesOf(const fs::path& folder) {
    std::map<std::string, std::string> binaries;
    for (const auto& [name, bytes] : readZip(onlyPackage(folder))) {
        if (fs::path(name).extension() == ".bin") {
            binaries[name] = bytes;
        }
    }
    return binaries;
}

// The tool reads the performance debug pages only after the firmware parameters, which come
// over the vendor channel and which no package holds.
bool needsVendorChannel(const std::string& name) { return name.find("lid_0xfa_") != std::string::npos; }

TEST_F(ReplayPackage, PackageOfTheReplayedDriveHoldsTheSameBinaries) {
    for (const std::string profile : {"varnholt-nvme", "kestrova-nvme", "kestrova-sata"}) {
        clear();
        ASSERT_EQ(0, debugLogs({"--sim=" + profile}, {"-destination", "first"}, dir).exitStatus) << profile;
        const fs::path package = onlyPackage(dir / "first");
        const e2e::Run replay = debugLogs({"--sim=" + package.string()}, {"-destination", "second"}, dir);
        EXPECT_TRUE(contains(replay.out, builtInSerial(profile))) << replay.out;
        auto original = binariesOf(dir / "first");
        const auto replayed = binariesOf(dir / "second");
        for (auto it = original.begin(); it != original.end();) {
            it = needsVendorChannel(it->first) ? original.erase(it) : std::next(it);
        }
        EXPECT_FALSE(original.empty()) << profile;
        EXPECT_TRUE(original == replayed) << profile << ": " << original.size() << " vs " << replayed.size();
    }
}

TEST_F(ReplayPackage, UnpackedPackageWithFilesMissingReplaysWhatItHolds) {
    ASSERT_EQ(0, debugLogs({"--sim=kestrova-nvme"}, {"-destination", "first"}, dir).exitStatus);
    const fs::path unpacked = scratch / "unpacked";
    for (const auto& [name, bytes] : readZip(onlyPackage(dir / "first"))) {
        fs::create_directories((unpacked / name).parent_path());
        std::ofstream((unpacked / name).string(), std::ios::binary) << bytes;
    }
    const std::string missing = "log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin";
    ASSERT_TRUE(fs::remove(unpacked / missing));
    debugLogs({"--sim=" + unpacked.string()}, {"-destination", "second"}, dir);
    auto original = binariesOf(dir / "first");
    original.erase(missing);
    EXPECT_TRUE(original == binariesOf(dir / "second"));
}

}  // namespace
}  // namespace e2e
