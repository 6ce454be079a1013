// Set Features as a property set: the request's bytes, with and without the feature's data.
#include "host/devices/win/NvmeFeatureSet.h"

#include <gtest/gtest.h>

#include "drivekit/commands/nvme/SetFeatures.h"
#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;
using testing::dwords;

TEST(NvmeFeatureSet, CommandBecomesThePropertySetByteForByte) {
    nvme::SetFeatures plain;
    plain.setFeatureId(0x02);
    plain.setSave(true);
    plain.setDword11(0x3);
    // Adapter protocol-specific property, standard set; NVMe, feature; FID with SV, dwords 11-15;
    // no data: offset and length 0.
    std::vector<uint8_t> expected = dwords({49, 0, 3, 3, 0x80000002u, 3, 0, 0, 0, 0, 0, 0, 0});
    expected.resize(8 + 64);
    EXPECT_EQ(encodeFeatureSet(plain.entry(), 0, nullptr), expected);

    nvme::SetFeatures withData;
    withData.setFeatureId(0x0E);
    withData.setDword13(0x1234);
    withData.setUuidIndex(5);
    const uint8_t stamp[] = {1, 2, 3, 4, 5, 6};
    const core::Payload data(stamp, sizeof(stamp));
    std::vector<uint8_t> withDataExpected = dwords({49, 0, 3, 3, 0x0E, 0, 64, 8, 0, 0, 0x1234, 5, 0});
    withDataExpected.resize(8 + 64);
    // The data after the structure, zero-filled to the length asked.
    withDataExpected.insert(withDataExpected.end(), {1, 2, 3, 4, 5, 6, 0, 0});
    EXPECT_EQ(encodeFeatureSet(withData.entry(), 8, &data), withDataExpected);
}

TEST(NvmeFeatureSet, ReturnDataIsReadOnlyWhenTheAnswerHoldsIt) {
    std::vector<uint8_t> answer(72);
    testing::putDword(answer, 8 + 24, 0x55);
    EXPECT_EQ(featureSetReturnData(answer), 0x55u);
    answer.resize(40);
    EXPECT_EQ(featureSetReturnData(answer), 0u);
}

}  // namespace
}  // namespace host::win_drives
