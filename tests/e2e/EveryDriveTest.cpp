// "-ssd all": one package per drive, a line per drive as it ends, a summary table, and an exit
// status that is 0 only when every drive's run succeeded.
#include "E2eSupport.h"

namespace e2e {
namespace {

using EveryDrive = Workspace;

struct Expected {
    std::string serial;
    std::string result;  // the summary's Result cell
    bool package;        // an archive, or only the folder of files
};

TEST_F(EveryDrive, EachDriveGetsItsOwnPackageAndAFailingDriveDoesNotStopTheOthers) {
    const auto failsEverything = changedProfile(
        scratch,
        [](nlohmann::json& p) { p["faults"] = {{{"action", "status"}, {"statusCodeType", 0}, {"statusCode", 6}}}; },
        "kestrova-nvme");
    const std::string failing = builtInSerial("kestrova-nvme");
    struct Case {
        std::vector<std::string> drives;
        int exitStatus;
        std::vector<Expected> expected;
    };
    const std::vector<Case> cases = {
        {{"--sim=kestrova-nvme", "--sim=kestrova-sata"},
         0,
         {{failing, "succeeded", true}, {builtInSerial("kestrova-sata"), "succeeded", true}}},
        // Another maker's drive answers no drive collector: nothing to pack, and no failure.
        {{"--sim=" + failsEverything.string(), "--sim=kestrova-sata", "--sim=other-nvme"},
         1,
         {{failing, "failed: Failed to retrieve data from selected drive.", false},
          {builtInSerial("kestrova-sata"), "succeeded", true},
          {builtInSerial("other-nvme"), "succeeded", false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drives.size());
        clear();
        auto arguments = c.drives;
        arguments.insert(arguments.end(), {"dump", "-debuglogs", "-ssd", "ALL", "-destination", "out/packages"});
        const auto run = ssdtool(arguments, dir);
        EXPECT_EQ(c.exitStatus, run.exitStatus) << run.out << run.err;
        const fs::path destination = fs::canonical(dir / "out/packages");

        // Per drive, in order: its heading, then its outcome line after its own run's output.
        std::size_t at = 0;
        const std::string count = " of " + std::to_string(c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            const auto heading = run.out.find("Drive " + std::to_string(i) + count + ": sim:", at);
            const auto outcome = run.out.find("Drive " + std::to_string(i) + count + " (serial " +
                                                  c.expected[i].serial + "): " +
                                                  c.expected[i].result.substr(0, c.expected[i].result.find(':')),
                                              heading);
            ASSERT_NE(std::string::npos, heading) << i << run.out;
            ASSERT_NE(std::string::npos, outcome) << i << run.out;
            EXPECT_NE(std::string::npos, run.out.find("GENERATE GENERAL LOGS", heading)) << i;
            EXPECT_LT(run.out.find("GENERATE GENERAL LOGS", heading), outcome) << i;
            at = outcome;
        }

        // The summary table: one row per drive, with the archive the drive's run made.
        const auto summary = run.out.substr(run.out.rfind("\nSummary: "));
        const auto rows = lines(summary);
        ASSERT_EQ(c.expected.size() + 3, rows.size()) << summary;
        std::size_t succeeded = 0;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            const Expected& e = c.expected[i];
            succeeded += e.result == "succeeded" ? 1 : 0;
            const std::regex row(std::to_string(i) + " +" + e.serial + " +[^ ].* {2,}" + std::regex_replace(
                                     e.result, std::regex("[.]"), "\\.") +
                                 " +(.*)");
            std::smatch match;
            ASSERT_TRUE(std::regex_match(rows[i + 3], match, row)) << rows[i + 3];
            const std::string package = match[1];
            if (e.package) {
                EXPECT_TRUE(std::regex_match(package, packageName(destination.string() + "/" + e.serial, "\\.zip")))
                    << package;
                EXPECT_FALSE(readZip(package).empty()) << package;
            } else {
                EXPECT_TRUE(std::regex_match(package, std::regex("none \\(files in " + destination.string() + "/" +
                                                                 e.serial + "_.*\\)")))
                    << package;
            }
        }
        EXPECT_EQ("Summary: " + std::to_string(succeeded) + " of " + std::to_string(c.expected.size()) +
                      " drives succeeded",
                  rows[1]);
        // One archive per drive that made one, and nothing else packed.
        std::size_t archives = 0;
        for (const auto& name : folderEntries(destination)) {
            archives += fs::path(name).extension() == ".zip" ? 1 : 0;
        }
        EXPECT_EQ(static_cast<std::size_t>(std::count_if(c.expected.begin(), c.expected.end(),
                                                         [](const Expected& e) { return e.package; })),
                  archives);
    }
}

}  // namespace
}  // namespace e2e
