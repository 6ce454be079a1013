// Every binary a package holds is named by the one module that makes and reads the names: each
// name read back and made again is the same name, for the packages of every built-in drive; every
// binary is counted and reported, with paths relative to the package folder.
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
        const auto run = debugLogs({"--sim=" + profile}, {"-extended"}, dir);
        ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
        const auto archive = onlyArchive(dir);
        const std::string top = onlyPackage(dir).stem().string();
        std::set<std::string> seen, binaries, reported;
        for (const auto& [name, bytes] : archive) {
            EXPECT_TRUE(name.front() != '/' && name.find(top) != 0) << name;  // relative to the package folder
            const fs::path path(name);
            const std::string folder = path.parent_path().filename().string();
            if (path.extension() == ".bin") {
                seen.insert(folder);
                binaries.insert(name);
                EXPECT_EQ(remade(folder, path.filename().string()), path.filename().string()) << name;
            }
        }
        EXPECT_EQ(seen, folders);
        // The incident report names exactly the binaries the archive holds, each write it counted
        // (two pages of one name are two writes of one file).
        const std::string saved = " was saved successfully";
        std::size_t writes = 0;
        for (const auto& line : lines(archive.at("incident_report.log"))) {
            if (line.size() > saved.size() && line.compare(line.size() - saved.size(), saved.size(), saved) == 0) {
                reported.insert(line.substr(0, line.size() - saved.size()));
                ++writes;
            }
        }
        EXPECT_EQ(binaries, reported);
        EXPECT_TRUE(contains(run.out, "Total drive logs generated: " + std::to_string(writes) + "\n")) << writes;
    }
}

}  // namespace
}  // namespace e2e
