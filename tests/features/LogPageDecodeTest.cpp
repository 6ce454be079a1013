// Log pages cut short or reporting counts and lengths their bytes cannot hold: each decodes
// what it holds, says it was cut short, and reads nothing outside the bytes given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

namespace {

namespace core = drivekit::core;
using drivekit::core::xml::XmlObject;
using drivekit::features::nvme_get_log::decode::decodeLogPage;
using drivekit::features::nvme_get_log::decode::hasLogPageDecoder;
using drivekit::features::nvme_get_log::decode::PageContext;

const std::string truncated = drivekit::features::decode::FieldRenderer::truncatedName;

// A page of size bytes, zero but for the little-endian values put at the given offsets.
struct Bytes {
    std::vector<uint8_t> data;
    explicit Bytes(size_t size) : data(size) {}
    Bytes& put(size_t offset, uint64_t value, size_t width) {
        for (size_t i = 0; i < width && offset + i < data.size(); ++i) {
            data[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        }
        return *this;
    }
    // A payload holding exactly these bytes (not rounded up), so a read past them is caught.
    core::Payload payload() const { return core::Payload(data.data(), static_cast<uint32_t>(data.size())); }
};

PageContext contextOf(uint8_t logId, uint8_t lsp = 0) {
    PageContext context;
    context.logId = logId;
    context.logSpecificField = lsp;
    return context;
}

std::unique_ptr<XmlObject> decode(uint8_t logId, const core::Payload& page, core::Status& status, uint8_t lsp = 0) {
    return decodeLogPage(contextOf(logId, lsp), page, status);
}

TEST(LogPageDecode, ShortPagesAndHostileCountsDecodeWhatIsPresentAndSaySo) {
    struct Case {
        const char* what; uint8_t logId; Bytes page;
        size_t children;  // child objects of the root
    };
    const Case cases[] = {
        {"supported pages one byte short", 0x00, Bytes(1023).put(0, 1, 4), 0},
        {"error log ending inside entry 1", 0x01, Bytes(100).put(0, 9, 8).put(64, 8, 8), 1},
        {"firmware slots cut in slot 2", 0x03, Bytes(20).put(0, 1, 1), 0},
        {"self-test log cut in result 2", 0x06, Bytes(70), 2},
        {"LBA status: every count at its largest", 0x0E,
         Bytes(48).put(0, 0xFFFFFFFF, 4).put(4, 0xFFFFFFFF, 4).put(20, 0xFFFFFFFF, 4), 1},
        {"LBA status: a second element past the page length", 0x0E,
         Bytes(64).put(0, 32, 4).put(4, 2, 4).put(16, 1, 4), 1},
        {"lockdown list longer than the page", 0x14, Bytes(10).put(3, 200, 1), 0},
        {"eye opening: 255 lanes of 65535 by 65535 eyes", 0x19,
         Bytes(128).put(2, 64, 2).put(4, 0xFFFFFFFF, 4).put(10, 3, 1).put(11, 255, 1).put(12, 255, 1)
             .put(76, 0xFFFF, 2).put(78, 0xFFFF, 2),
         0},
        {"SMART cloud cut inside the erase counts", 0xC0, Bytes(90), 4},
        {"firmware history claiming 2^32-1 entries", 0xC2, Bytes(4096).put(4, 0xFFFFFFFF, 4), 20},
        {"unsupported requirements claiming 65535", 0xC5, Bytes(4096).put(0, 0xFFFF, 2), 253},
        {"SMART attributes claiming 65535 in 30 bytes", 0xCA, Bytes(30).put(2, 0xFFFF, 2).put(4, 9, 1).put(16, 12, 1), 2},
        {"device capabilities cut in the power states", 0xC4, Bytes(40).put(16, 0x81, 1).put(39, 0x80, 1), 2},
    };
    for (const Case& c : cases) {
        core::Status status;
        const auto object = decode(c.logId, c.page.payload(), status);
        ASSERT_NE(object, nullptr) << c.what;
        EXPECT_TRUE(status.isSuccess()) << c.what;
        EXPECT_NE(object->propertyValue(truncated), "") << c.what;
        EXPECT_EQ(object->objects().size(), c.children) << c.what;
    }
}

// The fields before a cut keep their values; a count is bounded by the layout as well as the data.
TEST(LogPageDecode, FieldsBeforeTheCutKeepTheirValues) {
    core::Status status;
    auto slots = decode(0x03, Bytes(20).put(0, 0x23, 1).put(8, 0x3130524956, 5).payload(), status);
    EXPECT_EQ(slots->propertyValue("Active Firmware Slot"), "3");
    EXPECT_EQ(slots->propertyValue("Reset Firmware Slot"), "2");
    EXPECT_EQ(slots->propertyValue("Firmware Rev Slot 1"), "VIR01");
    EXPECT_EQ(slots->propertyValue("Firmware Rev Slot 2"), "");

    auto lockdown = decode(0x14, Bytes(10).put(0, 0x12, 1).put(3, 200, 1).put(4, 0x0B0A0908070605, 6).payload(),
                           status, 0x12);
    EXPECT_EQ(lockdown->propertyValue("Command and Feature Identifier List (CFIL)"), "0x05 0x06 0x07 0x08 0x09 0x0A");
    EXPECT_EQ(lockdown->propertyValue("Requested Scope"), "2 (Set Features Feature Identifier)");

    // Drives below NVMe 1.2 leave the reset slot undefined: it is not shown.
    PageContext old = contextOf(0x03);
    old.nvme1Point2OrGreater = false;
    auto oldSlots = decodeLogPage(old, Bytes(512).put(0, 0x21, 1).payload(), status);
    EXPECT_EQ(oldSlots->propertyValue("Active Firmware Slot"), "1");
    EXPECT_EQ(oldSlots->propertyValue("Reset Firmware Slot"), "");
    EXPECT_EQ(oldSlots->propertyValue(truncated), "");
}

// The temperature statistics and the cloud SSD page share LID 0xC5; the context, or on drives
// outside the product family the page's size, says which one a page is (the page objects' own
// contexts are the served pages' tests).
TEST(LogPageDecode, TheSharedLidIsDecodedAsThePageItHolds) {
    struct Case { bool family; uint32_t size; const char* root; };
    const Case cases[] = {
        {false, 112, "Temp Statistics"},
        {true, 112, "OCP Unsupported Requirements Log"},
        {false, 4096, "OCP Unsupported Requirements Log"},
    };
    for (const Case& c : cases) {
        PageContext context = contextOf(0xC5);
        context.makerVendorPages = c.family;
        core::Status status;
        const auto object = decodeLogPage(context, Bytes(c.size).put(0, 41, 8).payload(), status);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->attribute("name"), c.root) << c.size;
    }
}

TEST(LogPageDecode, EmptyPagesGiveTheBareRootAndUnknownPagesNoDecoder) {
    for (uint32_t logId = 0; logId < 256; ++logId) {
        const PageContext context = contextOf(static_cast<uint8_t>(logId));
        core::Status status;
        const auto object = decodeLogPage(context, core::Payload(), status);
        EXPECT_EQ(object != nullptr, hasLogPageDecoder(context)) << logId;
        if (object != nullptr && logId != 0x0D) {
            EXPECT_TRUE(status.isSuccess()) << logId;
            EXPECT_NE(object->attribute("name"), "") << logId;
            EXPECT_TRUE(object->properties().empty() && object->objects().empty()) << logId;
        }
    }
    EXPECT_FALSE(hasLogPageDecoder(contextOf(0x07)));
}

}  // namespace
