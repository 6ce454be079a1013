#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <vector>

#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/nvme_features/NvmeFeatureLookup.h"
#include "drivekit/features/nvme_features/NVMeFeature_HostBehaviorSupport.h"
#include "support/FakeDrive.h"

namespace core = drivekit::core;
namespace definitions = drivekit::features::definitions;
using namespace drivekit::features::nvme_features;

namespace {

using test_support::FakeDrive;

bool extendedTelemetry(NVMeFeature& feature) {
    return feature.getProperties().readBool(definitions::extendedTelemetryDataArea4Supported().key());
}

}  // namespace

TEST(NvmeFeature, GetAndSetPutTheFeatureSelectSaveAndDwordsOnTheWire) {
    struct Case { uint8_t fid; uint8_t select; bool save; uint32_t dword11; uint32_t cdw10Get; uint32_t cdw10Set; };
    for (const Case& c : {Case{0xFA, 0, false, 0x3F, 0x0FA, 0x0FA}, Case{0x04, 3, true, 0x157, 0x304, 0x80000004},
                          Case{0x06, 2, false, 0, 0x206, 0x006}}) {
        auto drive = std::make_shared<FakeDrive>();
        NVMeFeature feature(drive, c.fid);
        feature.attributes().writeUint32(definitions::dword11(), c.dword11);
        feature.attributes().writeUint32(definitions::dword13(), 0xD13);
        feature.attributes().writeBool({"Save", "Save", "boolean"}, c.save);
        core::Status status;
        ASSERT_TRUE(feature.sendSetFeature(status).isSuccess()) << status.message();
        feature.attributes().writeUint8({"Select", "Select", "uint8"}, c.select);
        ASSERT_TRUE(feature.sendGetFeature(status).isSuccess()) << status.message();
        ASSERT_EQ(drive->sent.size(), 2u);
        EXPECT_EQ(std::make_tuple(drive->sent[0].cdw10, drive->sent[0].cdw11, drive->sent[0].cdw13),
                  std::make_tuple(c.cdw10Set, c.dword11, 0xD13u));
        EXPECT_EQ(std::make_tuple(drive->sent[1].cdw10, drive->sent[1].cdw11), std::make_tuple(c.cdw10Get, c.dword11));
        EXPECT_EQ(feature.getProperties().readUint32("DWORD0"), c.dword11);
    }
}

TEST(NvmeFeature, HostBehaviorSupportReadModifyWriteAndShortAnswers) {
    auto drive = std::make_shared<FakeDrive>();
    drive->features[0x16] = core::Payload(512);
    *drive->features[0x16].at(0) = 1;  // advanced command retry, which the change must keep
    NVMeFeature_HostBehaviorSupport feature(drive);
    core::Status status;
    ASSERT_TRUE(feature.sendGetFeature(status).isSuccess()) << status.message();
    EXPECT_FALSE(extendedTelemetry(feature));

    EXPECT_EQ(feature.setProperty(status), core::Status::noProperties());
    EXPECT_EQ(drive->sent.size(), 1u);  // nothing sent without a property

    feature.attributes().writeBool(definitions::extendedTelemetryDataArea4Supported(), true);
    ASSERT_TRUE(feature.setProperty(status).isSuccess()) << status.message();
    EXPECT_EQ(drive->sent.back().cdw10, 0x16u);
    // Reading the switched setting back and restoring it are the telemetry read's tests.
    EXPECT_EQ(std::vector<uint8_t>(drive->features[0x16].at(0), drive->features[0x16].at(3)),
              (std::vector<uint8_t>{1, 1, 0}));

    // A short or failed answer is a status, and the structure held stays whole.
    drive->featureAnswerLimit = 2;
    EXPECT_EQ(feature.sendGetFeature(status), core::Status::unexpectedDataLength());
    const core::Payload held = drive->features[0x16];
    drive->features.erase(0x16);
    EXPECT_EQ(feature.sendGetFeature(status), core::Status::nvmeCommandProblem());
    EXPECT_EQ(feature.data().size(), 512u);
    EXPECT_TRUE(extendedTelemetry(feature));

    // More bytes than the buffer holds are never asked of the driver.
    drive->features[0x16] = held;
    feature.attributes().writeUint32(definitions::transferBytes(), 4096);
    EXPECT_EQ(feature.sendSetFeature(status), core::Status::invalidAttributeValue());
    EXPECT_EQ(drive->sent.size(), 4u);
}

TEST(NvmeFeature, RegistryFindsFeaturesByNameAndIdAndRefusesUnknownOnes) {
    auto drive = std::make_shared<FakeDrive>();
    core::Status status;
    const auto isHostBehavior = [](const std::unique_ptr<NVMeFeature>& feature) {
        return dynamic_cast<NVMeFeature_HostBehaviorSupport*>(feature.get()) != nullptr;
    };
    EXPECT_TRUE(isHostBehavior(createNvmeFeature(drive, "HostBehaviorSupport", status)));
    EXPECT_TRUE(isHostBehavior(createNvmeFeature(drive, "Host Behavior Support", status)));
    EXPECT_TRUE(isHostBehavior(createNvmeFeature(drive, uint8_t{0x16}, status)));
    auto arbitration = createNvmeFeature(drive, "Arbitration", status);
    ASSERT_NE(arbitration, nullptr);
    EXPECT_EQ(arbitration->attributes().readUint8(definitions::featureId().key()), 0x01);

    EXPECT_EQ(createNvmeFeature(drive, "hostbehaviorsupport", status), nullptr);
    EXPECT_EQ(status, core::Status::featureNotSupported());
    EXPECT_EQ(createNvmeFeature(drive, uint8_t{0x99}, status), nullptr);
    EXPECT_EQ(status.message(), "Feature is not supported.");

    // A drive without NVMe commands is refused before anything is sent.
    NVMeFeature onAta(std::make_shared<FakeDrive>(std::set<std::string>{"ATA"}), 0x01);
    EXPECT_EQ(onAta.sendGetFeature(status), core::Status::commandSetNotSupported());
}
