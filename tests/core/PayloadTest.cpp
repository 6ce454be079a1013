#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

using drivekit::core::Payload;
using drivekit::core::Status;
namespace memory = drivekit::core::memory;

namespace {

struct Record512 { uint8_t bytes[512]; };

// 1, 2, ..., count
Payload counting(uint8_t count) {
    Payload payload(count);
    for (uint8_t i = 0; i < count; ++i) {
        *payload.at(i) = static_cast<uint8_t>(i + 1);
    }
    return payload;
}

std::vector<uint8_t> bytesOf(const Payload& payload) {
    return std::vector<uint8_t>(payload.data(), payload.data() + payload.size());
}

bool isAligned(const Payload& payload) {
    return reinterpret_cast<std::uintptr_t>(payload.data()) % 4096 == 0;
}

}  // namespace

TEST(Payload, CopiesShareOneBufferUntilAppendOrClearSwitchesToANewOneAndAppendTakesItself) {
    Payload payload = counting(5);
    const Payload sharer = payload;
    *payload.at(0) = 0xAA;
    EXPECT_EQ(*sharer.at(0), 0xAA);
    *payload.at(0) = 1;
    const uint8_t extra[] = {0x10, 0x20, 0x30};
    EXPECT_TRUE(payload.append(extra, sizeof extra).isSuccess());

    EXPECT_EQ(bytesOf(payload), (std::vector<uint8_t>{1, 2, 3, 4, 5, 0x10, 0x20, 0x30}));
    EXPECT_EQ(bytesOf(sharer), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(sharer.useCount(), 1);

    payload.clear();
    EXPECT_TRUE(payload.empty());
    EXPECT_EQ(bytesOf(sharer), (std::vector<uint8_t>{1, 2, 3, 4, 5}));

    Payload doubled = counting(3);
    doubled.append(doubled);
    EXPECT_EQ(bytesOf(doubled), (std::vector<uint8_t>{1, 2, 3, 1, 2, 3}));
}

TEST(Payload, TruncateShortensTheSharedBufferInPlaceAndWipesTheDroppedBytes) {
    Payload payload = counting(8);
    const Payload sharer = payload;
    const uint8_t* before = payload.data();
    payload.truncate(9);  // longer than the payload: nothing changes
    EXPECT_EQ(payload.size(), 8u);
    payload.truncate(5);
    EXPECT_EQ(payload.data(), before);
    EXPECT_EQ(bytesOf(sharer), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(std::vector<uint8_t>(before + 5, before + 8), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_THROW(payload.at(5), Status);
    payload.truncate(0);
    EXPECT_TRUE(sharer.empty());
}

TEST(Payload, AtStopsAtTheLastByteSafeCastFitsExactlyAndReportsAnOverrunInFourLines) {
    EXPECT_NO_THROW(Payload(4).at(3));
    for (const Payload& payload : {Payload(4), Payload(0), Payload()}) {
        EXPECT_THROW(payload.at(payload.size()), Status);
    }
    const Payload payload(512);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(payload.safeCast<Record512>()), payload.data());
    try {
        payload.safeCast<Record512>(1);
        FAIL() << "a view past the end must throw";
    } catch (const std::out_of_range& error) {
        const std::string expected =
            std::string("Cast (with offsets) with payload data out of range!\nPayload size: 512\n") +
            "Structure Name: " + typeid(Record512).name() + "\nStructure Size: 512\nOffset: 1";
        EXPECT_EQ(error.what(), expected);
    }
    // An offset near the top of its range does not wrap around.
    EXPECT_THROW(payload.safeCast<Record512>(std::numeric_limits<uint32_t>::max()), std::out_of_range);
    EXPECT_THROW(Payload().safeCast<uint8_t>(), std::out_of_range);
}

TEST(Payload, FreshBuffersAreZeroFilledAndPageAligned) {
    // The last size is mapped from the system on its own; a buffer given back is kept for the
    // next one of its size and must come back zeroed.
    for (const uint64_t size : {1ull, 4095ull, 4096ull, 4097ull, 70000ull, (5ull << 20) + 3}) {
        for (int round = 0; round < 2; ++round) {
            Payload payload(size);
            EXPECT_EQ(bytesOf(payload), std::vector<uint8_t>(size, 0)) << size;
            EXPECT_TRUE(isAligned(payload)) << size;
            std::memset(payload.data(), 0xA5, size);
        }
    }
    const uint8_t source[] = {9, 8, 7};
    const Payload copied(source, sizeof source);
    EXPECT_TRUE(isAligned(copied));
    EXPECT_EQ(bytesOf(copied), (std::vector<uint8_t>{9, 8, 7}));
}

// Refused by the size check before anything is allocated, so no test allocates 4 GiB. An
// append that would pass the limit keeps the old bytes.
TEST(Payload, FourGibibytesOrMoreAreRefusedWithAFatalLineNeverWrapped) {
    const uint8_t source[4] = {1, 2, 3, 4};
    for (const uint64_t size : {uint64_t{1} << 32, ~uint64_t{0} / 2}) {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(Payload(size).empty());
        EXPECT_EQ(Payload(source, size).size(), 0u);
        const std::string line = "[fatal] Unable to allocate data with a size of " + std::to_string(size) +
                                 ": a payload holds at most 4294967295 bytes\n";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line);
    }
    Payload payload = counting(4);
    testing::internal::CaptureStderr();
    EXPECT_EQ(payload.append(source, uint64_t{0xFFFFFFFF} - 3), Status::allocationFailed());
    EXPECT_EQ(payload.append(source, ~uint64_t{0}), Status::allocationFailed());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_EQ(errors.rfind("[fatal] ", 0), 0u) << errors;
    EXPECT_EQ(bytesOf(payload), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(Payload, MemCopyRefusesAnOversizedSourceOrANullPointerAndMovesOverlaps) {
    uint8_t destination[8] = {};
    const uint8_t source[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    // The fatal line it writes is checked with the logging.
    testing::internal::CaptureStderr();
    EXPECT_EQ(memory::memCopy(destination, sizeof destination, source, sizeof source), 34u);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::vector<uint8_t>(destination, destination + 8), std::vector<uint8_t>(8, 0));

    uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(memory::memCopy(nullptr, 8, buffer, 4), 22u);
    EXPECT_EQ(memory::memCopy(buffer, 8, nullptr, 4), 22u);
    EXPECT_EQ(memory::memCopy(buffer + 2, 6, buffer, 5), 0u);  // overlapping
    const uint8_t moved[] = {1, 2, 1, 2, 3, 4, 5, 8};
    EXPECT_EQ(std::memcmp(buffer, moved, sizeof moved), 0);
}
