// The SATA logs of a package, from the simulated SATA drive, as a user gets them.
#include "DriveLogSupport.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"

namespace e2e {
namespace {

const std::string sataProfile = "kestrova-sata";

// The sector a fresh drive of the profile serves to one SMART read.
std::string servedSector(drivekit::core::Command&& command) {
    return served(sataProfile, [&](auto& drive) { return bytesOf(drive, command); });
}

std::map<std::string, std::string> packedSataLogs(const fs::path& dir) { return packedUnder(dir, "SATA_logs/", true); }

class SataLogsPackage : public Workspace {
protected:
    e2e::Run dump(const std::function<void(nlohmann::json&)>& change, bool verbose = true) {
        const fs::path profile = changedProfile(scratch, change, sataProfile);
        fs::remove(trace);  // the drive adds to a trace that exists
        std::vector<std::string> options{"-type", "SATALogs", "-v"};
        options.resize(verbose ? 3 : 2);
        return debugLogs({"--sim=" + profile.string(), "--sim-trace=" + trace.string()}, options, dir);
    }
    const fs::path trace = scratch / "trace.txt";
};

// A drive that offers the SMART path gets both reads on it; one without gets a READ DMA first.
TEST_F(SataLogsPackage, BothSectorsArePackedAsTheDriveServedThemOnThePathItOffers) {
    const struct {
        const char* what;
        std::function<void(nlohmann::json&)> change;
        std::vector<std::string> commands;
    } cases[] = {
        {"the SMART path", [](nlohmann::json&) {},
         {"proto=SMART cmd=0xb0 feature=0xd0", "proto=SMART cmd=0xb0 feature=0xd1"}},
        {"ATA only", [](nlohmann::json& p) { p["protocols"] = {"ATA"}; },
         {"proto=ATA cmd=0xc8 feature=0x00", "proto=ATA cmd=0xb0 feature=0xd0", "proto=ATA cmd=0xb0 feature=0xd1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        const e2e::Run run = dump(c.change);
        EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
        const auto files = packedSataLogs(dir);
        ASSERT_EQ(files.size(), 2u) << run.out;
        EXPECT_EQ(files.at("SMART_DATA.bin"), servedSector(drivekit::commands::smart::SMARTReadData()));
        EXPECT_EQ(files.at("SMART_THRESHOLDS.bin"), servedSector(drivekit::commands::smart::SMARTReadThresholds()));
        const std::string report = readZip(onlyPackage(dir))["incident_report.log"];
        for (const std::string name : {"SMART_THRESHOLDS.bin", "SMART_DATA.bin"}) {
            EXPECT_TRUE(contains(run.out, "Successfully generated SATA Log: " + name + "."));
            EXPECT_TRUE(contains(report, "SATA_logs/" + name + " was saved successfully")) << report;
        }
        std::vector<std::string> ata;
        for (const auto& line : lines(readFile(trace))) {
            if (line.rfind("ATA ", 0) == 0) {
                ata.push_back(line.substr(4, line.find(" count=") - 4));
            }
        }
        EXPECT_EQ(c.commands, ata);
    }
}

TEST_F(SataLogsPackage, FailuresLeaveOutWhatCouldNotBeRead) {
    struct Case {
        const char* what;
        std::function<void(nlohmann::json&)> change;
        std::vector<std::string> files;
        std::string line;  // printed with -v
        bool failsRun = false;  // besides a run that got no file
    };
    const std::vector<Case> cases = {
        {"SMART not enabled", [](nlohmann::json& p) { p["attributes"]["SMARTEnabled"] = false; }, {},
         "SMART Log Support Error: SMART is not enabled."},
        {"a RAID volume", [](nlohmann::json& p) { p["attributes"]["RAID"] = true; }, {},
         "SMART Log Support Error: This feature cannot run on a RAID volume."},
        {"a disabled drive", [](nlohmann::json& p) { p["attributes"]["ErrorString"] = "locked"; }, {},
         "SMART Log Support Error: Selected drive is in a disable logical state."},
        // A sector that is missing while the other came is said, with why.
        {"thresholds read fails",
         [](nlohmann::json& p) { p["faults"] = {{{"protocol", "SMART"}, {"featureId", "0xd1"}}}; },
         {"SMART_DATA.bin"}, "Failed to generated SATA Log: SMART_THRESHOLDS.bin. Error: ATA command aborted"},
        {"a short thresholds sector",
         [](nlohmann::json& p) {
             p["faults"] = {{{"protocol", "SMART"}, {"featureId", "0xd1"}, {"action", "shortData"}, {"bytes", 100}}};
         },
         {"SMART_DATA.bin"},
         "Failed to generated SATA Log: SMART_THRESHOLDS.bin. Error: The IO command passed, but did not return the "
         "expected amount of data."},
        {"data read fails",
         [](nlohmann::json& p) { p["faults"] = {{{"protocol", "SMART"}, {"featureId", "0xd0"}}}; }, {},
         "SMART Log Error: Failed to retrieve data from selected drive."},
        // The second try reads both sectors again.
        {"data read fails once",
         [](nlohmann::json& p) { p["faults"] = {{{"protocol", "SMART"}, {"featureId", "0xd0"}, {"times", 1}}}; },
         {"SMART_DATA.bin", "SMART_THRESHOLDS.bin"}, "Successfully generated SATA Log: SMART_THRESHOLDS.bin."},
        // A drive that goes away fails the run, and what it gave before is still packed.
        {"the drive goes away after READ DATA",
         [](nlohmann::json& p) { p["faults"] = {{{"action", "remove"}, {"afterCommands", 1}}}; },
         {"SMART_DATA.bin"}, "is gone (No such device) while sending SMARTReadThresholds.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        const e2e::Run run = dump(c.change);
        EXPECT_TRUE(contains(run.out, c.line)) << run.out;
        std::vector<std::string> names;
        for (const auto& [name, bytes] : packedSataLogs(dir)) {
            names.push_back(name);
            EXPECT_EQ(bytes.size(), 512u);
        }
        EXPECT_EQ(names, c.files);
        EXPECT_EQ(run.exitStatus, c.files.empty() || c.failsRun ? 1 : 0) << run.out;
    }
    // Without verbosity the collector prints nothing of its own.
    const e2e::Run quiet = dump(cases[0].change, false);
    EXPECT_FALSE(contains(quiet.out, "SMART Log Support Error") || contains(quiet.out, "SATA Log")) << quiet.out;
}

// The package read back: the family's attribute names, each with its threshold beside it.
TEST_F(SataLogsPackage, ThePackageDecodesAndABrokenSectorIsAWarningWithExitStatusOne) {
    ASSERT_EQ(dump([](nlohmann::json&) {}).exitStatus, 0);
    const auto files = packedSataLogs(dir);
    ASSERT_EQ(files.size(), 2u);
    e2e::Run run = ssdtool({"decode", onlyPackage(dir).string(), "-family", "Kestrova"}, dir);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_FALSE(contains(run.out, "no decoder: ")) << run.out;
    // The first attribute entry of each sector (bytes 2 on), as the drive served them.
    const std::string& data = files.at("SMART_DATA.bin");
    const std::string& thresholds = files.at("SMART_THRESHOLDS.bin");
    ASSERT_EQ(data.at(2), thresholds.at(2));
    const std::string text = section(run.out, "SATA_logs/SMART_DATA.bin");
    EXPECT_TRUE(contains(text, "Normalized: " + std::to_string(static_cast<uint8_t>(data.at(5))) + "\n")) << text;
    EXPECT_TRUE(contains(text, "Threshold: " + std::to_string(static_cast<uint8_t>(thresholds.at(3))) + "\n"));
    // The profile's wear indicator (id 233 = E9) and the end-to-end count (B8, current 100
    // against threshold 90) as rows.
    EXPECT_TRUE(contains(text, "Description: Media Wearout Indicator")) << text;
    EXPECT_TRUE(contains(text, "Description: Reallocated Flash Block Count")) << text;
    EXPECT_TRUE(contains(text, "Threshold: 90")) << text;
    EXPECT_TRUE(contains(section(run.out, "SATA_logs/SMART_THRESHOLDS.bin"), "Threshold: "));

    const fs::path file = scratch / "SATA_logs" / "SMART_DATA.bin";
    fs::create_directories(file.parent_path());
    std::string broken = data;
    broken[5] = static_cast<char>(broken[5] + 1);
    std::ofstream(file.string(), std::ios::binary) << broken;
    run = ssdtool({"decode", file.string()}, dir);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(contains(run.err, "checksum of the SMART data sector is wrong")) << run.err;
    EXPECT_TRUE(contains(run.out, "Re-allocated Sector Count")) << run.out;

    std::ofstream(file.string(), std::ios::binary | std::ios::trunc) << broken.substr(0, 300);
    run = ssdtool({"decode", file.string()}, dir);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(contains(run.err, "holds 300 bytes, not 512")) << run.err;
    EXPECT_TRUE(run.out.empty());
}

}  // namespace
}  // namespace e2e
