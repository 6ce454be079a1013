#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/uuid/UUIDManager.h"
#include "drivekit/features/uuid/UuidList.h"
#include "drivekit/features/uuid/UuidRegistry.h"
#include "tests/features/FakeIdentifyDrive.h"
#include "tests/features/LogPageDrive.h"

using namespace identify_test;
using log_page_test::uuidListOf;
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
    struct Case { const char* serial; bool supported, answers; core::Payload list; };
    const Case cases[] = {
        {"UUID-ZERO-FIRST", true, true, uuidListOf({Uuid{}, a})},
        {"UUID-SHORT", true, true, core::Payload(2048)},
        {"UUID-FAILING", true, false, {}},
        {"UUID-UNSUPPORTED", false, true, uuidListOf({a})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        auto drive = uuidDrive(c.serial, c.list);
        drive->setBool(core::attributes::uuidSupported(), c.supported);
        if (!c.answers) {
            drive->forget(0x17, 0);
        }
        EXPECT_EQ(UUIDManager(drive, {a}).getIndex(), UUIDManager::notFound);
        EXPECT_EQ(UUIDManager(drive, {a}).getIndex(), UUIDManager::notFound);
        EXPECT_EQ(drive->sent().size(), c.supported ? 1u : 0u);
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
    ASSERT_EQ(first->sent().size(), 1u);
    EXPECT_TRUE(second->sent().empty());
    EXPECT_EQ(std::make_pair(first->sent()[0].cns, first->sent()[0].nsid), std::make_pair(uint8_t{0x17}, 0u));
}
