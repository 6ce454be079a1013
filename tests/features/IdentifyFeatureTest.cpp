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
#include "support/FakeDrive.h"

using namespace test_support;
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

std::shared_ptr<FakeDrive> nvmeDrive(bool managesNamespaces, bool inboxDriver) {
    auto drive = std::make_shared<FakeDrive>();
    drive->attributes.writeBool(core::attributes::namespaceManagementSupported(), managesNamespaces);
    drive->attributes.writeBool(core::attributes::isCommandPathNVMeMSFT(), inboxDriver);
    for (const auto& [cns, nsid] : {std::pair<uint8_t, uint32_t>{0x00, 1}, {0x11, 1}, {0x00, 0xFFFFFFFF}, {0x03, 1}}) {
        drive->identify[{cns, nsid}] = marked(cns);
    }
    return drive;
}

}  // namespace

TEST(IdentifyNamespaceSubstitution, AllocatedFormOnlyThroughAVendorDriverOfAManagingDrive) {
    struct Case { bool managed; bool inbox; uint8_t cns; uint32_t nsid; uint8_t onWire; };
    for (const Case& c : {Case{true, false, 0x00, 1, 0x11}, Case{true, true, 0x00, 1, 0x00},
                          Case{true, false, 0x00, 0xFFFFFFFF, 0x00}, Case{false, false, 0x00, 1, 0x00},
                          Case{true, false, 0x03, 1, 0x03}}) {
        SCOPED_TRACE(testing::Message() << "managed " << c.managed << " inbox " << c.inbox << " cns " << +c.cns
                                        << " nsid " << c.nsid);
        auto drive = nvmeDrive(c.managed, c.inbox);
        identify::Identify feature(drive, request(c.cns, c.nsid));
        Status status;
        EXPECT_TRUE(feature.identify(status).isSuccess()) << status.message();
        EXPECT_EQ(drive->identified(), (std::vector<std::pair<uint8_t, uint32_t>>{{c.onWire, c.nsid}}));
    }
}

TEST(NvmeIdentify, PutsCnsAndCsiOnTheWireAndAFailureKeepsTheEarlierData) {
    auto drive = std::make_shared<FakeDrive>();
    drive->identify[{0x06, 0}] = marked(0x66);
    identify::nvme::Identify feature(drive, request(0x06, 0, 0x02));
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    ASSERT_EQ(drive->sent.size(), 1u);
    EXPECT_EQ(std::make_pair(drive->sent[0].opcode(), drive->sent[0].cdw11 >> 24), std::make_pair(uint8_t{0x06}, 2u));
    ASSERT_EQ(feature.data().size(), 4096u);
    EXPECT_EQ(*feature.data().at(0), 0x66);

    feature.attributes().writeUint8(definitions::controllerNamespaceStructure(), 0x18);
    EXPECT_EQ(feature.identify(status), Status::nvmeCommandProblem());
    EXPECT_EQ(*feature.data().at(0), 0x66);
}

TEST(IdentifyFacade, DriveSpeakingBothProtocolsIsAskedThroughAtaAndOneSpeakingNeitherIsRefused) {
    auto drive = std::make_shared<FakeDrive>(std::set<std::string>{"ATA", "NVME"});
    drive->ata[ataOpcodes::readDma] = core::Payload(512);
    drive->ata[ataOpcodes::identifyDevice] = core::Payload(512);
    *drive->ata[ataOpcodes::identifyDevice].at(20) = 'S';
    identify::Identify feature(drive, request(0x01, 0));
    EXPECT_NE(dynamic_cast<identify::ata::Identify*>(feature.implementation()), nullptr);
    Status status;
    ASSERT_TRUE(feature.identify(status).isSuccess());
    EXPECT_EQ(drive->sentAta.back(), ataOpcodes::identifyDevice);
    EXPECT_EQ(*feature.data().at(20), 'S');

    auto neither = std::make_shared<FakeDrive>(std::set<std::string>{"SMART"});
    identify::Identify refused(neither, request(0x01, 0));
    std::vector<Status> notified;
    refused.setStatusNotification([&](const Status& status) { notified.push_back(status); });
    EXPECT_EQ(refused.identify(status), Status::commandSetNotSupported());
    EXPECT_EQ(refused.status(), Status::commandSetNotSupported());
    EXPECT_TRUE(neither->sent.empty() && neither->sentAta.empty());
    EXPECT_EQ(notified, std::vector<Status>{Status::commandSetNotSupported()});
    std::unique_ptr<core::xml::XmlObject> object;
    refused.toXmlObject(object);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->properties().empty() && object->objects().empty());
}

TEST(AtaIdentify, AFailedReadDmaWakesTheDriveFirstAndAFailedIdentifyDeviceFails) {
    auto drive = std::make_shared<FakeDrive>(std::set<std::string>{"ATA"});
    drive->ata[ataOpcodes::checkPowerMode] = core::Payload();
    identify::ata::Identify feature(drive, {});
    Status status;
    EXPECT_FALSE(feature.identify(status).isSuccess());
    EXPECT_TRUE(feature.data().empty());

    drive->ata[ataOpcodes::identifyDevice] = core::Payload(512);
    ASSERT_TRUE(feature.identify(status).isSuccess());
    const uint8_t tries[] = {ataOpcodes::readDma, ataOpcodes::checkPowerMode, ataOpcodes::identifyDevice};
    EXPECT_EQ(drive->sentAta, (std::vector<uint8_t>{tries[0], tries[1], tries[2], tries[0], tries[1], tries[2]}));
}

// The namespace structure has an object type of its own; the controller's is decoded in the plain one.
TEST(IdentifyXml, NothingBeforeTheReadThenTheStructureReadInItsObjectType) {
    auto drive = nvmeDrive(true, false);
    core::Payload controller(4096);
    *controller.safeCast<uint16_t>(0) = 0x1E4B;  // PCI vendor id
    drive->identify[{0x01, 0}] = controller;
    identify::Identify namespaceFeature(drive, request(0x00, 1));
    std::unique_ptr<core::xml::XmlObject> object;
    namespaceFeature.toXmlObject(object);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->properties().empty()) << "nothing decoded before the data is read";

    Status status;
    ASSERT_TRUE(namespaceFeature.identify(status).isSuccess());
    namespaceFeature.toXmlObject(object);
    ASSERT_NE(dynamic_cast<identify::nvme::namespaceData::XmlObject*>(object.get()), nullptr);
    EXPECT_FALSE(object->properties().empty());
    const auto copy = object->clone();
    ASSERT_NE(dynamic_cast<identify::nvme::namespaceData::XmlObject*>(copy.get()), nullptr);
    EXPECT_EQ(copy->serialize(), object->serialize());

    identify::Identify controllerFeature(drive, request(0x01, 0));
    ASSERT_TRUE(controllerFeature.identify(status).isSuccess());
    controllerFeature.toXmlObject(object);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(dynamic_cast<identify::nvme::namespaceData::XmlObject*>(object.get()), nullptr);
    EXPECT_NE(object->serialize().find("0x1E4B"), std::string::npos) << object->serialize();
}

TEST(ReadProductType, TheVendorByteOfAFamilyDriveElseZero) {
    core::Payload controller(4096);
    *controller.at(identify::nvme::productTypeOffset) = 7;
    struct Case { std::string product; core::Payload data; bool answers; uint8_t expected; };
    // The family match is case-sensitive; short data (a failed read) and a failed command give 0 too.
    for (const Case& c : {Case{"Varnholt", controller, true, 7}, Case{"varnholt", controller, true, 0},
                          Case{"Varnholt", core::Payload(2048), true, 0}, Case{"Varnholt", {}, false, 0}}) {
        SCOPED_TRACE(c.product + " " + std::to_string(c.data.size()));
        auto drive = std::make_shared<FakeDrive>();
        drive->attributes.writeString(core::attributes::product(), c.product);
        if (c.answers) {
            drive->identify[{0x01, 0}] = c.data;
        }
        Status status;
        uint8_t productType = 0xEE;
        identify::nvme::readProductType(status, drive, productType);
        EXPECT_EQ(productType, c.expected);
        EXPECT_EQ(status.isSuccess(), c.answers && c.data.size() == 4096);
    }
}
