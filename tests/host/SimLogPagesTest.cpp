// The log pages of the simulated drives: which pages each drive serves and the lengths their
// headers give.
#include <vector>

#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

constexpr uint16_t enduranceGroup = 1;  // of both maker's profiles

core::CommandResult read(host::sim::SimulatedDrive& drive, uint8_t logId, uint32_t bytes, uint64_t offset = 0,
                         uint8_t lsp = 0, uint16_t lsi = 0) {
    return send(drive, logPage(logId, bytes, offset, lsp, lsi));
}

TEST(SimLogPages, SupportedLogPagesListsExactlyThePagesTheDriveAnswers) {
    for (const char* profile : {"varnholt-nvme", "kestrova-nvme", "other-nvme"}) {
        auto drive = builtIn(profile);
        const auto supported = read(*drive, 0x00, 1024);
        ASSERT_TRUE(supported.status.isSuccess()) << profile;
        for (uint32_t logId = 0; logId < 256; ++logId) {
            const bool listed = (u32At(supported.data, 4 * logId) & 1u) != 0;
            const auto probe = read(*drive, static_cast<uint8_t>(logId), 4, 0, 0, enduranceGroup);
            EXPECT_EQ(nvmeStatus(probe), listed ? "0/0" : "1/9") << profile << " LID " << logId;
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
        {0x0D, 0, [](const core::Payload& p) { return valueAt<uint64_t>(p, 8); }},
        {0x0E, 0, [](const core::Payload& p) { return uint64_t{u32At(p, 0)}; }},
        {0x0F, 0, [](const core::Payload& p) { return 8 + 2 * valueAt<uint64_t>(p, 0); }},
        {0x19, 0, [](const core::Payload& p) { return uint64_t{u32At(p, 4)}; }},
        {0xF5, 0, [](const core::Payload& p) { return uint64_t{u16At(p, 0)}; }},
    };
    for (const Case& c : cases) {
        const auto first = read(*drive, c.logId, 4096, 0, c.lsp);
        ASSERT_TRUE(first.status.isSuccess()) << int(c.logId);
        const uint64_t length = c.length(first.data);
        const uint64_t lastDword = (length - 1) / 4 * 4;
        EXPECT_TRUE(read(*drive, c.logId, 4, lastDword, c.lsp).status.isSuccess()) << int(c.logId);
        EXPECT_EQ(nvmeStatus(read(*drive, c.logId, 4, lastDword + 4, c.lsp)), "0/2") << int(c.logId);
    }
}

}  // namespace
