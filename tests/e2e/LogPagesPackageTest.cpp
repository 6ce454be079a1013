// The log-page part of a debug-logs package, as a user gets it from the simulated drives, checked
// against what the drive serves and against the commands the drive received.
#include <algorithm>
#include <cstring>

#include "DriveLogSupport.h"

namespace e2e {
namespace {

class LogPagesPackage : public Workspace {
protected:
    // The log-page collector, verbose, on the drive (a built-in name or a profile file); its
    // commands go to trace, its log to log.
    e2e::Run nvmeLogs(const std::string& drive) {
        return debugLogs({"--sim=" + drive, "--sim-trace=" + trace.string(), "--log=" + log.string()},
                         {"-type", "NvmeLogs", "-v"}, dir);
    }
    const fs::path trace = scratch / "trace.txt", log = scratch / "plugin.log";
};

std::string pageFile(unsigned logId, unsigned logSpecificField = 0, unsigned logSpecificId = 0) {
    char name[64];
    std::snprintf(name, sizeof(name), "log_pages/lid_0x%02x_lsp_0x%02x_lsi_0x%04x.bin", logId, logSpecificField,
                  logSpecificId);
    return name;
}

const std::vector<unsigned> lockdownFields{0x00, 0x02, 0x03, 0x04, 0x10, 0x12, 0x13, 0x14, 0x20, 0x22, 0x23, 0x24};

// The files of the standard and OCP pages, the two telemetry logs among them; temperatureLogId
// is where the drive keeps its temperature statistics.
std::set<std::string> standardFiles(unsigned temperatureLogId) {
    std::set<std::string> files{pageFile(0x07, 1), pageFile(0x09, 0, 1)};
    for (const unsigned id : {0x00u, 0x01u, 0x02u, 0x03u, 0x04u, 0x05u, 0x06u, 0x08u, 0x0Du, 0x0Eu, 0x0Fu, 0x12u, 0x13u,
                              0x19u, 0x81u, 0xCAu, temperatureLogId, 0xC0u, 0xC1u, 0xC2u, 0xC3u, 0xC4u, 0xC5u}) {
        files.insert(pageFile(id));
    }
    for (const unsigned field : lockdownFields) {
        files.insert(pageFile(0x14, field));
    }
    return files;
}

}  // namespace

TEST_F(LogPagesPackage, TheVendorDriveGivesEveryPageAsServedInTheOrderAndBracketOfItsCommands) {
    const auto run = debugLogs({"--sim", "--sim-trace=" + trace.string()}, {"-v"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto pages = packedUnder(dir, "log_pages/");

    auto files = standardFiles(0xD5);
    for (const unsigned id : {0xF2u, 0xF4u, 0xF5u, 0xFEu}) {
        files.insert(pageFile(id));
    }
    for (unsigned field = 0; field < 6; ++field) {
        files.insert(pageFile(0xFA, field));
    }
    EXPECT_EQ(files, namesOf(pages)) << run.out;
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (45 of possible 45 logs)\n")) << run.out;
    for (const auto& [name, bytes] : pages) {
        unsigned logId = 0, field = 0, id = 0;
        ASSERT_EQ(3, std::sscanf(name.c_str(), "log_pages/lid_0x%x_lsp_0x%x_lsi_0x%x.bin", &logId, &field, &id));
        ASSERT_FALSE(bytes.empty()) << name;
        const auto length = static_cast<uint32_t>(bytes.size());
        EXPECT_TRUE(bytes == servedPage("varnholt-nvme", logId, field, id, length)) << name;
    }
    // Pages whose length the drive gives in a header hold exactly that length.
    EXPECT_GT(pages.at(pageFile(0x0F)).size(), 4096u);

    // Each lockdown field once, in order; the performance page is read whole (in as many pieces
    // as it needs) between switching its collection on and off again.
    std::vector<std::string> expected, sequence;
    for (const unsigned field : lockdownFields) {
        expected.push_back("lockdown " + hex(field));
    }
    expected.insert(expected.end(), {"switch 0x3f", "read", "switch 0x00"});
    for (const auto& c : readTrace(trace)) {
        std::string word = isGetLog(c, 0xFA) && (sequence.empty() || sequence.back() != "read") ? "read" : "";
        if (isGetLog(c, 0x14)) {
            word = "lockdown " + hex((c.cdw10 >> 8) & 0x7F);
        } else if (isSetFeature(c, 0xFA)) {
            word = "switch " + hex(c.cdw11);
        }
        if (!word.empty()) {
            sequence.push_back(word);
        }
    }
    EXPECT_EQ(expected, sequence);
}

TEST_F(LogPagesPackage, AnotherDriveOfTheMakerGivesTheStandardPagesOnly) {
    const auto run = nvmeLogs("kestrova-nvme");
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto pages = packedUnder(dir, "log_pages/");
    // Its temperature page and the OCP Unsupported Requirements page share LID 0xC5: the second
    // file replaces the first, and both count.
    EXPECT_EQ(standardFiles(0xC5), namesOf(pages));
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (35 of possible 35 logs)\n")) << run.out;
    EXPECT_EQ(4096u, pages.at(pageFile(0xC5)).size());
    for (const auto& c : readTrace(trace)) {
        EXPECT_TRUE(c.opcode != 0xF1 && c.opcode != 0xF2 && !(c.opcode == getLogPage && (c.cdw10 & 0xFF) >= 0xD0))
            << std::hex << c.opcode << " " << c.cdw10;
    }
}

TEST_F(LogPagesPackage, AsMakerCollectsFromAnotherMakersDriveAndSendsTheMakersOwnCommandsOnlyWhenAllowed) {
    // A foreign drive that would even answer the vendor channel: only the option lets it be asked.
    const fs::path profile =
        changedProfile(scratch, [](nlohmann::json& p) { p["nvme"]["vendorChannel"] = true; }, "other-nvme");
    for (const bool allowed : {false, true}) {
        fs::remove(trace);
        clear();
        std::vector<std::string> options{"--sim=" + profile.string(), "--sim-trace=" + trace.string(),
                                         "--as-maker=varnholt"};
        if (allowed) {
            options.push_back("--vendor-commands");
        }
        // A whole run, as a user makes one: the skipped steps do not fail it.
        const auto run = debugLogs(options, {"-v"}, dir);
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        const auto commands = readTrace(trace);
        const auto sent = [&](const std::function<bool(const Traced&)>& which) {
            return std::any_of(commands.begin(), commands.end(), which);
        };
        EXPECT_EQ(allowed, sent([](const Traced& c) { return c.opcode == 0xF1 || c.opcode == 0xF2; }));
        // The Performance Debug Log is read, between its mode switches, only when its parameters were.
        EXPECT_EQ(allowed, sent([](const Traced& c) { return isSetFeature(c, 0xFA); }));
        EXPECT_EQ(allowed, sent([](const Traced& c) { return isGetLog(c, 0xFA); }));
        // The maker's log pages are asked for either way.
        EXPECT_TRUE(sent([](const Traced& c) { return isGetLog(c, 0xFE); }));
        // The drive is collected from as one of the family, and the run says so.
        EXPECT_TRUE(contains(run.err, " as a Kestrova drive of the Varnholt family\n")) << run.err;
        const bool gated = contains(run.err, "(0xF1/0xF2, Set Features 0xFA) are not sent to ");
        const bool skipped = contains(run.err, "not sent without --vendor-commands: Vendor Send (0xF1)\n");
        EXPECT_EQ(!allowed, gated && skipped) << run.err;
        EXPECT_EQ(!allowed, contains(run.out, "Unable to Generate Performance Debug Log, LID 0xFA: Vendor Send (0xF1)"))
            << run.out;
        EXPECT_EQ(1u, packedUnder(dir, "log_pages/").count(pageFile(0x02))) << run.out;
    }
}

TEST_F(LogPagesPackage, ADeployedDriveIsNeverAskedForItsParametersAndTheRestIsStillRead) {
    const auto run =
        nvmeLogs(changedProfile(scratch, [](nlohmann::json& p) { p["nvme"]["lifeCycleState"] = 1; }).string());
    EXPECT_TRUE(contains(run.out, "Unable to Generate Performance Debug Log, LID 0xFA: "
                                  "life_cycle_state::DEPLOYED; Cannot read FW Params VSC Log\n"))
        << run.out;
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (39 of possible 39 logs)\n")) << run.out;
    const auto pages = packedUnder(dir, "log_pages/");
    EXPECT_EQ(1u, pages.count(pageFile(0xFE))) << run.out;
    EXPECT_EQ(0u, pages.count(pageFile(0xFA)));
    for (const auto& c : readTrace(trace)) {
        EXPECT_NE(0x10003u, c.cdw12) << std::hex << c.opcode;
        EXPECT_FALSE(isSetFeature(c, 0xFA));
        EXPECT_FALSE(isGetLog(c, 0xFA));
    }
}

TEST_F(LogPagesPackage, ARejectedPageCostsOneCountAndRejectedTransfersHalveTheChunk) {
    const fs::path profile = changedProfile(scratch, [](nlohmann::json& p) {
        p["nvme"]["persistentEventLogBytes"] = 1 << 20;
        p["faults"] = {{{"logId", 0x81}, {"action", "status"}},
                       {{"logId", 0x0D}, {"action", "sizeLimit"}, {"bytes", 16384}}};
    });
    const auto run = nvmeLogs(profile.string());
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Error extracting NVME Log: 0x81; ")) << run.out;
    EXPECT_TRUE(contains(run.out, "NVMe Logs generated (44 of possible 45 logs)\n")) << run.out;
    const auto pages = packedUnder(dir, "log_pages/");
    ASSERT_EQ(1u, pages.count(pageFile(0x0D)));
    // The whole log arrived in the smaller chunks: as long as its header says.
    const std::string& events = pages.at(pageFile(0x0D));
    ASSERT_GE(events.size(), 512u);
    uint64_t totalLength = 0;
    std::memcpy(&totalLength, events.data() + 8, sizeof(totalLength));
    EXPECT_EQ(totalLength, events.size());
    EXPECT_GT(totalLength, 1u << 19);
    EXPECT_EQ(0u, pages.count(pageFile(0x81)));
    // How the chunk is halved is the log-page reader's own test; here, that it is, once per size.
    const std::string logText = readFile(log);
    for (const std::string size : {"65536", "32768", "16384"}) {
        const std::string line = "Chunk size changed to: " + size;
        EXPECT_EQ(logText.find(line), logText.rfind(line)) << line;
        EXPECT_TRUE(contains(logText, line)) << line;
    }
}

}  // namespace e2e
