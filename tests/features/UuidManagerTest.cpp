#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/uuid/UUIDManager.h"
#include "drivekit/features/uuid/UuidList.h"
#include "drivekit/features/uuid/UuidRegistry.h"
#include "support/FakeDrive.h"

using namespace test_support;
using drivekit::features::uuid::Uuid;
using drivekit::features::identify::decode::uuidListEntries;
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

// Each test uses its own serial numbers: the registry lives as long as the process. Without a
// list the drive fails the command.
std::shared_ptr<FakeDrive> uuidDrive(const std::string& serial, const core::Payload& list, bool supported = true) {
    auto drive = std::make_shared<FakeDrive>();
    drive->withSerialNumber(serial).attributes.writeBool(core::attributes::uuidSupported(), supported);
    if (!list.empty()) {
        drive->identify[{0x17, 0}] = list;
    }
    return drive;
}

const Uuid a = uuidOf(0x10);
const Uuid b = uuidOf(0x40);
const Uuid other = uuidOf(0x80);

}  // namespace

TEST(UuidManager, CandidateOrderWinsOverListOrderAndTheListEndsAtItsFirstZeroUuidOrItsLastEntry) {
    auto drive = uuidDrive("UUID-ORDER", uuidListOf({b, other, a}));
    EXPECT_EQ(UUIDManager(drive, {a, b}).getIndex(), 3);
    EXPECT_EQ(UUIDManager(drive, {b, a}).getIndex(), 1);
    EXPECT_EQ(UUIDManager(drive, {uuidOf(0xC0), other}).getIndex(), 2);
    EXPECT_EQ(UUIDManager(drive, {uuidOf(0xC0)}).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(UUIDManager(drive).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(UUIDManager(uuidDrive("UUID-ZERO-MIDDLE", uuidListOf({a, Uuid{}, b})), {b, a}).getIndex(), 1);
    std::vector<Uuid> ids;
    for (uint32_t i = 0; i < uuidListEntries; ++i) {
        ids.push_back(uuidOf(static_cast<uint8_t>(i + 1)));
    }
    const auto table = UuidList::parse(uuidListOf(ids));
    ASSERT_EQ(table.size(), uuidListEntries);
    EXPECT_EQ(table.at(ids.back()), 127);
}

// A list that starts with a zero UUID, is short, or fails gives an empty table, asked for once;
// a drive without UUID support is never asked and keeps no table.
TEST(UuidManager, ListsWithoutTheCandidateGiveNoIndexAndAreReadAtMostOnce) {
    struct Case { const char* serial; bool supported; core::Payload list; };
    const Case cases[] = {
        {"UUID-ZERO-FIRST", true, uuidListOf({Uuid{}, a})},
        {"UUID-SHORT", true, core::Payload(2048)},
        {"UUID-FAILING", true, {}},
        {"UUID-UNSUPPORTED", false, uuidListOf({a})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        auto drive = uuidDrive(c.serial, c.list, c.supported);
        EXPECT_EQ(UUIDManager(drive, {a}).getIndex(), UUIDManager::notFound);
        EXPECT_EQ(UUIDManager(drive, {a}).getIndex(), UUIDManager::notFound);
        EXPECT_EQ(drive->sent.size(), c.supported ? 1u : 0u);
        const auto* table = UuidRegistry::find(c.serial);
        EXPECT_EQ(table != nullptr, c.supported);
        EXPECT_TRUE(table == nullptr || table->empty());
    }
}

TEST(UuidRegistry, TableIsBuiltOncePerSerialNumber) {
    auto first = uuidDrive("UUID-SHARED", uuidListOf({a}));
    auto second = uuidDrive("UUID-SHARED", uuidListOf({b, a}));
    EXPECT_EQ(UUIDManager(first, {a}).getIndex(), 1);
    EXPECT_EQ(UUIDManager(first, {a}).getIndex(), 1);
    // The second drive shares the first one's table: its own list is never read.
    EXPECT_EQ(UUIDManager(second, {a}).getIndex(), 1);
    EXPECT_EQ(UUIDManager(second, {b}).getIndex(), UUIDManager::notFound);
    EXPECT_EQ(first->identified(), (std::vector<std::pair<uint8_t, uint32_t>>{{0x17, 0}}));
    EXPECT_TRUE(second->sent.empty());
}
