#include <gtest/gtest.h>

#include "drivekit/core/Status.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "tests/features/IdentifyDecodeSupport.h"

namespace {

using namespace identify_decode_test;
using drivekit::core::Status;
namespace decode = drivekit::features::identify::decode;

// ATA strings hold two characters per word with the first character in the high byte.
void putAtaText(Payload& data, uint32_t word, std::string text, uint32_t words) {
    text.resize(words * 2, ' ');
    for (uint32_t i = 0; i < words; ++i) {
        putLe(data, (word + i) * 2, static_cast<uint8_t>(text[2 * i + 1]), 1);
        putLe(data, (word + i) * 2 + 1, static_cast<uint8_t>(text[2 * i]), 1);
    }
}

Payload identifyDevice() {
    Payload data(512);
    putLe(data, 0, 0x0040, 2);  // ATA device, fixed
    putAtaText(data, 10, "  SERIAL0042", 10);
    putAtaText(data, 23, "FW1.2", 4);
    putAtaText(data, 27, "Kestrel SSD 1TB", 20);
    putLe(data, 60 * 2, 0x0FFFFFFF, 4);
    putLe(data, 83 * 2, 0x0400, 2);            // 48-bit addressing supported
    putLe(data, 100 * 2, 1953525168ULL, 8);    // 1 TB of 512-byte sectors
    putLe(data, 255 * 2, 0x7BA5, 2);
    return data;
}

TEST(IdentifyDecodeAta, WordsStringsCapacitiesAndBitLabelsAndAShortSectorIsRejected) {
    Status status;
    auto tree = decode::decodeAtaIdentifyDevice(identifyDevice(), status);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(tree->attribute("name"), "ATA Identify Device");
    // Strings hold two characters a word, the first in the high byte, and lose their padding.
    EXPECT_EQ(value(*tree, "Model Number"), "Kestrel SSD 1TB");
    EXPECT_EQ(position(*tree, "Model Number"), "Words 27-46");
    EXPECT_EQ(value(*tree, "Serial Number"), "SERIAL0042");
    EXPECT_EQ(value(*tree, "Firmware Revision"), "FW1.2");
    EXPECT_EQ(value(*tree, "Number of User Addressable Logical Sectors (48-bit)"), "1953525168");
    EXPECT_EQ(value(*tree, "Total Number of User Addressable Logical Sectors (28-bit)"), "268435455");
    EXPECT_EQ(position(*tree, "General Configuration"), "Word 0");
    const auto* atapi = bitOf(*tree, "General Configuration", "ATA Device (0) or ATAPI Device (1)");
    ASSERT_NE(atapi, nullptr);
    EXPECT_EQ(atapi->attribute("description"), "Bit 15");
    EXPECT_EQ(atapi->attribute("value"), "0");
    const auto* lba48 = bitOf(*tree, "Commands and Feature Sets Supported (Word 83)",
                              "48-bit Address Feature Set Supported");
    ASSERT_NE(lba48, nullptr);
    EXPECT_EQ(lba48->attribute("value"), "1");
    // The integrity word splits into its two bytes.
    EXPECT_EQ(value(*tree, "Checksum Validity Indicator"), "0xA5");
    EXPECT_EQ(value(*tree, "Checksum"), "0x7B");
    // A short sector is rejected.
    EXPECT_EQ(decode::decodeAtaIdentifyDevice(Payload(256), status), nullptr);
    EXPECT_EQ(status, Status::unexpectedDataLength());
    EXPECT_NE(status.message().find("256"), std::string::npos);
}

}  // namespace
