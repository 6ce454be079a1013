// The log-page part of a debug-logs package, as a user gets it from the simulated drives, checked
// against what the drive serves and against the commands the drive received.
#include <cstring>
#include <set>

#include "DriveLogSupport.h"

namespace e2e {
namespace {

using LogPagesPackage = Workspace;

struct PageFile {
    unsigned logId;
    unsigned logSpecificField;
    unsigned logSpecificId;
};

std::string pageName(const PageFile& page) {
    char name[64];
    std::snprintf(name, sizeof(name), "lid_0x%02x_lsp_0x%02x_lsi_0x%04x.bin", page.logId, page.logSpecificField,
                  page.logSpecificId);
    return name;
}

const std::vector<unsigned> lockdownFields{0x00, 0x02, 0x03, 0x04, 0x10, 0x12, 0x13, 0x14, 0x20, 0x22, 0x23, 0x24};

// The files of the standard and OCP pages; temperatureLogId is where the drive keeps its
// temperature statistics.
// The two telemetry logs share the folder.
std::vector<PageFile> standardFiles(unsigned temperatureLogId) {
    std::vector<PageFile> files{{0x07, 1, 0}, {0x08, 0, 0},
                                {0x00, 0, 0}, {0x01, 0, 0}, {0x02, 0, 0}, {0x03, 0, 0}, {0x04, 0, 0},
                                {0x05, 0, 0}, {0x06, 0, 0}, {0x09, 0, 1}, {0x0D, 0, 0}, {0x0E, 0, 0},
                                {0x0F, 0, 0}, {0x12, 0, 0}, {0x13, 0, 0}};
    for (const unsigned field : lockdownFields) {
        files.push_back({0x14, field, 0});
    }
    for (const unsigned id : {0x19u, 0x81u, 0xCAu, temperatureLogId, 0xC0u, 0xC1u, 0xC2u, 0xC3u, 0xC4u, 0xC5u}) {
        files.push_back({id, 0, 0});
    }
    return files;
}

std::vector<PageFile> vendorFiles() {
    std::vector<PageFile> files{{0xF2, 0, 0}, {0xF4, 0, 0}, {0xF5, 0, 0}};
    for (unsigned field = 0; field < 6; ++field) {
        files.push_back({0xFA, field, 0});
    }
    files.push_back({0xFE, 0, 0});
    return files;
}

std::set<std::string> names(const std::vector<PageFile>& files) {
    std::set<std::string> result;
    for (const auto& file : files) {
        result.insert("log_pages/" + pageName(file));
    }
    return result;
}

unsigned fieldOf(const Traced& c) { return (c.cdw10 >> 8) & 0x7F; }

std::string served(const PageFile& page, uint32_t length) {
    return servedPage("varnholt-nvme", page.logId, page.logSpecificField, page.logSpecificId, length);
}

}  // namespace

TEST_F(LogPagesPackage, TheVendorDriveGivesEveryPageAsServedInTheOrderAndBracketOfItsCommands) {
    const fs::path trace = scratch / "trace.txt";
    const auto run = ssdtool({"--sim", "--sim-trace=" + trace.string(), "dump", "-debuglogs", "-ssd", "0", "-v"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto pages = packedLogPages(dir);
    ASSERT_FALSE(pages.empty()) << run.out;

    auto files = standardFiles(0xD5);
    const auto vendor = vendorFiles();
    files.insert(files.end(), vendor.begin(), vendor.end());
    std::set<std::string> packed;
    for (const auto& entry : pages) {
        packed.insert(entry.first);
    }
    EXPECT_EQ(names(files), packed);
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (45 of possible 45 logs)\n")) << run.out;
    for (const auto& file : files) {
        const auto found = pages.find("log_pages/" + pageName(file));
        ASSERT_NE(found, pages.end()) << pageName(file);
        ASSERT_FALSE(found->second.empty()) << pageName(file);
        EXPECT_TRUE(found->second ==
                    served(file, static_cast<uint32_t>(found->second.size())))
            << pageName(file);
    }
    // Pages whose length the drive gives in a header hold exactly that length.
    EXPECT_GT(pages.at("log_pages/lid_0x0f_lsp_0x00_lsi_0x0000.bin").size(), 4096u);

    const auto commands = readTrace(trace);
    std::vector<unsigned> lockdown;
    int firstPerformanceRead = -1, lastPerformanceRead = -1, switchOn = -1, switchOff = -1;
    std::vector<std::pair<unsigned, uint32_t>> vendorExchanges;  // opcode, sequence number
    for (int i = 0; i < static_cast<int>(commands.size()); ++i) {
        const Traced& c = commands[i];
        if (isGetLog(c, 0x14)) {
            lockdown.push_back(fieldOf(c));
        }
        if (isGetLog(c, 0xFA)) {
            firstPerformanceRead = firstPerformanceRead < 0 ? i : firstPerformanceRead;
            lastPerformanceRead = i;
        }
        if (c.opcode == setFeatures && (c.cdw10 & 0xFF) == 0xFA) {
            (c.cdw11 == 0x3F ? switchOn : switchOff) = i;
            EXPECT_TRUE(c.cdw11 == 0x3F || c.cdw11 == 0) << std::hex << c.cdw11;
        }
        if (c.opcode == 0xF1 || c.opcode == 0xF2) {
            vendorExchanges.emplace_back(c.opcode, c.cdw13 & 0xFFFF);
        }
    }
    EXPECT_EQ(lockdownFields, lockdown);
    ASSERT_GE(switchOn, 0);
    EXPECT_LT(switchOn, firstPerformanceRead);
    EXPECT_GT(switchOff, lastPerformanceRead);
    using Exchanges = std::vector<std::pair<unsigned, uint32_t>>;
    ASSERT_GE(vendorExchanges.size(), 4u);
    const Exchanges firstTwo(vendorExchanges.begin(), vendorExchanges.begin() + 4);
    EXPECT_EQ((Exchanges{{0xF1, 1}, {0xF2, 1}, {0xF1, 2}, {0xF2, 2}}), firstTwo);
}

TEST_F(LogPagesPackage, AnotherDriveOfTheMakerGivesTheStandardPagesOnly) {
    const fs::path trace = scratch / "trace.txt";
    const auto run = ssdtool({"--sim=kestrova-nvme", "--sim-trace=" + trace.string(), "dump", "-debuglogs", "-ssd",
                              "0", "-type", "NvmeLogs", "-v"},
                             dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto pages = packedLogPages(dir);
    ASSERT_FALSE(pages.empty()) << run.out;
    std::set<std::string> packed;
    for (const auto& entry : pages) {
        packed.insert(entry.first);
    }
    // Its temperature page and the OCP Unsupported Requirements page share LID 0xC5: the second
    // file replaces the first, and both count.
    EXPECT_EQ(names(standardFiles(0xC5)), packed);
    EXPECT_EQ(36u, packed.size());
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (35 of possible 35 logs)\n")) << run.out;
    EXPECT_EQ(4096u, pages.at("log_pages/lid_0xc5_lsp_0x00_lsi_0x0000.bin").size());
    for (const auto& c : readTrace(trace)) {
        EXPECT_TRUE(c.opcode != 0xF1 && c.opcode != 0xF2 && !(c.opcode == getLogPage && (c.cdw10 & 0xFF) >= 0xD0))
            << std::hex << c.opcode << " " << c.cdw10;
    }
}

TEST_F(LogPagesPackage, DrivesThatAreNotTheMakersNvmeDrivesGetNoFolder) {
    const fs::path log = scratch / "plugin.log";
    for (const std::string profile : {"other-nvme", "kestrova-sata"}) {
        const auto run = ssdtool({"--sim=" + profile, "--log=" + log.string(), "dump", "-debuglogs", "-ssd", "0",
                                  "-type", "NvmeLogs", "-v"},
                                 dir);
        EXPECT_EQ(0, run.exitStatus) << profile << run.out << run.err;
        EXPECT_TRUE(contains(run.out, "NVMe logs: Skipped, drive not NVMe.\n")) << run.out;
        EXPECT_TRUE(contains(readFile(log), "NVMe Logs: Feature is not supported.")) << profile;
        fs::remove(log);
        EXPECT_FALSE(contains(run.out, "NVMe Logs generated")) << run.out;
        for (const auto& left : entries(dir)) {
            EXPECT_FALSE(fs::exists(dir / left / "log_pages")) << profile;
            fs::remove_all(dir / left);
        }
    }
}

TEST_F(LogPagesPackage, AsMakerCollectsFromAnotherMakersDriveAsFromOneOfTheFamily) {
    const auto run = ssdtool({"--sim=other-nvme", "--as-maker=kestrova", "dump", "-debuglogs", "-ssd", "0", "-type",
                              "NvmeLogs", "-v"},
                             dir);
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_EQ("ssdtool: treating sim:other-nvme as a Kestrova drive of the Kestrova family\n", run.err);
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated")) << run.out;
    const auto pages = packedLogPages(dir);
    // The drive's own standard pages now land in the package, its SMART / Health log among them.
    EXPECT_EQ(512u, pages.at("log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin").size());
}

TEST_F(LogPagesPackage, ADeployedDriveIsNeverAskedForItsParametersAndTheRestIsStillRead) {
    const fs::path trace = scratch / "trace.txt";
    const fs::path profile =
        changedProfile(scratch, "varnholt-nvme", [](nlohmann::json& p) { p["nvme"]["lifeCycleState"] = 1; });
    const auto run = ssdtool({"--sim=" + profile.string(), "--sim-trace=" + trace.string(), "dump", "-debuglogs",
                              "-ssd", "0", "-type", "NvmeLogs", "-v"},
                             dir);
    EXPECT_TRUE(contains(run.out, "Unable to Generate Performance Debug Log, LID 0xFA: "
                                  "life_cycle_state::DEPLOYED; Cannot read FW Params VSC Log\n"))
        << run.out;
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (39 of possible 39 logs)\n")) << run.out;
    const auto pages = packedLogPages(dir);
    ASSERT_FALSE(pages.empty()) << run.out;
    EXPECT_EQ(1u, pages.count("log_pages/lid_0xfe_lsp_0x00_lsi_0x0000.bin"));
    EXPECT_EQ(0u, pages.count("log_pages/lid_0xfa_lsp_0x00_lsi_0x0000.bin"));
    for (const auto& c : readTrace(trace)) {
        EXPECT_NE(0x10003u, c.cdw12) << std::hex << c.opcode;
        EXPECT_FALSE(c.opcode == setFeatures && (c.cdw10 & 0xFF) == 0xFA);
        EXPECT_FALSE(isGetLog(c, 0xFA));
    }
}

TEST_F(LogPagesPackage, ARejectedPageCostsOneCountAndRejectedTransfersHalveTheChunk) {
    const fs::path trace = scratch / "trace.txt";
    const fs::path log = scratch / "plugin.log";
    const fs::path profile = changedProfile(scratch, "varnholt-nvme", [](nlohmann::json& p) {
        p["nvme"]["persistentEventLogBytes"] = 1 << 20;
        p["faults"] = {{{"logId", 0x81}, {"action", "status"}},
                       {{"logId", 0x0D}, {"action", "sizeLimit"}, {"bytes", 16384}}};
    });
    const auto run = ssdtool({"--sim=" + profile.string(), "--sim-trace=" + trace.string(), "--log=" + log.string(),
                              "dump", "-debuglogs", "-ssd", "0", "-type", "NvmeLogs", "-v"},
                             dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Error extracting NVME Log: 0x81; ")) << run.out;
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (44 of possible 45 logs)\n")) << run.out;
    const auto pages = packedLogPages(dir);
    ASSERT_EQ(1u, pages.count("log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin"));
    // The whole log arrived in the smaller chunks: as long as its header says.
    const std::string& events = pages.at("log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin");
    ASSERT_GE(events.size(), 512u);
    uint64_t totalLength = 0;
    std::memcpy(&totalLength, events.data() + 8, sizeof(totalLength));
    EXPECT_EQ(totalLength, events.size());
    EXPECT_GT(totalLength, 1u << 19);
    EXPECT_EQ(0u, pages.count("log_pages/lid_0x81_lsp_0x00_lsi_0x0000.bin"));

    // MDTS 5 gives 128 KiB chunks: 128, 64 and 32 KiB are each refused once, then 16 KiB reads go.
    std::vector<unsigned long long> refused;
    for (const auto& c : readTrace(trace)) {
        if (isGetLog(c, 0x0D) && !c.ok) {
            refused.push_back(c.length);
        }
    }
    EXPECT_EQ((std::vector<unsigned long long>{131072, 65536, 32768}), refused);
    const std::string logText = readFile(log);
    for (const std::string size : {"65536", "32768", "16384"}) {
        const std::string line = "Chunk size changed to: " + size;
        const auto first = logText.find(line);
        EXPECT_NE(std::string::npos, first) << line;
        EXPECT_EQ(std::string::npos, logText.find(line, first + 1)) << line;
    }
}

}  // namespace e2e
