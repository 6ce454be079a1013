// The log-page decoders on the pages the simulated drive serves: each field checked is set
// from the drive's profile or the generator's inputs, so a wrong offset, width or rendering
// in a table shows as a wrong value here.
#include <string>
#include <vector>

#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;
using drivekit::core::xml::XmlObject;
using drivekit::features::nvme_get_log::decode::PageContext;
using host::sim::SimProfile;

const std::string truncated = drivekit::features::decode::FieldRenderer::truncatedName;

std::unique_ptr<XmlObject> decodeServed(host::sim::SimulatedDrive& drive, uint8_t logId, uint32_t bytes, uint8_t lsp,
                                        uint16_t lsi) {
    const auto result = send(drive, logPage(logId, bytes, 0, lsp, lsi));
    EXPECT_TRUE(result.status.isSuccess()) << "LID " << int(logId);
    PageContext context;
    context.logId = logId;
    context.logSpecificField = lsp;
    context.logSpecificId = lsi;
    context.makerVendorPages = true;
    core::Status status;
    auto object = drivekit::features::nvme_get_log::decode::decodeLogPage(context, result.data, status);
    EXPECT_TRUE(status.isSuccess()) << "LID " << int(logId) << ": " << status.message();
    return object;
}

TEST(LogPageDecodeServed, ServedPagesShowTheValuesTheDriveWasGiven) {
    auto drive = builtIn("varnholt-nvme");
    ASSERT_TRUE(drive);
    const SimProfile& p = drive->profile();
    const auto& h = p.health;
    const auto n = [](uint64_t v) { return std::to_string(v); };
    const std::string enduranceGb = n(p.capacityBytes / 1000000000 * 3000);
    struct Case {
        uint8_t logId;
        uint32_t bytes;
        uint8_t lsp;
        uint16_t lsi;
        std::vector<std::string> path;
        std::string expected;
    };
    const Case cases[] = {
        {0x00, 1024, 0, 0, {"Log Page 7 (0x07)", "LID Specific Parameter"}, "0x0001"},  // data area 4
        {0x00, 1024, 0, 0, {"Log Page 10 (0x0A)", "Supported"}, "<missing Log Page 10 (0x0A)>"},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 1", "Command ID"}, "0x1004"},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 5", "LBA"}, "<missing Error Info Log Entry 5>"},
        {0x02, 512, 0, 0, {"Data Units Written"}, n(h.dataUnitsWritten)},
        {0x03, 512, 0, 0, {"Firmware Rev Slot 2"}, p.firmwareSlots[1]},
        {0x04, 4096, 0, 0, {"Namespace ID"}, "3"},
        {0x05, 4096, 0, 0, {"I/O Command 1 (0x01)", "Logical Block Content Change"}, "1"},
        {0x06, 564, 0, 0, {"Self Test Result Structure 1", "Power On Hours"}, n(h.powerOnHours - 24)},
        {0x09, 512, 0, 1, {"Endurance Estimate"}, enduranceGb},
        {0x0E, 4096, 0, 0, {"LBA Status Log Namespace Element 0", "LBA Range Descriptor 1", "Range Starting LBA"},
         n((p.namespaces[0].sizeBlocks / 3) & ~uint64_t{0xFF})},
        {0x12, 1024, 0, 0, {"Feature Id 6 (0x06)", "Controller Scope"}, "1"},
        {0x13, 4096, 0, 0, {"NVMe-MI Command 7 (0x07)", "NVM Subsystem Scope"}, "1"},
        {0x14, 512, 0x13, 0, {"Command and Feature Identifier List (CFIL)"}, "0x03 0x06 0x07"},
        {0x14, 512, 0x04, 0, {"Command and Feature Identifier List (CFIL)"}, "none"},
        {0x19, 4096, 0, 0, {"Eye Opening Measurement Descriptor 0", "Printable Eye Row 3"}, "1000000000000001"},
        {0x81, 512, 0, 0, {"Estimated Time For Block Erase"}, "30"},
        {0xC0, 512, 0, 0, {"Media Units Read"}, n(h.dataUnitsRead * 512000)},
        {0xC0, 512, 0, 0, {"Log Page GUID"}, "0xAFD514C97C6F4F9CA4F2BFEA2810AFC5"},
        {0xC1, 512, 0, 0, {"Device Recovery Action 2 Timeout"}, "10"},
        {0xC2, 4096, 0, 0, {"Firmware Activation History Entry 0", "Previous Firmware"}, p.firmwareSlots[1]},
        {0xC3, 512, 0, 0, {"Active Bucket Timer Threshold"}, "2016"},
        {0xC4, 4096, 0, 0, {"DSSD Power State 0 (0x00)", "Valid"}, "1"},
        {0xC5, 4096, 0, 0, {"Unsupported Requirement 1", "Unsupported Requirement"}, "SEC-12"},
        {0xCA, 516, 0, 0, {"SMART Attribute 9", "Attribute ID"}, "194"},
        {0xD5, 112, 0, 0, {"Highest Temperature"}, n(h.temperatureKelvin - 273 + 24)},
        {0xF2, 16, 0, 0, {"VIN2 (12V Rail)"}, "6850"},
    };
    for (const Case& c : cases) {
        const auto object = decodeServed(*drive, c.logId, c.bytes, c.lsp, c.lsi);
        ASSERT_NE(object, nullptr) << "LID " << int(c.logId);
        EXPECT_EQ(propertyAt(*object, c.path), c.expected) << "LID " << int(c.logId) << " " << c.path.back();
        EXPECT_EQ(object->propertyValue(truncated), "") << "LID " << int(c.logId);
    }
}

}  // namespace
