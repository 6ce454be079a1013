// Reads the drive cuts short or refuses, as a user meets them: a page, a structure or a log
// that did not come whole is not in the package and the run says why; what depends on a
// setting the drive refused, or its storage driver is too old for, says so and reads what it can.
#include "DriveLogSupport.h"

namespace e2e {
namespace {

using ShortReadsPackage = Workspace;

const std::string shortTransfer = "The IO command passed, but did not return the expected amount of data.";

}  // namespace

TEST_F(ShortReadsPackage, WhatDidNotComeWholeIsLeftOutAndSaid) {
    struct Case {
        const char* what;
        nlohmann::json faults;
        std::vector<std::string> options;  // after -v
        std::string line;                  // printed
        std::string absent;                // neither packed nor in the incident report
        std::string present;               // packed, with presentBytes bytes
        std::size_t presentBytes;
        nlohmann::json attributes = nlohmann::json::object();  // of the drive, changed
    };
    const std::string smartHealth = "log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin";
    const std::string firmwareSlots = "log_pages/lid_0x03_lsp_0x00_lsi_0x0000.bin";
    const std::string hostTelemetry = "log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin";
    const std::vector<Case> cases = {
        {"a 1-byte SMART / Health page", {{{"logId", 2}, {"action", "shortData"}, {"bytes", 1}}},
         {"-type", "NvmeLogs"}, "Error extracting NVME Log: 0x02; " + shortTransfer, smartHealth, firmwareSlots, 512},
        {"a page without data", {{{"logId", 3}, {"action", "noData"}}}, {"-type", "NvmeLogs"},
         "Error extracting NVME Log: 0x03; " + shortTransfer, firmwareSlots, smartHealth, 512},
        {"a short piece of a self-sizing page",
         {{{"logId", 0x0D}, {"offset", 512}, {"action", "shortData"}, {"bytes", 100}}}, {"-type", "NvmeLogs"},
         "Error extracting NVME Log: 0x0D; " + shortTransfer, "log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin",
         smartHealth, 512},
        {"a half Identify Controller",
         {{{"opcode", 6}, {"cns", 1}, {"action", "shortData"}, {"bytes", 2048}}}, {"-type", "Identify"},
         "Error in Identify CNS(0x01): " + shortTransfer, "identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin",
         "identify/cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", 4096},
        // Data area 4 cannot be switched on: both logs are read to data area 3 (121 blocks).
        {"Host Behavior Support refused", {{{"opcode", 9}, {"featureId", 0x16}, {"action", "status"}}},
         {"-type", "Telemetry", "-extended"}, "Telemetry Data Area 4 could not be enabled; reading data area 3\n", "",
         hostTelemetry, 121 * 512},
        // Which driver builds allow data area 4 is the collector's unit test; here, that the
        // drive's driver reaches it.
        {"a storage driver too old for data area 4", nlohmann::json::array(), {"-type", "Telemetry", "-extended"},
         "Microsoft Driver Build Number (1881) does not support Telemetry DataArea 4\nTelemetry Data Area = 3\n", "",
         hostTelemetry, 121 * 512, {{"DriverProvider", "Microsoft"}, {"DriverVersion", "10.0.26100.1881"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        const auto profile = changedProfile(scratch, [&](nlohmann::json& p) {
            p["faults"] = c.faults;
            p["attributes"].update(c.attributes);
        });
        std::vector<std::string> options{"-v"};
        options.insert(options.end(), c.options.begin(), c.options.end());
        const auto run = debugLogs({"--sim=" + profile.string()}, options, dir);
        // Like a refused page, a cut one only counts: the rest of the run stands.
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        EXPECT_TRUE(contains(run.out, c.line)) << run.out;
        const auto files = readZip(onlyPackage(dir));
        ASSERT_EQ(1u, files.count(c.present)) << run.out;
        EXPECT_EQ(c.presentBytes, files.at(c.present).size());
        if (!c.absent.empty()) {
            EXPECT_EQ(0u, files.count(c.absent));
            EXPECT_FALSE(contains(files.at("incident_report.log"), c.absent)) << files.at("incident_report.log");
        }
    }
}

}  // namespace e2e
