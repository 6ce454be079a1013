#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/Registries.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "tests/features/LogCapture.h"
#include "tests/features/LogPageDrive.h"

using namespace drivekit::features::nvme_get_log;
using namespace log_page_test;
namespace definitions = drivekit::features::definitions;
namespace attributes = drivekit::core::attributes;
using drivekit::features::GetLogRegistry;
using features_test::LogCapture;

namespace {

template <typename T>
void put(core::Payload& page, uint32_t offset, T value) {
    std::memcpy(page.at(offset), &value, sizeof value);
}

// size bytes counting up, with the header fields written over them by fill.
core::Payload pageOf(uint32_t size, const std::function<void(core::Payload&)>& fill = {}) {
    core::Payload page(size);
    for (uint32_t i = 0; i < size; ++i) {
        *page.at(i) = static_cast<uint8_t>(i % 251 + 1);
    }
    if (fill) {
        fill(page);
    }
    return page;
}

std::vector<uint8_t> bytes(const core::Payload& payload, uint32_t count) {
    return std::vector<uint8_t>(payload.data(), payload.data() + std::min(count, payload.size()));
}

struct Reading {
    std::shared_ptr<LogPageDrive> drive = std::make_shared<LogPageDrive>();
    std::unique_ptr<NVMeGetLog> page;
    core::Status status;

    Reading(const std::string& name, uint8_t lid, const core::Payload& served, core::AttributeCollection given = {}) {
        drive->pages[lid] = served;
        page = GetLogRegistry::instance().create(name, drive, given);
        page->sendCommand(status);
    }
};

}  // namespace

TEST(LogPages, PagesOfDriveGivenLengthReadTheHeaderThenTheRest) {
    struct Case {
        const char* page;
        uint8_t lid;
        core::Payload served;
        std::vector<Read> reads;
        uint32_t kept;
        bool retain;
    };
    const auto u32 = [](uint32_t at, uint32_t v) { return [=](core::Payload& p) { put(p, at, v); }; };
    const auto eventsHeader = [](core::Payload& p) { put(p, 8, uint64_t{5000}); };
    const auto entries = [](uint64_t count) { return [=](core::Payload& p) { put(p, 0, count); }; };
    const auto defects = [](uint16_t length, uint16_t count) {
        return [=](core::Payload& p) {
            put(p, 0, length);
            put(p, 2, count);
        };
    };
    const Case cases[] = {
        {"LBAStatusInfo", 0x0E, pageOf(200, u32(0, 200)), {{0, 16, 0}, {16, 184, 0}}, 200, false},
        // Read with the asynchronous event retained, the page is released by one more read.
        {"LBAStatusInfo", 0x0E, pageOf(200, u32(0, 200)), {{0, 16, 0}, {16, 184, 0}, {0, 16, 0}}, 200, true},
        {"EyeOpeningMeasurement", 0x19, pageOf(320, u32(4, 320)), {{0, 64, 0}, {64, 256, 0}}, 320, false},
        // The context is established by the header read; the rest goes by the drive's pieces.
        {"PersistentEventLog", 0x0D, pageOf(5000, eventsHeader),
         {{0, 512, 1}, {512, 4096, 0}, {4608, 392, 0}}, 5000, false},
        // 3000 entries are 6008 bytes: two whole 4096-byte pieces.
        {"EnduranceGroupEvent", 0x0F, pageOf(6008, entries(3000)), {{0, 4096, 0}, {4096, 4096, 0}}, 8192, false},
        {"DefectsCount", 0xF5, pageOf(40, defects(40, 3)), {{0, 4, 0}, {4, 12, 0}, {16, 12, 0}, {28, 12, 0}}, 40,
         false},
        // No entries: the header is the page, and nothing is divided by the count.
        {"DefectsCount", 0xF5, pageOf(40, defects(40, 0)), {{0, 4, 0}}, 4, false},
    };
    for (const Case& c : cases) {
        core::AttributeCollection given;
        if (c.retain) {
            given.writeBool(definitions::retainAsynchronousEvent(), true);
        }
        Reading read(c.page, c.lid, c.served, given);
        EXPECT_TRUE(read.status.isSuccess()) << c.page << ": " << read.status.message();
        EXPECT_EQ(read.drive->reads(), c.reads) << c.page;
        const core::Payload& kept = read.page->getPayload();
        ASSERT_EQ(kept.size(), c.kept) << c.page;
        EXPECT_EQ(bytes(kept, c.served.size()), bytes(c.served, c.kept)) << c.page;
        if (c.retain) {
            ASSERT_EQ(read.drive->sent.size(), 3u);
            EXPECT_EQ(read.drive->sent[1].cdw10 & 0x8000, 0x8000u);
            EXPECT_EQ(read.drive->sent[2].cdw10 & 0x8000, 0u);
        }
    }
}

TEST(LogPages, LengthsFromTheDriveAreBoundedBeforeAnythingIsReserved) {
    struct Case {
        const char* page;
        uint8_t lid;
        core::Payload served;
        std::string reported;
        uint32_t kept;
    };
    const Case cases[] = {
        {"EnduranceGroupEvent", 0x0F, pageOf(16384, [](core::Payload& p) { put(p, 0, uint64_t{1} << 40); }),
         "2199023255560", 8192},
        {"PersistentEventLog", 0x0D, pageOf(16384, [](core::Payload& p) { put(p, 8, uint64_t{1} << 40); }),
         "1099511627776", 8704},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto drive = std::make_shared<LogPageDrive>();
        drive->pages[c.lid] = c.served;
        drive->failFrom = 8192;  // the drive's page ends long before its length says
        auto page = GetLogRegistry::instance().create(c.page, drive, {});
        core::Status status;
        EXPECT_FALSE(page->sendCommand(status).isSuccess()) << c.page;
        EXPECT_EQ(page->getPayload().size(), c.kept) << c.page;
        EXPECT_TRUE(log.logged("boundedLength", "The drive reports a log length of " + c.reported +
                                                    " bytes, above the largest read of 268435456 bytes; only the "
                                                    "first 268435456 bytes are read"))
            << c.page;
    }
}

TEST(LogPages, AHeaderShorterThanThePageNeedsIsAFailedStatus) {
    struct Case {
        const char* page;
        uint8_t lid;
        uint64_t answered;
        core::Status expected;
    };
    const Case cases[] = {
        {"LBAStatusInfo", 0x0E, 8, core::Status::unexpectedDataLength()},
        {"EyeOpeningMeasurement", 0x19, 32, core::Status::unexpectedDataLength()},
        {"PersistentEventLog", 0x0D, 100, core::Status::unexpectedDataLength()},
        {"EnduranceGroupEvent", 0x0F, 4, core::Status::allocationFailed()},
        {"DefectsCount", 0xF5, 2, core::Status::allocationFailed()},
    };
    for (const Case& c : cases) {
        auto drive = std::make_shared<LogPageDrive>();
        drive->pages[c.lid] = pageOf(8192, [](core::Payload& p) { put(p, 0, uint64_t{8192}); });
        drive->answerLimit = c.answered;
        auto page = GetLogRegistry::instance().create(c.page, drive, {});
        core::Status status;
        EXPECT_EQ(page->sendCommand(status), c.expected) << c.page;
        EXPECT_EQ(drive->sent.size(), 1u) << c.page;
    }
}

TEST(LogPages, PerformanceDebugReadsAreSizedByTheLspAndTheFtlCount) {
    struct Case {
        uint8_t lsp;
        uint32_t ftls;
        uint16_t major, minor;
        std::vector<uint64_t> dwords;
        std::string printed;
    };
    const Case cases[] = {
        {0, 4, 0, 0, {1217}, ""},
        {5, 4, 0, 0, {512}, ""},
        {4, 4, 0, 0, {453}, ""},
        {4, 2, 0, 0, {227}, ""},
        {4, 3, 0, 0, {1}, ""},
        {2, 4, 2, 0, {1, 2685}, ""},
        {2, 2, 1, 1, {1, 1003}, ""},
        {2, 4, 3, 7, {1, 1}, "UNKNOWN version for Log Specific Field 2; version : 3.7\n"},
        {6, 4, 0, 0, {}, "Unsupported Log Specific Field : 6\n"},
    };
    for (const Case& c : cases) {
        core::AttributeCollection given;
        given.writeUint32(definitions::maxFtlCount(), c.ftls);
        auto drive = std::make_shared<LogPageDrive>();
        drive->pages[0xFA] = pageOf(16384, [&](core::Payload& p) {
            put(p, 0, c.major);
            put(p, 2, c.minor);
        });
        NVMeGetLog_PerformanceDebugLog page(drive, given);
        page.attributes().writeUint8(definitions::logSpecificField(), c.lsp);
        core::Status status;
        testing::internal::CaptureStdout();
        page.sendCommand(status);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(status.isSuccess(), !c.dwords.empty()) << int(c.lsp);
        std::vector<uint64_t> dwords;
        for (const Read& read : drive->reads()) {
            EXPECT_EQ(std::make_pair(read.offset, read.lsp), std::make_pair(uint64_t{0}, c.lsp));
            dwords.push_back(read.bytes / 4);
        }
        EXPECT_EQ(dwords, c.dwords) << int(c.lsp) << " " << c.ftls;
        EXPECT_EQ(page.getPayload().size(), c.dwords.empty() ? 0 : c.dwords.back() * 4);
    }
}

TEST(LogPages, TemperatureStatisticsIsReadOnlyBehindItsGate) {
    for (const bool smi : {false, true}) {
        auto drive = std::make_shared<LogPageDrive>();
        drive->attributes.writeBool(attributes::smi(), smi);
        drive->pages[0xC5] = pageOf(112);
        NVMeGetLog_TempStatistics page(drive, {});
        core::Status status;
        EXPECT_EQ(page.sendCommand(status),
                  smi ? core::Status::success() : core::Status::featureNotSupportedByDrive());
        EXPECT_EQ(drive->sent.size(), smi ? 1u : 0u);
        EXPECT_EQ(page.getPayload().size(), smi ? 112u : 0u);
    }
}
