// The log-page decoders on the pages the simulated drive serves: each field checked is set
// from the drive's profile or the generator's inputs, so a wrong offset, width or rendering
// in a table shows as a wrong value here.
#include <functional>
#include <string>
#include <vector>

#include "drivekit/features/Registries.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;
using drivekit::core::xml::XmlObject;
using drivekit::features::nvme_get_log::decode::PageContext;
using host::sim::SimProfile;

const std::string truncated = drivekit::features::decode::FieldRenderer::truncatedName;

// The value of a property found by the child names leading to it; "<missing>" when a child
// or the property is absent.
std::string valueAt(const XmlObject& root, const std::vector<std::string>& path) {
    const XmlObject* at = &root;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        at = at->object(path[i]);
        if (at == nullptr) {
            return "<missing " + path[i] + ">";
        }
    }
    for (const auto& property : at->properties()) {
        if (property->attribute("name") == path.back()) {
            return property->attribute("value");
        }
    }
    return "<missing>";
}

std::unique_ptr<XmlObject> decodeServed(host::sim::SimulatedDrive& drive, uint8_t logId, uint32_t bytes, uint8_t lsp,
                                        uint16_t lsi) {
    auto command = logPage(logId, bytes, 0, lsp, lsi);
    const auto result = send(drive, command);
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
        {0x00, 1024, 0, 0, {"Log Page 213 (0xD5)", "Supported"}, "1"},
        {0x00, 1024, 0, 0, {"Log Page 7 (0x07)", "LID Specific Parameter"}, "0x0001"},  // data area 4
        {0x00, 1024, 0, 0, {"Log Page 10 (0x0A)", "Supported"}, "<missing Log Page 10 (0x0A)>"},
        {0x01, 4096, 0, 0, {"Number of log entries"}, "64"},
        {0x02, 512, 0, 0, {"Data Units Written"}, n(h.dataUnitsWritten)},
        {0x02, 512, 0, 0, {"Percentage Used"}, n(h.percentageUsed)},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 0", "Error Count Identifier"}, n(h.errorLogEntries)},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 1", "Command ID"}, "0x1004"},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 0", "Byte in command that contained the error"}, "40"},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 0", "Status Code"}, "0x02"},
        {0x01, 4096, 0, 0, {"Error Info Log Entry 5", "LBA"}, "<missing Error Info Log Entry 5>"},
        {0x03, 512, 0, 0, {"Active Firmware Slot"}, "1"},
        {0x03, 512, 0, 0, {"Firmware Rev Slot 1"}, p.firmwareSlots[0]},
        {0x03, 512, 0, 0, {"Firmware Rev Slot 2"}, p.firmwareSlots[1]},
        {0x03, 512, 0, 0, {"Firmware Rev Slot 7"}, ""},
        {0x04, 4096, 0, 0, {"Namespace ID"}, "3"},
        {0x05, 4096, 0, 0, {"Admin Command 241 (0xF1)", "Command Supported"}, "1"},
        {0x05, 4096, 0, 0, {"I/O Command 1 (0x01)", "Logical Block Content Change"}, "1"},
        {0x05, 4096, 0, 0, {"I/O Command 2 (0x02)", "Logical Block Content Change"}, "0"},
        {0x06, 564, 0, 0, {"Self Test Result Structure 0", "Device Self-test Code"}, "2"},
        {0x06, 564, 0, 0, {"Self Test Result Structure 1", "Power On Hours"}, n(h.powerOnHours - 24)},
        {0x06, 564, 0, 0, {"Self Test Result Structure 2", "Power On Hours"}, "<missing Self Test Result Structure 2>"},
        {0x09, 512, 0, 1, {"Endurance Estimate"}, enduranceGb},
        {0x09, 512, 0, 1, {"Total Endurance Group Capacity"}, n(p.capacityBytes)},
        {0x0E, 4096, 0, 0, {"Number of LBA Status Log Namespace Elements"}, "2"},
        {0x0E, 4096, 0, 0, {"LBA Status Log Namespace Element 1", "Namespace Element Identifier"}, "2"},
        {0x0E, 4096, 0, 0, {"LBA Status Log Namespace Element 0", "LBA Range Descriptor 1", "Range Starting LBA"},
         n((p.namespaces[0].sizeBlocks / 3) & ~uint64_t{0xFF})},
        {0x12, 1024, 0, 0, {"Feature Id 6 (0x06)", "Controller Scope"}, "1"},
        {0x13, 4096, 0, 0, {"NVMe-MI Command 7 (0x07)", "NVM Subsystem Scope"}, "1"},
        {0x14, 512, 0x13, 0, {"Command and Feature Identifier List (CFIL)"}, "0x03 0x06 0x07"},
        {0x14, 512, 0x13, 0, {"Requested Scope"}, "3 (Management Interface Command Set)"},
        {0x14, 512, 0x22, 0, {"Command and Feature Identifier List (CFIL)"}, "0x01 0x05 0x07 0x08 0x0A"},
        {0x14, 512, 0x04, 0, {"Command and Feature Identifier List (CFIL)"}, "none"},
        {0x19, 4096, 0, 0, {"Lanes"}, "4"},
        {0x19, 4096, 0, 0, {"Eye Opening Measurement Descriptor 3", "Right"}, "13"},
        {0x19, 4096, 0, 0, {"Eye Opening Measurement Descriptor 0", "Printable Eye Row 3"}, "1000000000000001"},
        {0x81, 512, 0, 0, {"Estimated Time For Block Erase"}, "30"},
        {0xC0, 512, 0, 0, {"Media Units Read"}, n(h.dataUnitsRead * 512000)},
        {0xC0, 512, 0, 0, {"Bad System NAND Blocks", "Raw Count"}, "2"},
        {0xC0, 512, 0, 0, {"User Data Erase Counts", "Minimum User Data Erase Count"}, n(30 + h.percentageUsed * 30)},
        {0xC0, 512, 0, 0, {"Thermal Throttling Status and Count", "Current Throttling Status"}, "00"},
        {0xC0, 512, 0, 0, {"PLP Start Count"}, n(h.powerCycles)},
        {0xC0, 512, 0, 0, {"Power State Change Count"}, n(h.powerCycles * 4)},
        {0xC0, 512, 0, 0, {"Log Page GUID"}, "0xAFD514C97C6F4F9CA4F2BFEA2810AFC5"},
        {0xC0, 512, 0, 0, {"Reserved (127:121)"}, "0x00000000000000"},
        {0xC1, 512, 0, 0, {"Device Recovery Action 2 Timeout"}, "10"},
        {0xC2, 4096, 0, 0, {"Firmware Activation History Entry 0", "Previous Firmware"}, p.firmwareSlots[1]},
        {0xC2, 4096, 0, 0, {"Firmware Activation History Entry 0", "Power Cycle Count"}, n(h.powerCycles)},
        {0xC2, 4096, 0, 0, {"Log Page GUID"}, "0xD11CF3AC8AB24DE2A3F6DAB4769A796D"},
        {0xC3, 512, 0, 0, {"Active Bucket Timer Threshold"}, "2016"},
        {0xC4, 4096, 0, 0, {"MCTP over SMBus Supported"}, "1"},
        {0xC4, 4096, 0, 0, {"DSSD Power State 0 (0x00)", "Valid"}, "1"},
        {0xC5, 4096, 0, 0, {"Unsupported Requirement 1", "Unsupported Requirement"}, "SEC-12"},
        {0xCA, 516, 0, 0, {"SMART Attribute 1", "Raw Value"}, n(h.powerOnHours)},
        {0xCA, 516, 0, 0, {"SMART Attribute 9", "Attribute ID"}, "194"},
        {0xD5, 112, 0, 0, {"Highest Temperature"}, n(h.temperatureKelvin - 273 + 24)},
        {0xF2, 16, 0, 0, {"VIN2 (12V Rail)"}, "6850"},
    };
    for (const Case& c : cases) {
        const auto object = decodeServed(*drive, c.logId, c.bytes, c.lsp, c.lsi);
        ASSERT_NE(object, nullptr) << "LID " << int(c.logId);
        EXPECT_EQ(valueAt(*object, c.path), c.expected) << "LID " << int(c.logId) << " " << c.path.back();
        EXPECT_EQ(object->propertyValue(truncated), "") << "LID " << int(c.logId);
    }
}

// Each served page cut at every length decodes what it holds: nothing is read past the cut
// (the payload's checked views would throw), and a cut inside a fixed layout says so.
TEST(LogPageDecodeServed, EveryCutOfAServedPageDecodesWithoutReadingPastIt) {
    auto drive = builtIn("varnholt-nvme");
    ASSERT_TRUE(drive);
    const std::pair<uint8_t, uint8_t> pages[] = {{0x00, 0}, {0x01, 0}, {0x03, 0}, {0x04, 0}, {0x05, 0}, {0x06, 0},
                                                 {0x0E, 0}, {0x12, 0}, {0x13, 0}, {0x14, 0x12}, {0x19, 0}, {0x81, 0},
                                                 {0xC0, 0}, {0xC1, 0}, {0xC2, 0}, {0xC3, 0}, {0xC4, 0}, {0xC5, 0},
                                                 {0xCA, 0}, {0xD5, 0}, {0xF2, 0}};
    for (const auto& [logId, lsp] : pages) {
        auto command = logPage(logId, 4096, 0, lsp);
        const auto served = send(*drive, command);
        ASSERT_TRUE(served.status.isSuccess()) << int(logId);
        for (uint32_t cut = 1; cut < 600; cut += 5) {
            PageContext context;
            context.logId = logId;
            context.logSpecificField = lsp;
            context.makerVendorPages = true;
            core::Status status;
            std::unique_ptr<XmlObject> object;
            ASSERT_NO_THROW(object = drivekit::features::nvme_get_log::decode::decodeLogPage(
                                context, core::Payload(served.data.data(), cut), status))
                << int(logId) << " cut at " << cut;
            ASSERT_NE(object, nullptr);
            EXPECT_TRUE(status.isSuccess());
            if (logId == 0xC0 || logId == 0x81 || logId == 0x09) {
                EXPECT_EQ(object->propertyValue(truncated) != "", cut < 512) << int(logId) << " cut at " << cut;
            }
        }
    }
}

// Every page class that reads a page of its own decodes it through the same path: read from the
// drive, the page object's tree has the family's root name and is whole.
TEST(LogPageDecodeServed, PageObjectsDecodeWhatTheyRead) {
    auto drive = builtIn("varnholt-nvme");
    ASSERT_TRUE(drive);
    drivekit::features::nvme_get_log::registerLogPages();
    const std::pair<const char*, const char*> pages[] = {
        {"SupportedLogPages", "Supported Log Pages (Log ID = 0)"},
        {"ErrorInfo", "Error Information Log"},
        {"FirmwareSlotInfo", "Firmware Slot Info"},
        {"EnduranceGroupInfo", "Endurance Group Information Log"},
        {"LBAStatusInfo", "LBA Status Information Log"},
        {"EyeOpeningMeasurement", "Eye Opening Measurement Log Header"},
        {"CommandFeatureLockdown", "Command and Feature Lockdown Log"},
        {"OCPSMARTCloud", "SMART Cloud Log"},
        {"OCPUnsupportedRequirements", "OCP Unsupported Requirements Log"},
        {"TemperatureStatistics", "Temp Statistics"},
        {"SmartAttributes", "SMART Attributes"},
        {"DefectsCount", "Nand Defects Count (Log ID = 0xF5)"},
    };
    for (const auto& [name, root] : pages) {
        auto page = drivekit::features::GetLogRegistry::instance().create(name, drive, core::AttributeCollection());
        ASSERT_NE(page, nullptr) << name;
        core::Status status;
        ASSERT_TRUE(page->sendCommand(status).isSuccess()) << name << ": " << status.message();
        std::unique_ptr<XmlObject> object;
        EXPECT_TRUE(page->toXmlObject(status, object).isSuccess()) << name;
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->attribute("name"), root) << name;
        EXPECT_EQ(object->attribute("key"), root) << name;
        EXPECT_EQ(object->propertyValue(truncated), "") << name;
    }
}

}  // namespace
