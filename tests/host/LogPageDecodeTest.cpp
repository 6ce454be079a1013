// The log-page decoders on the pages the simulated drive serves: each field checked is set
// from the drive's profile or the generator's inputs, so a wrong offset, width or rendering
// in a table shows as a wrong value here. The persistent event log, read by its page class:
// every event with the values the drive put in, and logs cut short or with hostile lengths.
#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_PersistentEventLog.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"
#include "tests/features/LogCapture.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;
using drivekit::core::xml::XmlObject;
using drivekit::features::nvme_get_log::NVMeGetLog_PersistentEventLog;
using drivekit::features::nvme_get_log::decode::PageContext;
using drivekit::features::nvme_get_log::pel::decodePersistentEventLog;
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

constexpr uint32_t logHeader = 512;

struct SimulatedLog {
    std::shared_ptr<host::sim::SimulatedDrive> drive;
    core::Payload bytes;
    std::unique_ptr<XmlObject> tree;
};

// The log as a host reads it from the built-in drive, and the page's own tree of it.
SimulatedLog readLog() {
    SimulatedLog log;
    log.drive = builtIn("varnholt-nvme");
    NVMeGetLog_PersistentEventLog page(log.drive, {});
    core::Status status;
    EXPECT_TRUE(page.sendCommand(status).isSuccess()) << status.message();
    EXPECT_TRUE(page.toXmlObject(status, log.tree).isSuccess());
    log.bytes = page.getPayload();
    return log;
}

// Offsets of the events, walked by their lengths.
std::vector<uint32_t> eventStarts(const core::Payload& log) {
    std::vector<uint32_t> starts;
    for (uint32_t at = logHeader; at + 24 <= log.size(); at += 3 + *log.at(at + 2) + u16At(log, at + 22)) {
        starts.push_back(at);
    }
    return starts;
}

core::Payload copy(const core::Payload& log, uint32_t bytes) { return core::Payload(log.data(), bytes); }

template <typename T>
void put(core::Payload& log, uint32_t at, T value) {
    std::memcpy(log.at(at), &value, sizeof value);
}

TEST(PersistentEventLogDecode, EveryEventOfTheSimulatedDriveDecodesWithTheValuesItServed) {
    const SimulatedLog log = readLog();
    ASSERT_TRUE(log.tree);
    const auto& profile = log.drive->profile();
    const XmlObject& root = *log.tree;
    EXPECT_EQ(root.attribute("name"), "Persistent Event Log");
    EXPECT_EQ(root.propertyValue("Total Log Length"), std::to_string(log.bytes.size()));
    EXPECT_EQ(root.propertyValue("Power on Hours"), std::to_string(profile.health.powerOnHours));
    EXPECT_EQ(root.propertyValue("Serial Number"), log.drive->attributes.readString("SerialNumber"));
    EXPECT_EQ(root.propertyValue("Truncated"), "");

    const auto starts = eventStarts(log.bytes);
    const uint32_t events = u32At(log.bytes, 4);
    ASSERT_EQ(starts.size(), events);
    ASSERT_EQ(root.objects().size(), events + 2);  // the timestamp, the supported-events bitmap, the events
    for (uint32_t n = 1; n <= events; ++n) {
        const std::string event = "Event " + std::to_string(n);
        EXPECT_EQ(propertyAt(root, {event, "Event Type"}), std::to_string(*log.bytes.at(starts[n - 1]))) << n;
        EXPECT_EQ(propertyAt(root, {event, "Truncated"}), "") << n;
    }

    // One spot check (or more) per event type, found by its type.
    const auto& namespaceOne = profile.namespaces.front();
    const std::vector<std::tuple<uint8_t, std::vector<std::string>, std::string>> expected = {
        {0x01, {"Power On Hours"}, std::to_string(profile.health.powerOnHours)},
        {0x02, {"Old Firmware Revision"}, profile.firmwareSlots[1]},
        {0x03, {"Milliseconds Since Reset"}, "12000"},
        {0x04, {"Controller Reset Information 1", "Controller Power Cycle Count"},
         std::to_string(profile.health.powerCycles)},
        {0x05, {"Current Link Speed"}, "4"},
        {0x06, {"Namespace Size"}, std::to_string(namespaceOne.sizeBlocks)},
        {0x07, {"Secure Erase Settings"}, "1"},
        {0x08, {"Namespace Identifier"}, std::to_string(namespaceOne.id)},
        {0x09, {"Sanitize Action"}, "4"},
        {0x0A, {"Sanitize Progress"}, "65535"},
        {0x0B, {"Dword 1"}, "1"},
        {0x0C, {"Telemetry Data Area Last Block 3"}, std::to_string(profile.hostTelemetryLastBlocks[2])},
        {0x0D, {"Over Temperature"}, "3"},
        {0xDE, {"Vendor Specific Information", "Vendor Specific Descriptor 1", "Event Data"}, "0x0100A5A5"},
        {0xDF, {"Invoking ID"}, "0x0000020500000002"},
    };
    for (const auto& [type, fields, value] : expected) {
        const auto at = std::find_if(starts.begin(), starts.end(), [&](uint32_t s) { return *log.bytes.at(s) == type; });
        ASSERT_NE(at, starts.end()) << "no event of type " << int(type);
        std::vector<std::string> path = {"Event " + std::to_string(at - starts.begin() + 1)};
        path.insert(path.end(), fields.begin(), fields.end());
        EXPECT_EQ(propertyAt(root, path), value) << "type " << int(type) << ": " << fields.back();
    }
}

// A log cut anywhere keeps the events before the cut and logs where the walk stopped.
TEST(PersistentEventLogDecode, ALogCutShortKeepsTheEventsBeforeTheCut) {
    const SimulatedLog log = readLog();
    const auto starts = eventStarts(log.bytes);
    ASSERT_GT(starts.size(), 4u);
    struct Cut {
        uint32_t bytes;
        size_t whole;  // events decoded in full
        const char* function;
        std::string line;
    };
    const uint32_t third = starts[2];
    const uint32_t fourth = starts[3];
    const std::vector<Cut> cuts = {
        {third + 30, 2, "takeHeader",
         "Event data out of bounds. Event #3, offset " + std::to_string(third) + ", event size " +
             std::to_string(fourth - third) + ", payload size " + std::to_string(third + 30) + "."},
        {fourth + 10, 3, "settle",
         "Event header out of bounds. Event number #4, offset " + std::to_string(fourth) +
             ", header size 24, payload size " + std::to_string(fourth + 10) + "."},
    };
    for (const Cut& cut : cuts) {
        features_test::LogCapture capture;
        core::Status status;
        const auto tree = decodePersistentEventLog(copy(log.bytes, cut.bytes), status);
        EXPECT_TRUE(status.isSuccess());
        EXPECT_TRUE(capture.logged(cut.function, cut.line)) << cut.line;
        EXPECT_NE(tree->propertyValue("Truncated"), "") << cut.bytes;
        for (size_t n = 1; n <= cut.whole; ++n) {
            const XmlObject* event = tree->object("Event " + std::to_string(n));
            ASSERT_NE(event, nullptr) << cut.bytes;  // and whole: as the uncut log has it
            EXPECT_EQ(event->serialize(), log.tree->object("Event " + std::to_string(n))->serialize());
        }
        EXPECT_EQ(tree->object("Event " + std::to_string(cut.whole + 2)), nullptr);
    }
}

// Lengths and counts a failing drive may report: each ends in a bounded walk that keeps the
// events before the fault and decodes nothing from outside the log.
TEST(PersistentEventLogDecode, HostileLengthsEndTheWalkWithoutReadingOutsideTheLog) {
    const SimulatedLog log = readLog();
    const auto starts = eventStarts(log.bytes);
    const auto events = static_cast<uint32_t>(starts.size());
    struct Case {
        const char* what;
        uint8_t type;  // the event the damage is done to (its type), and where it shows
        uint32_t offset;  // within that event
        unsigned width;  // of the little-endian value written there
        uint32_t written;
        bool walkEnds;  // the walk stops at that event
        std::vector<std::string> path;  // below that event: a property that shows how the fault was met
        std::string value;  // how that property's value starts
    };
    const std::vector<Case> cases = {
        {"event length past the end", 0x03, 22, 2, 0xFFFF, true, {"Truncated"}, "the event's"},
        {"header length 0", 0x03, 2, 1, 0, true, {"Truncated"}, "the event is shorter than its header"},
        {"unknown event type", 0x0D, 0, 1, 0x7F, false, {"raw"}, "0x0346"},
        {"vendor information longer than the event", 0xDE, 20, 2, 0xFFFF, false,
         {"Vendor Specific Information", "Truncated"}, "the vendor-specific information is 65535 bytes"},
        {"descriptor data past the information", 0xDE, 24 + 4, 2, 0x4000, false,
         {"Vendor Specific Information", "Vendor Specific Descriptor 1", "Event Data"}, "0x0100A5A50000"},
        {"dwords past the event", 0x0B, 24, 4, 0x0000000F, false, {"Truncated"}, "the data ends"},
        {"memory buffer past the event", 0x0B, 24, 4, 0xFFFF0001, false, {"Truncated"}, "the data ends"},
        {"event length 0", 0x0D, 22, 2, 0, false, {"Truncated"}, "the data ends before Over_Temperature"},
        {"hardware error without its information", 0x05, 22, 2, 4, false, {"Error Event Code"}, "4"},
    };
    for (const Case& c : cases) {
        const auto at = std::find_if(starts.begin(), starts.end(), [&](uint32_t s) { return *log.bytes.at(s) == c.type; });
        ASSERT_NE(at, starts.end()) << c.what;
        const size_t number = at - starts.begin() + 1;
        core::Payload damaged = copy(log.bytes, log.bytes.size());
        std::memcpy(damaged.at(*at + c.offset), &c.written, c.width);  // little-endian, as the log is
        core::Status status;
        const auto tree = decodePersistentEventLog(damaged, status);
        EXPECT_TRUE(status.isSuccess()) << c.what;
        std::vector<std::string> path = {"Event " + std::to_string(number)};
        path.insert(path.end(), c.path.begin(), c.path.end());
        EXPECT_EQ(propertyAt(*tree, path).substr(0, c.value.size()), c.value) << c.what;
        for (size_t n = 1; n < number; ++n) {
            const std::string event = "Event " + std::to_string(n);
            EXPECT_EQ(tree->object(event)->serialize(), log.tree->object(event)->serialize()) << c.what;
        }
        if (c.walkEnds) {
            EXPECT_EQ(tree->object("Event " + std::to_string(number + 1)), nullptr) << c.what;
        }
    }

    // Counts past the events the log holds: the walk stops after the last one.
    core::Payload counted = copy(log.bytes, log.bytes.size());
    put<uint32_t>(counted, 4, 0xFFFFFFFF);
    core::Status status;
    auto tree = decodePersistentEventLog(counted, status);
    EXPECT_NE(tree->object("Event " + std::to_string(events)), nullptr);
    EXPECT_EQ(tree->object("Event " + std::to_string(events + 1)), nullptr);
    EXPECT_NE(tree->propertyValue("Truncated"), "");
    put<uint32_t>(counted, 4, 0);
    tree = decodePersistentEventLog(counted, status);
    EXPECT_EQ(tree->object("Event 1"), nullptr);
    EXPECT_EQ(tree->propertyValue("Total Number of Events"), "0");

    // Many small events: every one is shown, and the log is whole.
    const uint32_t many = 25000;
    core::Payload crowded(logHeader + 24 * many);
    std::memcpy(crowded.data(), log.bytes.data(), logHeader);
    put<uint32_t>(crowded, 4, many);
    for (uint32_t n = 0; n < many; ++n) {
        put<uint8_t>(crowded, logHeader + 24 * n, 0x7F);
        put<uint8_t>(crowded, logHeader + 24 * n + 2, 21);
    }
    tree = decodePersistentEventLog(crowded, status);
    EXPECT_EQ(propertyAt(*tree, {"Event 25000", "raw"}), "0x0");
    EXPECT_EQ(tree->propertyValue("Truncated"), "");

    // Too short for the header: the bare root, and the status says the data was short.
    features_test::LogCapture capture;
    const auto bare = decodePersistentEventLog(copy(log.bytes, 100), status);
    EXPECT_EQ(status, core::Status::unexpectedDataLength());
    EXPECT_TRUE(bare->properties().empty() && bare->objects().empty());
    EXPECT_TRUE(capture.logged("persistentEventLogRoot", "Not enough data to parse PEL header: 100"));
}

}  // namespace
