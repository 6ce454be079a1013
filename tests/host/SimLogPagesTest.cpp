// The log pages of the simulated drives: which pages each drive serves, the lengths their
// headers give, and large pages read piece by piece.
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

constexpr uint16_t enduranceGroup = 1;  // of both maker's profiles

core::CommandResult read(host::sim::SimulatedDrive& drive, uint8_t logId, uint32_t bytes, uint64_t offset = 0,
                         uint8_t lsp = 0, uint16_t lsi = 0) {
    auto command = logPage(logId, bytes, offset, lsp, lsi);
    return send(drive, command);
}

TEST(SimLogPages, SupportedLogPagesListsExactlyThePagesTheDriveAnswers) {
    struct Expected {
        const char* profile;
        std::set<uint8_t> listed;
        std::set<uint8_t> unlisted;
    };
    const Expected cases[] = {
        {"varnholt-nvme", {0x09, 0x0D, 0xC0, 0xC5, 0xCA, 0xD5, 0xF2, 0xF4, 0xF5, 0xFA, 0xFE}, {0x0A, 0xF1}},
        {"kestrova-nvme", {0x07, 0x0F, 0xC3, 0xC5, 0xCA}, {0xD5, 0xF2, 0xF4, 0xF5, 0xFA, 0xFE}},
        {"other-nvme", {0x04, 0x0D, 0x19}, {0x07, 0x09, 0x0F, 0xC0, 0xC1, 0xC5, 0xCA, 0xD5, 0xFA}},
    };
    for (const Expected& c : cases) {
        auto drive = builtIn(c.profile);
        const auto supported = read(*drive, 0x00, 1024);
        ASSERT_TRUE(supported.status.isSuccess()) << c.profile;
        std::set<uint8_t> listed;
        for (uint32_t logId = 0; logId < 256; ++logId) {
            const bool isListed = (u32At(supported.data, 4 * logId) & 1u) != 0;
            if (isListed) {
                listed.insert(static_cast<uint8_t>(logId));
            }
            const auto probe = read(*drive, static_cast<uint8_t>(logId), 4, 0, 0, enduranceGroup);
            EXPECT_EQ(probe.status.isSuccess(), isListed) << c.profile << " LID " << logId;
            if (!isListed) {
                EXPECT_EQ(nvmeStatus(probe), "1/9") << c.profile << " LID " << logId;
            }
        }
        for (const uint8_t logId : c.listed) {
            EXPECT_EQ(listed.count(logId), 1u) << c.profile << " LID " << int(logId);
        }
        for (const uint8_t logId : c.unlisted) {
            EXPECT_EQ(listed.count(logId), 0u) << c.profile << " LID " << int(logId);
        }
    }
}

// The length a page's header gives is the page's length: its last dword can be read and the
// dword after it is past the end.
TEST(SimLogPages, VariableLengthHeadersCoverExactlyThePage) {
    auto drive = builtIn("varnholt-nvme");
    struct Case {
        uint8_t logId;
        uint8_t lsp;
        uint64_t (*length)(const core::Payload& first);
    };
    const Case cases[] = {
        {0x0D, 0, [](const core::Payload& p) { return u64At(p, 8); }},
        {0x0E, 0, [](const core::Payload& p) { return uint64_t{u32At(p, 0)}; }},
        {0x0F, 0, [](const core::Payload& p) { return 8 + 2 * u64At(p, 0); }},
        {0x19, 0, [](const core::Payload& p) { return uint64_t{u32At(p, 4)}; }},
        {0xF5, 0, [](const core::Payload& p) { return uint64_t{u16At(p, 0)}; }},
        {0xFA, 2, [](const core::Payload&) { return uint64_t{2685 * 4}; }},
        {0xFA, 4, [](const core::Payload&) { return uint64_t{453 * 4}; }},
    };
    std::map<uint8_t, uint64_t> lengths;
    for (const Case& c : cases) {
        const auto first = read(*drive, c.logId, 4096, 0, c.lsp);
        ASSERT_TRUE(first.status.isSuccess()) << int(c.logId);
        const uint64_t length = c.length(first.data);
        lengths[c.logId] = length;
        const uint64_t lastDword = (length - 1) / 4 * 4;
        EXPECT_TRUE(read(*drive, c.logId, 4, lastDword, c.lsp).status.isSuccess()) << int(c.logId);
        EXPECT_EQ(nvmeStatus(read(*drive, c.logId, 4, lastDword + 4, c.lsp)), "0/2") << int(c.logId);
    }
    EXPECT_GT(lengths[0x0F], 4096u);        // more than one piece of the collector's reads
    EXPECT_GE(lengths[0x19], 4 * 64u);      // several 64-byte pieces
    EXPECT_GT(lengths[0x0E], 16u);

    // Defects count: the header, then entry-count pieces of a dword multiple.
    const auto defects = read(*drive, 0xF5, 4096);
    const uint32_t total = u16At(defects.data, 0);
    const uint32_t count = u16At(defects.data, 2);
    ASSERT_GT(count, 0u);
    const uint32_t piece = 4 * ((total - 4) / (4 * count));
    EXPECT_EQ(4 + count * piece, total);

    // LBA status: the namespace elements and their range descriptors fill the page.
    const auto lba = read(*drive, 0x0E, static_cast<uint32_t>(lengths[0x0E]));
    uint32_t at = 16;
    for (uint32_t n = 0; n < u32At(lba.data, 4); ++n) {
        at += 16 + 16 * u32At(lba.data, at + 4);
    }
    EXPECT_EQ(at, lengths[0x0E]);

    // Persistent event log: events of every type, walked by their lengths, end exactly at the
    // total length.
    const auto pel = read(*drive, 0x0D, static_cast<uint32_t>((lengths[0x0D] + 3) / 4 * 4));
    ASSERT_TRUE(pel.status.isSuccess());
    std::set<uint8_t> types;
    uint64_t offset = u16At(pel.data, 18);
    for (uint32_t n = 0; n < u32At(pel.data, 4); ++n) {
        ASSERT_LE(offset + 24, lengths[0x0D]) << "event " << n;
        EXPECT_EQ(*pel.data.at(offset + 2), 21);
        types.insert(*pel.data.at(offset));
        offset += 3 + *pel.data.at(offset + 2) + u16At(pel.data, static_cast<uint32_t>(offset + 22));
    }
    EXPECT_EQ(offset, lengths[0x0D]);
    const std::set<uint8_t> registered = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                          0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0xDE, 0xDF};
    EXPECT_EQ(types, registered);
}

// The telemetry logs follow their captures: the Create bit makes a new host-initiated capture
// whose generation number and content are new; a plain read, and the controller-initiated log
// (which has no Create bit), keep theirs. Every data block is tagged with the generation.
TEST(SimTelemetry, CreateMakesANewHostInitiatedCaptureAndPlainReadsKeepIt) {
    auto drive = builtIn("varnholt-nvme");
    EXPECT_EQ(drive->attributes.readString("DriverProvider"), "Linux");
    EXPECT_EQ(drive->attributes.readString("DriverVersion"), "nvme");
    struct Step {
        uint8_t logId;
        uint8_t lsp;
        uint8_t generation;
        bool newContent;
    };
    const Step steps[] = {
        {0x07, 0, 1, false}, {0x07, 1, 2, true},  {0x07, 0, 2, false}, {0x07, 1, 3, true},
        {0x08, 0, 1, false}, {0x08, 1, 1, false}, {0x07, 0, 3, false},
    };
    constexpr uint32_t length = 121 * 512;  // area 3 of the host-initiated log, the longer one
    std::map<uint8_t, core::Payload> previous;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.logId) + " lsp " + std::to_string(step.lsp));
        const auto log = read(*drive, step.logId, length, 0, step.lsp);
        ASSERT_TRUE(log.status.isSuccess());
        EXPECT_EQ(*log.data.at(step.logId == 0x07 ? 381 : 383), step.generation);
        EXPECT_EQ(*log.data.at(512 + 4), step.generation);  // the first data block's tag
        EXPECT_EQ(u32At(log.data, 3 * 512), 3u);           // its block number
        const auto before = previous.find(step.logId);
        if (before != previous.end()) {
            EXPECT_EQ(std::memcmp(log.data.data() + 512, before->second.data() + 512, length - 512) != 0,
                      step.newContent);
        }
        previous[step.logId] = log.data;
    }
}

}  // namespace
