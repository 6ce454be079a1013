#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/uuid/UUIDManager.h"
#include "drivekit/features/uuid/UuidList.h"
#include "drivekit/features/uuid/UuidRegistry.h"
#include "tests/features/FakeIdentifyDrive.h"
#include "tests/features/LogCapture.h"

using namespace identify_test;
using features_test::LogCapture;
using drivekit::features::uuid::Uuid;
using drivekit::features::identify::decode::uuidListEntries;
using drivekit::features::identify::decode::UuidListStructure;
using drivekit::features::uuid::UuidList;
using drivekit::features::uuid::UUIDManager;
using drivekit::features::uuid::UuidRegistry;

namespace {

Uuid uuidOf(uint8_t first) {
    Uuid id{};
    for (uint8_t i = 0; i < id.size(); ++i) {
        id[i] = static_cast<uint8_t>(first + i);
    }
    return id;
}

// A UUID List structure whose entries hold the given UUIDs in order.
core::Payload uuidList(const std::vector<Uuid>& ids) {
    core::Payload data(sizeof(UuidListStructure));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto& entry = data.safeCast<UuidListStructure>()->entries[i];
        entry.association = 0x01;  // vendor, not part of the UUID
        std::copy(ids[i].begin(), ids[i].end(), entry.uuid);
    }
    return data;
}

// Each test uses its own serial numbers: the registry lives as long as the process.
std::shared_ptr<FakeIdentifyDrive> uuidDrive(const std::string& serial, const core::Payload& list) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    drive->setText(core::attributes::serialNumber(), serial);
    drive->setBool(core::attributes::uuidSupported(), true);
    drive->store(0x17, 0, list);
    return drive;
}

const Uuid a = uuidOf(0x10);
const Uuid b = uuidOf(0x40);
const Uuid other = uuidOf(0x80);

}  // namespace

TEST(UuidManager, CandidateOrderWinsOverListOrder) {
    LogCapture log;
    auto drive = uuidDrive("UUID-ORDER", uuidList({b, other, a}));
    EXPECT_EQ(UUIDManager(drive, {a, b}).getIndex(), 3);
    EXPECT_EQ(UUIDManager(drive, {b, a}).getIndex(), 1);
    EXPECT_EQ(UUIDManager(drive, {uuidOf(0xC0), other}).getIndex(), 2);
    EXPECT_EQ(UUIDManager(drive, {uuidOf(0xC0)}).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(UUIDManager(drive).getIndex(), UUIDManager::notFound);
    EXPECT_TRUE(log.logged("registerSupportedGUIDs", "IDENTIFY UUID OK"));
    EXPECT_TRUE(log.logged("getIndex", "Found supportedUUID"));
    EXPECT_FALSE(log.logged("registerSupportedGUIDs", "Could not run IDENTIFY UUID"));
}

TEST(UuidManager, ListEndsAtTheFirstZeroUuid) {
    auto drive = uuidDrive("UUID-ZERO-FIRST", uuidList({Uuid{}, a}));
    EXPECT_EQ(UUIDManager(drive, {a}).getIndex(), UUIDManager::notFound);
    ASSERT_NE(UuidRegistry::find("UUID-ZERO-FIRST"), nullptr);
    EXPECT_TRUE(UuidRegistry::find("UUID-ZERO-FIRST")->empty());

    auto gap = uuidDrive("UUID-ZERO-MIDDLE", uuidList({a, Uuid{}, b}));
    EXPECT_EQ(UUIDManager(gap, {b, a}).getIndex(), 1);
}

TEST(UuidManager, ReadsAllEntriesOfAFullList) {
    std::vector<Uuid> ids;
    for (uint32_t i = 0; i < uuidListEntries; ++i) {
        Uuid id{};
        id[0] = static_cast<uint8_t>(i + 1);
        id[15] = 0x5A;
        ids.push_back(id);
    }
    const auto table = UuidList::parse(uuidList(ids));
    ASSERT_EQ(table.size(), uuidListEntries);
    EXPECT_EQ(table.at(ids.back()), 127);
}

TEST(UuidManager, ShortOrFailedListGivesAnEmptyTableReadOnce) {
    auto shortList = uuidDrive("UUID-SHORT", core::Payload(2048));
    EXPECT_EQ(UUIDManager(shortList, {a}).getIndex(), UUIDManager::notFound);

    LogCapture log;
    auto failing = std::make_shared<FakeIdentifyDrive>();
    failing->setText(core::attributes::serialNumber(), "UUID-FAILING");
    failing->setBool(core::attributes::uuidSupported(), true);
    EXPECT_EQ(UUIDManager(failing, {a}).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(UUIDManager(failing, {a}).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(failing->sent().size(), 1u) << "a drive whose list failed is not asked again";
    ASSERT_NE(UuidRegistry::find("UUID-FAILING"), nullptr);
    EXPECT_TRUE(log.logged("registerSupportedGUIDs", "Could not run IDENTIFY UUID"));
    EXPECT_TRUE(log.logged("getIndex", "Could not find supportedUUID"));
    EXPECT_FALSE(log.logged("registerSupportedGUIDs", "IDENTIFY UUID OK"));
}

TEST(UuidRegistry, TableIsBuiltOncePerSerialNumber) {
    auto first = uuidDrive("UUID-SHARED", uuidList({a}));
    auto second = uuidDrive("UUID-SHARED", uuidList({b, a}));
    EXPECT_EQ(UUIDManager(first, {a}).getIndex(), 1);
    EXPECT_EQ(UUIDManager(first, {a}).getIndex(), 1);
    // The second drive shares the first one's table: its own list is never read.
    EXPECT_EQ(UUIDManager(second, {a}).getIndex(), 1);
    EXPECT_EQ(UUIDManager(second, {b}).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(first->sent().size(), 1u);
    EXPECT_TRUE(second->sent().empty());
    ASSERT_EQ(first->sent()[0].cns, 0x17);
    EXPECT_EQ(first->sent()[0].nsid, 0u);
}

TEST(UuidRegistry, DriveWithoutUuidSupportIsNotAskedAndNotStored) {
    auto drive = uuidDrive("UUID-UNSUPPORTED", uuidList({a}));
    drive->setBool(core::attributes::uuidSupported(), false);
    EXPECT_EQ(UUIDManager(drive, {a}).getIndex(), UUIDManager::notFound);
    EXPECT_TRUE(drive->sent().empty());
    EXPECT_EQ(UuidRegistry::find("UUID-UNSUPPORTED"), nullptr);
}
