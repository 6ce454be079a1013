#include <gtest/gtest.h>

#include <memory>

#include "drivekit/commands/ata/TaskFile.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/identify/Identify.h"
#include "drivekit/features/identify/IdentifyAttributes.h"
#include "drivekit/features/identify/ata/Identify.h"
#include "drivekit/features/identify/nvme/Identify.h"
#include "drivekit/features/identify/nvme/ReadProductType.h"
#include "drivekit/features/identify/nvme/namespaceData/XmlObject.h"
#include "tests/features/FakeIdentifyDrive.h"
#include "tests/features/LogCapture.h"

using namespace identify_test;
using features_test::LogCapture;
namespace identify = drivekit::features::identify;
namespace definitions = drivekit::features::definitions;
namespace ataOpcodes = drivekit::commands::ata::opcodes;
using drivekit::core::Status;

namespace {

core::AttributeCollection request(uint8_t cns, uint32_t nsid, uint8_t csi = 0) {
    core::AttributeCollection attributes;
    attributes.writeUint8(definitions::controllerNamespaceStructure(), cns);
    attributes.writeUint32(definitions::namespaceId(), nsid);
    attributes.writeUint8(identify::csi(), csi);
    return attributes;
}

std::shared_ptr<FakeIdentifyDrive> managedNvmeDrive(bool inboxDriver) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    drive->setBool(core::attributes::namespaceManagementSupported(), true);
    drive->setBool(core::attributes::isCommandPathNVMeMSFT(), inboxDriver);
    drive->storeMarked(0x00, 1, 0xA0);
    drive->storeMarked(0x11, 1, 0xA1);
    drive->storeMarked(0x00, 0xFFFFFFFF, 0xAF);
    return drive;
}

// The CNS the drive saw for one Identify request.
uint8_t cnsOnWire(const std::shared_ptr<FakeIdentifyDrive>& drive, uint8_t cns, uint32_t nsid) {
    identify::Identify feature(drive, request(cns, nsid));
    Status status;
    EXPECT_TRUE(feature.identify(status).isSuccess()) << status.message();
    EXPECT_EQ(drive->sent().size(), 1u);
    return drive->sent().empty() ? 0xEE : drive->sent().back().cns;
}

}  // namespace

TEST(IdentifyNamespaceSubstitution, VendorDriverOfManagingDriveReadsAllocatedForm) {
    auto drive = managedNvmeDrive(false);
    EXPECT_EQ(cnsOnWire(drive, 0x00, 1), 0x11);
}

TEST(IdentifyNamespaceSubstitution, KeptForInboxDriverBroadcastNsidAndUnmanagedDrive) {
    EXPECT_EQ(cnsOnWire(managedNvmeDrive(true), 0x00, 1), 0x00);
    EXPECT_EQ(cnsOnWire(managedNvmeDrive(false), 0x00, 0xFFFFFFFF), 0x00);

    auto unmanaged = std::make_shared<FakeIdentifyDrive>();
    unmanaged->storeMarked(0x00, 1, 0xA0);
    EXPECT_EQ(cnsOnWire(unmanaged, 0x00, 1), 0x00);
}

TEST(IdentifyNamespaceSubstitution, OtherStructuresAreSentAsAsked) {
    auto drive = managedNvmeDrive(false);
    drive->storeMarked(0x03, 1, 0x03);
    EXPECT_EQ(cnsOnWire(drive, 0x03, 1), 0x03);
}

TEST(NvmeIdentify, PutsNsidAndCsiOnTheWireAndKeepsTheData) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    drive->storeMarked(0x06, 0, 0x66);
    identify::Identify feature(drive, request(0x06, 0, 0x02));
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    ASSERT_EQ(drive->sent().size(), 1u);
    EXPECT_EQ(drive->sent()[0].opcode, 0x06);
    EXPECT_EQ(drive->sent()[0].csi, 0x02);
    EXPECT_EQ(drive->sent()[0].nsid, 0u);
    ASSERT_EQ(feature.data().size(), 4096u);
    EXPECT_EQ(*feature.data().at(0), 0x66);
}

TEST(NvmeIdentify, FailedCommandKeepsEarlierDataAndReportsNvmeProblem) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    drive->storeMarked(0x01, 0, 0x11);
    identify::nvme::Identify feature(drive, request(0x01, 0));
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    feature.attributes().writeUint8(definitions::controllerNamespaceStructure(), 0x18);
    EXPECT_EQ(feature.identify(status), Status::nvmeCommandProblem());
    EXPECT_EQ(*feature.data().at(0), 0x11);
}

TEST(IdentifyFacade, DriveSpeakingBothProtocolsIsAskedThroughAta) {
    auto drive = std::make_shared<FakeIdentifyDrive>(std::set<std::string>{"ATA", "NVME"});
    drive->storeAta(ataOpcodes::readDma, core::Payload(512));
    core::Payload sector(512);
    *sector.at(20) = 'S';
    drive->storeAta(ataOpcodes::identifyDevice, sector);
    identify::Identify feature(drive, request(0x01, 0));
    EXPECT_NE(dynamic_cast<identify::ata::Identify*>(feature.implementation()), nullptr);
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    ASSERT_EQ(drive->sent().size(), 2u);
    EXPECT_EQ(drive->sent()[0].name, "ReadDMA");
    EXPECT_EQ(drive->sent()[1].opcode, ataOpcodes::identifyDevice);
    EXPECT_EQ(*feature.data().at(20), 'S');
}

TEST(IdentifyFacade, DriveSpeakingNeitherProtocolIsRefusedAndNotified) {
    auto drive = std::make_shared<FakeIdentifyDrive>(std::set<std::string>{"SMART"});
    identify::Identify feature(drive, request(0x01, 0));
    std::vector<Status> notified;
    feature.setStatusNotification([&](const Status& status) { notified.push_back(status); });
    Status status;
    EXPECT_EQ(feature.identify(status), Status::commandSetNotSupported());
    EXPECT_EQ(feature.status(), Status::commandSetNotSupported());
    EXPECT_TRUE(drive->sent().empty());
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0], Status::commandSetNotSupported());
    std::unique_ptr<core::xml::XmlObject> object;
    feature.toXmlObject(object);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->properties().empty() && object->objects().empty());
}

TEST(AtaIdentify, FailedReadDmaFallsBackToCheckPowerModeBeforeIdentifyDevice) {
    auto drive = std::make_shared<FakeIdentifyDrive>(std::set<std::string>{"ATA"});
    drive->storeAta(ataOpcodes::checkPowerMode, core::Payload());
    drive->storeAta(ataOpcodes::identifyDevice, core::Payload(512));
    identify::ata::Identify feature(drive, {});
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    ASSERT_EQ(drive->sent().size(), 3u);
    EXPECT_EQ(drive->sent()[0].opcode, ataOpcodes::readDma);
    EXPECT_EQ(drive->sent()[1].opcode, ataOpcodes::checkPowerMode);
    EXPECT_EQ(drive->sent()[2].opcode, ataOpcodes::identifyDevice);
}

TEST(AtaIdentify, FailingIdentifyDeviceReturnsTheDriveStatus) {
    auto drive = std::make_shared<FakeIdentifyDrive>(std::set<std::string>{"ATA"});
    drive->storeAta(ataOpcodes::readDma, core::Payload(512));
    identify::ata::Identify feature(drive, {});
    Status status;
    EXPECT_FALSE(feature.identify(status).isSuccess());
    EXPECT_TRUE(feature.data().empty());
}

TEST(IdentifyXml, NamespaceStructureIsHeldInTheNamespaceObjectType) {
    auto drive = managedNvmeDrive(false);
    identify::Identify feature(drive, request(0x00, 1));
    std::unique_ptr<core::xml::XmlObject> object;
    feature.toXmlObject(object);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->properties().empty()) << "nothing decoded before the data is read";

    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    feature.toXmlObject(object);
    ASSERT_NE(dynamic_cast<identify::nvme::namespaceData::XmlObject*>(object.get()), nullptr);
    EXPECT_FALSE(object->properties().empty());
    // A clone keeps the type and the content.
    const auto copy = object->clone();
    ASSERT_NE(dynamic_cast<identify::nvme::namespaceData::XmlObject*>(copy.get()), nullptr);
    EXPECT_EQ(copy->serialize(), object->serialize());
}

TEST(IdentifyXml, ControllerStructureIsDecodedFromTheDataRead) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    core::Payload data(4096);
    *data.safeCast<uint16_t>(0) = 0x1E4B;  // PCI vendor id
    drive->store(0x01, 0, data);
    identify::Identify feature(drive, request(0x01, 0));
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    std::unique_ptr<core::xml::XmlObject> object;
    feature.toXmlObject(object);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(dynamic_cast<identify::nvme::namespaceData::XmlObject*>(object.get()), nullptr);
    EXPECT_NE(object->serialize().find("0x1E4B"), std::string::npos) << object->serialize();
}

TEST(ReadProductType, FamilyDriveGivesTheVendorByte) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    drive->setText(core::attributes::product(), "Varnholt");
    core::Payload data(4096);
    *data.at(identify::nvme::productTypeOffset) = 7;
    drive->store(0x01, 0, data);
    Status status;
    uint8_t productType = 0xEE;
    identify::nvme::readProductType(status, drive, productType);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(productType, 7);
}

TEST(ReadProductType, ZeroForOtherFamiliesShortDataAndFailures) {
    core::Payload data(4096);
    *data.at(identify::nvme::productTypeOffset) = 7;
    uint8_t productType = 0xEE;
    Status status;

    auto otherFamily = std::make_shared<FakeIdentifyDrive>();
    otherFamily->setText(core::attributes::product(), "varnholt");  // the match is case-sensitive
    otherFamily->store(0x01, 0, data);
    identify::nvme::readProductType(status, otherFamily, productType);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(productType, 0);

    auto shortData = std::make_shared<FakeIdentifyDrive>();
    shortData->setText(core::attributes::product(), "Varnholt");
    shortData->store(0x01, 0, core::Payload(2048));
    productType = 0xEE;
    identify::nvme::readProductType(status, shortData, productType);
    EXPECT_EQ(productType, 0);

    auto failing = std::make_shared<FakeIdentifyDrive>();
    failing->setText(core::attributes::product(), "Varnholt");
    productType = 0xEE;
    identify::nvme::readProductType(status, failing, productType);
    EXPECT_FALSE(status.isSuccess());
    EXPECT_EQ(productType, 0);
}

TEST(IdentifyLog, RecordsTheProtocolChosenAndTheFieldsSent) {
    LogCapture log;
    auto drive = managedNvmeDrive(false);
    identify::Identify feature(drive, request(0x00, 1, 0x02));
    Status status;
    feature.identify(status);
    EXPECT_TRUE(log.logged("setIdentifyObject", "Drive has NVMe protocol."));
    EXPECT_TRUE(log.logged("canRun", "Status: Completed successfully."));
    // The CNS actually sent, after the substitution.
    EXPECT_EQ(log.textsOf("identify"),
              (std::vector<std::string>{"Entering", "Entering", "CNS  = 17", "NSID = 1", "CSI  = 2", "Exiting",
                                        "Exiting"}));

    identify::Identify ata(std::make_shared<FakeIdentifyDrive>(std::set<std::string>{"NVME", "ATA"}), {});
    EXPECT_TRUE(log.logged("setIdentifyObject", "Drive has ATA protocol."));
    identify::Identify neither(std::make_shared<FakeIdentifyDrive>(std::set<std::string>{}), {});
    EXPECT_TRUE(log.logged("setIdentifyObject", "Status: Device does not support this command set."));
}

TEST(IdentifyLog, ProductTypeReadIsAnnouncedAndItsOutcomeRecorded) {
    LogCapture log;
    Status status;
    uint8_t productType = 0;
    identify::nvme::readProductType(status, std::make_shared<FakeIdentifyDrive>(), productType);
    EXPECT_EQ(log.textsOf("readProductType"),
              (std::vector<std::string>{"Sending the identify command to get the total NVM capacity.",
                                        "Identify status : NVMe command reported a problem."}));
}
