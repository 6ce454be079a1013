// The SATA logs of a package, from the simulated SATA drive, as a user gets them.
#include "DriveLogSupport.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"

namespace e2e {
namespace {

const std::string sataProfile = "kestrova-sata";

// The sector a fresh drive of the profile serves to one SMART read.
std::string servedSector(drivekit::core::Command&& command) {
    std::string error;
    const auto drive = host::sim::openSimulatedDrive(sataProfile, error);
    EXPECT_TRUE(drive) << error;
    drivekit::commands::CommandSender sender(*drive);
    EXPECT_TRUE(sender.send(command).isSuccess());
    const auto& data = sender.data();
    return std::string(reinterpret_cast<const char*>(data.data()), data.size());
}

// The SATA_logs entries of the one archive in dir, keyed by file name.
std::map<std::string, std::string> packedSataLogs(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::directory_iterator(dir)) {
        if (item.path().extension() != ".zip") {
            continue;
        }
        for (const auto& [name, bytes] : readZip(item.path())) {
            const auto at = name.find("SATA_logs/");
            if (at != std::string::npos && name.size() > at + 10) {
                files[name.substr(at + 10)] = bytes;
            }
        }
    }
    return files;
}

std::string incidentReport(const fs::path& dir) {
    for (const auto& item : fs::directory_iterator(dir)) {
        if (item.path().extension() == ".zip") {
            for (const auto& [name, bytes] : readZip(item.path())) {
                if (contains(name, "incident_report.log")) {
                    return bytes;
                }
            }
        }
    }
    return {};
}

class SataLogsPackage : public Workspace {
protected:
    e2e::Run dump(const std::function<void(nlohmann::json&)>& change, bool verbose = true) {
        const fs::path profile = changedProfile(scratch, sataProfile, change);
        trace = scratch / "trace.txt";
        std::vector<std::string> arguments{"--sim=" + profile.string(), "--sim-trace=" + trace.string(), "dump",
                                           "-debuglogs", "-ssd", "0", "-type", "SATALogs"};
        if (verbose) {
            arguments.push_back("-v");
        }
        return ssdtool(arguments, dir);
    }
    // The ATA lines of the trace.
    std::vector<std::string> ataTrace() const {
        std::vector<std::string> ata;
        for (const auto& line : lines(readFile(trace))) {
            if (line.rfind("ATA ", 0) == 0) {
                ata.push_back(line);
            }
        }
        return ata;
    }
    fs::path trace;
};

TEST_F(SataLogsPackage, BothSectorsArePackedAsTheDriveServedThemThroughTheSmartPath) {
    const e2e::Run run = dump([](nlohmann::json&) {});
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    const auto files = packedSataLogs(dir);
    ASSERT_EQ(files.size(), 2u) << run.out;
    EXPECT_EQ(files.at("SMART_DATA.bin"), servedSector(drivekit::commands::smart::SMARTReadData()));
    EXPECT_EQ(files.at("SMART_THRESHOLDS.bin"), servedSector(drivekit::commands::smart::SMARTReadThresholds()));
    EXPECT_TRUE(contains(run.out, "Successfully generated SATA Log: SMART_THRESHOLDS.bin."));
    EXPECT_TRUE(contains(run.out, "Successfully generated SATA Log: SMART_DATA.bin."));
    const std::string report = incidentReport(dir);
    EXPECT_TRUE(contains(report, "SATA_logs/SMART_THRESHOLDS.bin was saved successfully")) << report;
    EXPECT_TRUE(contains(report, "SATA_logs/SMART_DATA.bin was saved successfully")) << report;
    // A drive that offers the SMART path gets both reads on it and no READ DMA.
    const auto ata = ataTrace();
    ASSERT_EQ(ata.size(), 2u);
    EXPECT_TRUE(contains(ata[0], "proto=SMART cmd=0xb0 feature=0xd0"));
    EXPECT_TRUE(contains(ata[1], "proto=SMART cmd=0xb0 feature=0xd1"));
}

TEST_F(SataLogsPackage, ADriveWithoutTheSmartPathGetsOneReadDmaFirst) {
    const e2e::Run run = dump([](nlohmann::json& p) { p["protocols"] = {"ATA"}; });
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(packedSataLogs(dir).size(), 2u);
    const auto ata = ataTrace();
    ASSERT_EQ(ata.size(), 3u);
    EXPECT_TRUE(contains(ata[0], "proto=ATA cmd=0xc8")) << ata[0];
    EXPECT_TRUE(contains(ata[1], "proto=ATA cmd=0xb0 feature=0xd0"));
    EXPECT_TRUE(contains(ata[2], "proto=ATA cmd=0xb0 feature=0xd1"));
}

TEST_F(SataLogsPackage, FailuresLeaveOutWhatCouldNotBeRead) {
    struct Case {
        const char* what;
        std::function<void(nlohmann::json&)> change;
        std::vector<std::string> files;
        std::string line;  // printed with -v
    };
    const std::vector<Case> cases = {
        {"SMART not enabled", [](nlohmann::json& p) { p["attributes"]["SMARTEnabled"] = false; }, {},
         "SMART Log Support Error: SMART is not enabled."},
        {"a RAID volume", [](nlohmann::json& p) { p["attributes"]["RAID"] = true; }, {},
         "SMART Log Support Error: This feature cannot run on a RAID volume."},
        {"a disabled drive", [](nlohmann::json& p) { p["attributes"]["ErrorString"] = "locked"; }, {},
         "SMART Log Support Error: Selected drive is in a disable logical state."},
        {"thresholds read fails",
         [](nlohmann::json& p) { p["faults"] = {{{"protocol", "SMART"}, {"featureId", "0xd1"}}}; },
         {"SMART_DATA.bin"}, "Successfully generated SATA Log: SMART_DATA.bin."},
        {"data read fails",
         [](nlohmann::json& p) { p["faults"] = {{{"protocol", "SMART"}, {"featureId", "0xd0"}}}; }, {},
         "SMART Log Error: Failed to retrieve data from selected drive."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        fs::create_directories(dir);
        const e2e::Run run = dump(c.change);
        EXPECT_TRUE(contains(run.out, c.line)) << run.out;
        std::vector<std::string> names;
        for (const auto& [name, bytes] : packedSataLogs(dir)) {
            names.push_back(name);
            EXPECT_EQ(bytes.size(), 512u);
        }
        EXPECT_EQ(names, c.files);
        EXPECT_FALSE(contains(run.out, "Failed to generated SATA Log: SMART_THRESHOLDS.bin"));
    }
}

TEST_F(SataLogsPackage, WithoutVerbosityTheCollectorPrintsNothingOfItsOwn) {
    const e2e::Run run = dump([](nlohmann::json& p) { p["attributes"]["SMARTEnabled"] = false; }, false);
    EXPECT_FALSE(contains(run.out, "SMART Log Support Error")) << run.out;
    EXPECT_FALSE(contains(run.out, "SATA Log")) << run.out;
}

TEST_F(SataLogsPackage, ThePackedSectorsDecodeAndABrokenChecksumIsAWarningWithExitStatusOne) {
    ASSERT_EQ(dump([](nlohmann::json&) {}).exitStatus, 0);
    const auto files = packedSataLogs(dir);
    ASSERT_EQ(files.size(), 2u);
    const fs::path folder = scratch / "SATA_logs";
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files) {
        std::ofstream((folder / name).string(), std::ios::binary) << bytes;
    }
    const std::string data = (folder / "SMART_DATA.bin").string();
    e2e::Run run = ssdtool({"decode", data, "-family", "Kestrova"}, dir);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    // The profile's wear indicator (id 233 = E9) and the end-to-end count (B8, current 100
    // against threshold 90) as rows.
    EXPECT_TRUE(contains(run.out, "Description: Media Wearout Indicator")) << run.out;
    EXPECT_TRUE(contains(run.out, "Description: Reallocated Flash Block Count")) << run.out;
    EXPECT_TRUE(contains(run.out, "Threshold: 90")) << run.out;

    std::string broken = files.at("SMART_DATA.bin");
    broken[5] = static_cast<char>(broken[5] + 1);
    std::ofstream(data, std::ios::binary | std::ios::trunc) << broken;
    run = ssdtool({"decode", data}, dir);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(contains(run.err, "checksum of the SMART data sector is wrong")) << run.err;
    EXPECT_TRUE(contains(run.out, "Re-allocated Sector Count")) << run.out;

    std::ofstream(data, std::ios::binary | std::ios::trunc) << broken.substr(0, 300);
    run = ssdtool({"decode", data}, dir);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(contains(run.err, "holds 300 bytes, not 512")) << run.err;
    EXPECT_TRUE(run.out.empty());
}

}  // namespace
}  // namespace e2e
