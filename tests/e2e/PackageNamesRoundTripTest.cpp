// Every binary a package holds is named by the one module that makes and reads the names: each
// name read back and made again is the same name, for the packages of every built-in drive.
#include <set>

#include "E2eSupport.h"
#include "drivekit/features/PackageFileNames.h"

namespace e2e {
namespace {

using drivekit::features::PackageFileNames;

// The name made again from the numbers the module reads from it; empty when it reads none.
std::string remade(const std::string& folder, const std::string& name) {
    if (folder == PackageFileNames::logPagesFolder) {
        PackageFileNames::LogPage page;
        return PackageFileNames::parseLogPage(name, page) ? PackageFileNames::logPage(page) : "";
    }
    if (folder == PackageFileNames::identifyFolder) {
        PackageFileNames::Identify structure;
        std::string error;
        const bool read = PackageFileNames::parseIdentify(name, structure, error) ==
                          PackageFileNames::Match::matches;
        return read ? PackageFileNames::identify(structure) : "";
    }
    const bool smart = name == PackageFileNames::smartData || name == PackageFileNames::smartThresholds;
    return folder == PackageFileNames::sataLogsFolder && smart ? name : "";
}

class PackageNames : public Workspace {};

TEST_F(PackageNames, EveryBinaryOfEveryBuiltInPackageReadsBackToItsOwnName) {
    const std::map<std::string, std::set<std::string>> foldersOf{
        {"varnholt-nvme", {PackageFileNames::logPagesFolder, PackageFileNames::identifyFolder}},
        {"kestrova-nvme", {PackageFileNames::logPagesFolder, PackageFileNames::identifyFolder}},
        {"kestrova-sata", {PackageFileNames::sataLogsFolder}},
    };
    for (const auto& [profile, folders] : foldersOf) {
        SCOPED_TRACE(profile);
        clear();
        ASSERT_EQ(debugLogs({"--sim=" + profile}, {"-extended"}, dir).exitStatus, 0);
        std::set<std::string> seen;
        for (const auto& entry : onlyArchive(dir)) {
            const fs::path path(entry.first);
            const std::string folder = path.parent_path().filename().string();
            if (path.extension() == ".bin") {
                seen.insert(folder);
                EXPECT_EQ(remade(folder, path.filename().string()), path.filename().string()) << entry.first;
            }
        }
        EXPECT_EQ(seen, folders);
    }
}

}  // namespace
}  // namespace e2e
